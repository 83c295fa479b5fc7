// The sender icon cache: a worker keeps a copy of every branded sender's icon in the
// "provider_icons" folder, downloading the missing ones each hour (and as soon as a newer
// senders list brings new names) and all of them every two weeks, and remembers in the
// registry cache which icons it holds.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "host/threads.h"

namespace tp {

inline constexpr wchar_t kIconFolderName[] = L"provider_icons";
inline constexpr wchar_t kCachedIconsName[] = L"CachedSendersIcons";
inline constexpr wchar_t kReloadIconsName[] = L"ReloadAllSendersIcons";

class SenderIconCache {
 public:
  struct Timing {
    uint32_t firstDelayMs = 60000;
    // While the brand names are not known yet; also how often the pause between passes looks
    // for new names.
    uint32_t namesRetryMs = 30000;
    uint32_t passMs = 3600 * 1000;
    uint32_t requestTimeoutMs = 25000;
  };
  static constexpr int64_t kReloadPeriodSeconds = 604800;
  // An icon is a few kilobytes; a larger answer is not one.
  static constexpr size_t kLargestIcon = 1024 * 1024;

  // What the worker owns jointly with its stopper: the stop event, and the lock the worker
  // holds around each write to the icon folder or the registry cache. A stopper that gave up
  // waiting takes the lock once, so the worker sees the stop before any further write.
  struct WriteGate {
    std::shared_ptr<host::Event> stop;
    std::mutex lock;
    bool Stopped() const;
  };

  SenderIconCache();
  explicit SenderIconCache(Timing timing);
  ~SenderIconCache();  // stops the worker if it still runs, without waiting for it
  SenderIconCache(const SenderIconCache&) = delete;
  SenderIconCache& operator=(const SenderIconCache&) = delete;

  void StartIconDownloads();
  // Signals the worker and waits for it up to waitMs. A worker still inside a request is let
  // go: it abandons the request and writes nothing more.
  void StopIconDownloads(uint32_t waitMs);

  // True when a valid icon for `name` is on disk after the call. A name that cannot be a
  // file name is refused; an answer that is not an icon leaves the previous icon in place.
  // With a gate, the icon is moved into place only while the gate is not stopped, and the
  // download is abandoned once it is.
  static bool DownloadSenderIcon(const std::wstring& name, uint32_t requestTimeoutMs = 25000,
                                 WriteGate* gate = nullptr);
  // The icon file of a sender.
  static std::wstring IconPath(const std::wstring& name);

 private:
  Timing m_timing;
  std::shared_ptr<WriteGate> m_gate;
  std::unique_ptr<host::Thread> m_worker;
};

extern std::unique_ptr<SenderIconCache> g_senderIconCache;

}  // namespace tp
