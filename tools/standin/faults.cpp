// Fault names and the fault table.
#include "standin/faults.h"

#include <charconv>

namespace tp::standin {
namespace {

struct NamedFault {
  Fault fault;
  std::string_view name;
};

constexpr NamedFault kNames[] = {
    {Fault::kNone, "none"},
    {Fault::kNotFound, "404"},
    {Fault::kServerError, "500"},
    {Fault::kSlow, "slow"},
    {Fault::kSlowBody, "slowbody"},
    {Fault::kReset, "reset"},
    {Fault::kEmptyReply, "empty"},
    {Fault::kGarbage, "garbage"},
    {Fault::kTruncatedBody, "truncated"},
    {Fault::kNoContentLength, "nolength"},
    {Fault::kUtf16Body, "utf16"},
    {Fault::kHtmlPage, "html"},
    {Fault::kStall, "stall"},
};

constexpr std::string_view kFaultPrefix = "/fault/";

}  // namespace

std::string_view FaultName(Fault fault) {
  for (const NamedFault& named : kNames) {
    if (named.fault == fault)
      return named.name;
  }
  return {};
}

std::optional<Fault> FaultFromName(std::string_view name) {
  for (const NamedFault& named : kNames) {
    if (named.name == name)
      return named.fault;
  }
  return std::nullopt;
}

void FaultTable::Add(FaultRule rule) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_rules.push_back(std::move(rule));
}

void FaultTable::Clear() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_rules.clear();
}

std::optional<FaultRule> FaultTable::Take(std::string_view path) {
  std::lock_guard<std::mutex> lock(m_mutex);
  for (FaultRule& rule : m_rules) {
    if (rule.remaining == 0 || !path.starts_with(rule.pathPrefix))
      continue;
    if (rule.remaining > 0)
      --rule.remaining;
    return rule;
  }
  return std::nullopt;
}

std::optional<PathFault> FaultFromPath(std::string_view path) {
  if (!path.starts_with(kFaultPrefix))
    return std::nullopt;
  path.remove_prefix(kFaultPrefix.size());
  const size_t slash = path.find('/');
  std::string_view name = path.substr(0, slash);
  PathFault chosen;
  const size_t digits = name.find_first_of("0123456789");
  if (name.starts_with("slow") && digits != std::string_view::npos) {
    const std::string_view number = name.substr(digits);
    int delayMs = 0;
    const auto [end, error] =
        std::from_chars(number.data(), number.data() + number.size(), delayMs);
    if (error != std::errc() || end != number.data() + number.size() || delayMs < 0) {
      return chosen;
    }
    chosen.rule.delayMs = delayMs;
    name = name.substr(0, digits);
  }
  const std::optional<Fault> fault = FaultFromName(name);
  if (!fault || slash == std::string_view::npos) {
    chosen.rule.delayMs = -1;
    return chosen;
  }
  chosen.rule.fault = *fault;
  chosen.path = path.substr(slash);
  return chosen;
}

}  // namespace tp::standin
