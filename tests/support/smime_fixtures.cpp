// The S/MIME test fixture's folder and files.
#include "support/smime_fixtures.h"

#include <cstdlib>

#include "support/test_host.h"

namespace tp::testing {

std::filesystem::path SmimeFixtureFolder() {
  const char* folder = std::getenv("TIDEPOST_SMIME_FIXTURES");
  return folder == nullptr ? std::filesystem::path() : std::filesystem::path(folder);
}

std::string ReadSmimeFixture(const std::string& name) {
  return ReadFileBytes(SmimeFixtureFolder() / name);
}

}  // namespace tp::testing
