// The tool's command-line options.
#include "arguments.h"

#include <cstdio>

namespace tp::tool {

bool Options::Parse(const Arguments& arguments, const std::set<std::string>& valued,
                    const std::set<std::string>& flags) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument.rfind("--", 0) != 0) {
      m_operands.push_back(argument);
    } else if (flags.count(argument) != 0) {
      m_flags.insert(argument);
    } else if (valued.count(argument) != 0) {
      if (i + 1 >= arguments.size()) {
        std::fprintf(stderr, "tidepost: %s needs a value\n", argument.c_str());
        return false;
      }
      m_values[argument].push_back(arguments[++i]);
    } else {
      std::fprintf(stderr, "tidepost: unknown option %s\n", argument.c_str());
      return false;
    }
  }
  return true;
}

std::optional<std::string> Options::Value(const std::string& name) const {
  auto found = m_values.find(name);
  if (found == m_values.end())
    return std::nullopt;
  return found->second.back();
}

std::vector<std::string> Options::Values(const std::string& name) const {
  auto found = m_values.find(name);
  return found == m_values.end() ? std::vector<std::string>() : found->second;
}

}  // namespace tp::tool
