// The posix platform host: real files, clock, threads, code pages, HTTP, OpenSSL message
// crypto and a file registry.
#include <cstdio>

#include "base/text.h"
#include "host/common/embedded_resources_port.h"
#include "host/platform.h"
#include "host/posix/gumbo_html.h"
#include "host/posix/posix_clock.h"
#include "host/posix/posix_codec.h"
#include "host/posix/posix_crypto.h"
#include "host/posix/posix_files.h"
#include "host/posix/posix_http.h"
#include "host/posix/posix_registry.h"
#include "host/posix/posix_threads.h"

namespace tp::host {
namespace {

// The registry file sits in the data folder, beside the caches it holds values for.
posix::PosixRegistry& FileRegistry(posix::PosixFileSystem& files) {
  static std::string problem;
  static posix::PosixRegistry registry(
      [&files] {
        std::string folder = WideToUtf8(
            files.KnownFolderPath(KnownFolder::kLocalAppDataLow).value_or(std::wstring(L".")));
        folder += "/Tidepost";
        (void)files.CreateDirectory(Utf8ToWide(folder));
        return folder + "/registry.txt";
      }(),
      &problem);
  if (!problem.empty()) {
    std::fprintf(stderr, "tidepost: %s; starting with an empty registry\n", problem.c_str());
    problem.clear();
  }
  return registry;
}

}  // namespace

const Host& PlatformHost() {
  static posix::PosixClock clock;
  static posix::PosixFileSystem files;
  static posix::PosixThreads threads;
  static posix::PosixCodec codec;
  static posix::PosixHttpTransport http;
  static posix::PosixMessageCrypto crypto;
  static EmbeddedResourcesPort resources;
  static posix::GumboHtmlEngine html;
  static const Host host = [] {
    Host made;
    made.clock = &clock;
    made.files = &files;
    made.threads = &threads;
    made.codec = &codec;
    made.resources = &resources;
    made.http = &http;
    made.crypto = &crypto;
    made.html = &html;
    made.registry = &FileRegistry(files);
    return made;
  }();
  return host;
}

std::unique_ptr<TrustingMessageCrypto> NewMessageCrypto() {
  return std::make_unique<posix::PosixMessageCrypto>();
}

}  // namespace tp::host
