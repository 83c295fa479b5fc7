// The tool's command-line options: "--name value" pairs, bare flags and plain operands.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "commands.h"

namespace tp::tool {

class Options {
 public:
  // valued: the options that take a value; flags: those that do not. False with a message
  // on stderr for an unknown option or a missing value.
  bool Parse(const Arguments& arguments, const std::set<std::string>& valued,
             const std::set<std::string>& flags);

  // The last value given for an option, and all of them in order (a repeatable option).
  std::optional<std::string> Value(const std::string& name) const;
  std::vector<std::string> Values(const std::string& name) const;
  bool Flag(const std::string& name) const { return m_flags.count(name) != 0; }
  const std::vector<std::string>& operands() const { return m_operands; }

 private:
  std::map<std::string, std::vector<std::string>> m_values;
  std::set<std::string> m_flags;
  std::vector<std::string> m_operands;
};

}  // namespace tp::tool
