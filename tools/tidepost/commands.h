// The tidepost tool's commands; each takes the arguments after its name and returns the
// process exit status: 64 for a usage error, 73 when no temporary folder can be made, and for
// run and check 65 when some message files could not be read (the others are still done).
#pragma once

#include <string>
#include <vector>

namespace tp::tool {

using Arguments = std::vector<std::string>;

int RunCommand(const Arguments& arguments);
int CheckCommand(const Arguments& arguments);
// Exit status 0 loaded, 1 envelope refused (or unreadable), 2 JSON syntax error, 3 no usable
// "branding"; with several files, the highest.
int ValidateCommand(const Arguments& arguments);
// Exit status 0 when every message's signature gave 0, 1 otherwise.
int SmimeCommand(const Arguments& arguments);
// Exit status 0 when the page was made; it goes to --out FILE or standard output (UTF-8).
int PageCommand(const Arguments& arguments);

}  // namespace tp::tool
