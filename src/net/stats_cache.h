// Which branded message has been reported at which level, so that a message is reported at
// most once per level, across restarts less than 48 hours apart ("StatsCache.ini").
#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tp {

inline constexpr wchar_t kStatsCacheFileName[] = L"StatsCache.ini";

class StatsCache {
 public:
  static constexpr uint32_t kLongestAgeSeconds = 172800;

  // True (and recorded) when the message was not yet reported at this level or higher.
  bool ShouldReportEmailEvent(const std::wstring& entryId, int kind);
  // Loads the file when it was saved less than 48 hours ago; malformed lines are skipped.
  void LoadStatsCache();
  void SaveStatsCache() const;

  size_t size() const { return m_entries.size(); }
  // The highest level reported for a message, if any.
  std::optional<int> ReportedKind(const std::wstring& entryId) const;

 private:
  std::vector<std::pair<std::wstring, int>> m_entries;  // in first-report order
  std::unordered_map<std::wstring, size_t> m_index;
};

}  // namespace tp
