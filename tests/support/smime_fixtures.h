// The S/MIME test fixture as the tests see it: the folder where tp-smime-fixtures put this
// run's signed messages and certificates (TIDEPOST_SMIME_FIXTURES, set by ctest), and the
// platform's message crypto trusting the fixture's root.
#pragma once

#include <filesystem>
#include <string>

#include "host/crypto.h"

namespace tp::testing {

// Empty when TIDEPOST_SMIME_FIXTURES is not set (a test program run by hand, not by ctest).
std::filesystem::path SmimeFixtureFolder();

// A file of the fixture, whole.
std::string ReadSmimeFixture(const std::string& name);

// The platform's message crypto with the fixture's roots trusted: on posix the OpenSSL adapter
// trusting "trusted-roots.pem" beside the system's CAs; on Windows the CryptoAPI adapter, once
// the roots are in the current user's Root store, the restricted one with its purposes set to
// server authentication (and earlier runs' test roots are out of it). The roots stay trusted
// until the program ends.
host::MessageCrypto& TrustingFixtureRoot();

}  // namespace tp::testing
