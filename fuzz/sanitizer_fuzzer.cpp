// libFuzzer target: the static page of any UTF-8 text, built with gumbo as the HTML engine.
// Besides the sanitizers' checks, the page, parsed again by gumbo as a browser would parse
// it, must hold no script or active element, no event attribute, no foreign element and no
// URL with a scheme that runs or leaves our pages.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "display/html_sanitizer.h"
#include "host/host.h"
#include "host/posix/gumbo_html.h"
#include "page_checker.h"
#include "support/text.h"

namespace {

// Only the HTML engine: building a page touches no other port.
void InstallEngine() {
  static tp::host::posix::GumboHtmlEngine engine;
  static const bool installed = [] {
    tp::host::Host host;
    host.html = &engine;
    return tp::host::Install(host);  // no worker runs in a fuzzer to refuse it
  }();
  (void)installed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  InstallEngine();
  static const tp::PageHeads heads{L"<html><head><title>2007</title></head>",
                                   L"<html><head><title>2010</title></head>"};
  const std::wstring html =
      tp::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));
  std::wstring page;
  const tp::HtmlSanitizer sanitizer(heads, tp::UrlPolicy(L"C:/Temp/Tidepost/outlook_temp/"));
  if (tp::hr::Failed(sanitizer.SanitizeHtml(html, &page)))
    std::abort();
  const std::vector<std::string> found = tp::testing::ActiveContentIn(tp::WideToUtf8(page));
  if (!found.empty()) {
    std::fprintf(stderr, "active content in the page: %s\n", found[0].c_str());
    std::abort();
  }
  return 0;
}
