// tidepost-package-rows: the WiX source of a package's registry rows, made from the add-in's
// registration table, for scripts/package.sh to compile with packaging/Tidepost.wxs; with
// --fixes, the SQL statements that complete wixl's Component table for them.
// Usage: tidepost-package-rows user|machine
//        tidepost-package-rows --fixes
#include <cstdio>
#include <cstring>
#include <string>

#include "wix_rows.h"

int main(int argc, char** argv) {
  std::string text;
  if (argc == 2 && std::strcmp(argv[1], "--fixes") == 0) {
    text = tp::packaging::ComponentTableFixes();
  } else if (argc == 2 && std::strcmp(argv[1], "user") == 0) {
    text = tp::packaging::WixRowsFragment(tp::RegistrationScope::kUser);
  } else if (argc == 2 && std::strcmp(argv[1], "machine") == 0) {
    text = tp::packaging::WixRowsFragment(tp::RegistrationScope::kMachine);
  } else {
    std::fputs("usage: tidepost-package-rows user|machine|--fixes\n", stderr);
    return 64;
  }
  const bool written =
      std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0;
  return written ? 0 : 74;
}
