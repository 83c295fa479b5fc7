// The diagnostic log: one UTF-16LE text file in the data folder, rotated once at 4 MiB.
#pragma once

#include <functional>
#include <string_view>

#include "base/format.h"

namespace tp {

inline constexpr wchar_t kLogFileName[] = L"TidepostOutlookAddin_log.txt";
inline constexpr wchar_t kRotatedLogFileName[] = L"TidepostOutlookAddin_log2.txt";
inline constexpr int64_t kLogRotationBytes = 0x400000;

// Appends one line: "day/month hh:mm:ss.mmm  [thread] ", the text, CR LF. Never fails towards
// the caller; a line that cannot be written is dropped. Safe from any thread: each line is
// written whole, one after the other, and is on disk when the call returns.
void WriteLog(std::wstring_view text);

// Sees every message that the thread which made it writes to the log (its text, without the
// line prefix), while it is in place; for tools that show what one call of the add-in
// logged. Other threads' lines (the workers') are not seen. One observer at a time.
class ScopedLogObserver {
 public:
  explicit ScopedLogObserver(std::function<void(std::wstring_view message)> observer);
  ~ScopedLogObserver();
  ScopedLogObserver(const ScopedLogObserver&) = delete;
  ScopedLogObserver& operator=(const ScopedLogObserver&) = delete;
};

// WriteLog of a printf-style message (support/format.h).
template <class... Args>
void WriteLogFormat(std::wstring_view format, const Args&... args) {
  WriteLog(Format(format, args...));
}

}  // namespace tp
