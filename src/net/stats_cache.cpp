// The statistics cache and its file.
#include "net/stats_cache.h"

#include "base/format.h"
#include "base/text.h"
#include "host/clock.h"
#include "host/host.h"
#include "platform/data_folder.h"
#include "platform/file_io.h"

namespace tp {
namespace {
constexpr size_t kLongestLine = 1023;
constexpr size_t kLargestFile = 16 * 1024 * 1024;
}  // namespace

bool StatsCache::ShouldReportEmailEvent(const std::wstring& entryId, int kind) {
  auto found = m_index.find(entryId);
  if (found == m_index.end()) {
    m_index.emplace(entryId, m_entries.size());
    m_entries.emplace_back(entryId, kind);
    return true;
  }
  int& recorded = m_entries[found->second].second;
  if (recorded >= kind)
    return false;
  recorded = kind;
  return true;
}

std::optional<int> StatsCache::ReportedKind(const std::wstring& entryId) const {
  auto found = m_index.find(entryId);
  if (found == m_index.end())
    return std::nullopt;
  return m_entries[found->second].second;
}

void StatsCache::LoadStatsCache() {
  m_entries.clear();
  m_index.clear();
  const std::optional<std::string> bytes =
      ReadWholeFile(GetDataFilePath(nullptr, kStatsCacheFileName), kLargestFile);
  if (!bytes)
    return;
  const std::wstring text = Utf8ToWide(*bytes);
  std::vector<std::wstring_view> lines;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos)
      end = text.size();
    std::wstring_view line(text.data() + start, end - start);
    if (!line.empty() && line.back() == L'\r')
      line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  if (lines.empty())
    return;
  const int64_t saved = ParseLeadingInt64(lines[0]);
  // A stamp in the future wraps to a large age and counts as too old.
  const uint32_t age = static_cast<uint32_t>(host::clock().UnixTime() - saved);
  if (age > kLongestAgeSeconds)
    return;
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::wstring_view line = lines[i];
    const size_t equals = line.find(L'=');
    if (line.size() > kLongestLine || equals == std::wstring_view::npos)
      continue;
    (void)ShouldReportEmailEvent(std::wstring(line.substr(0, equals)),
                                 ParseLeadingInt(line.substr(equals + 1)));
  }
}

void StatsCache::SaveStatsCache() const {
  std::wstring text = Format(L"%d\r\n", static_cast<int32_t>(host::clock().UnixTime()));
  for (const auto& [entryId, kind] : m_entries) {
    text += Format(L"%s=%d\r\n", entryId, kind);
  }
  (void)WriteFileReplacing(GetDataFilePath(nullptr, kStatsCacheFileName), WideToUtf8(text));
}

}  // namespace tp
