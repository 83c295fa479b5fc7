// The S/MIME fixture's roots trusted by the OpenSSL adapter.
#include <gtest/gtest.h>

#include <memory>

#include "host/posix/posix_crypto.h"
#include "support/smime_fixtures.h"

namespace tp::testing {

host::MessageCrypto& TrustingFixtureRoot() {
  static const std::unique_ptr<host::posix::PosixMessageCrypto> crypto = [] {
    auto made = std::make_unique<host::posix::PosixMessageCrypto>();
    std::string error;
    if (!made->TrustCertificates((SmimeFixtureFolder() / "trusted-roots.pem").string(), &error))
      ADD_FAILURE() << error;
    return made;
  }();
  return *crypto;
}

}  // namespace tp::testing
