// The tidepost tool's commands; each takes the arguments after its name and returns the
// process exit status.
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

}  // namespace tp::tool
