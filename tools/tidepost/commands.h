// The tidepost tool's commands; each takes the arguments after its name and returns the
// process exit status.
#pragma once

#include <string>
#include <vector>

namespace tp::tool {

using Arguments = std::vector<std::string>;

int RunCommand(const Arguments& arguments);

}  // namespace tp::tool
