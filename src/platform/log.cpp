// The diagnostic log file: prefix, rotation, byte-order mark, one append per line.
#include "platform/log.h"

#include <mutex>
#include <string>
#include <thread>

#include "base/text.h"
#include "host/clock.h"
#include "host/files.h"
#include "host/host.h"
#include "host/threads.h"
#include "platform/data_folder.h"

namespace tp {
namespace {

// Several threads log at once; each line opens, appends and closes the file by itself and
// the file is opened without write sharing, so the lines are serialised here rather than
// lost to sharing violations.
std::mutex g_logMutex;
// Under g_logMutex: the observer and the thread whose lines it sees.
std::function<void(std::wstring_view)> g_observer;
std::thread::id g_observedThread;

constexpr char kByteOrderMark[] = {'\xFF', '\xFE'};

std::unique_ptr<host::File> OpenLog(const std::wstring& path) {
  host::FileError error = host::kFileOk;
  return host::files().Open(path, host::FileOpen::kAppendShareRead, &error);
}

}  // namespace

ScopedLogObserver::ScopedLogObserver(std::function<void(std::wstring_view)> observer) {
  std::lock_guard<std::mutex> lock(g_logMutex);
  g_observer = std::move(observer);
  g_observedThread = std::this_thread::get_id();
}

ScopedLogObserver::~ScopedLogObserver() {
  std::lock_guard<std::mutex> lock(g_logMutex);
  g_observer = nullptr;
}

void WriteLog(std::wstring_view text) {
  const host::LocalTime now = host::clock().Now();
  std::wstring line =
      Format(L"%d/%d %02d:%02d:%02d.%03d  [%x] ", now.day, now.month, now.hour, now.minute,
             now.second, now.milliseconds, host::threads().CurrentThreadId());
  line += text;
  line += L"\r\n";
  const std::string bytes = WideToUtf16Le(line);

  const std::wstring path = GetDataFilePath(nullptr, kLogFileName);
  const std::wstring rotated = GetDataFilePath(nullptr, kRotatedLogFileName);

  std::lock_guard<std::mutex> lock(g_logMutex);
  if (g_observer && std::this_thread::get_id() == g_observedThread)
    g_observer(text);
  std::unique_ptr<host::File> file = OpenLog(path);
  if (!file) {
    return;
  }
  if (file->Size() > kLogRotationBytes) {
    file.reset();
    // The log is emptied even when the old copy cannot be replaced (a viewer holds it).
    (void)host::files().MoveReplace(path, rotated);
    file = OpenLog(path);
    if (!file) {
      return;
    }
    file->Truncate();
  }
  if (file->SeekToEnd() == 0) {
    file->Write(kByteOrderMark, sizeof kByteOrderMark);
  }
  file->Write(bytes.data(), bytes.size());
}

}  // namespace tp
