// The senders list: the XML envelope from our service that carries the branding document.
// The copy cached on disk is loaded at start, so that branding works at once and offline;
// a worker then refreshes it from the service right away and every hour, keeps the last
// good copy on disk, and publishes the branding text for the branding list.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/threads.h"

namespace tp {

inline constexpr wchar_t kSendersListFileName[] = L"sendersList.xml";
inline constexpr wchar_t kSendersListUpdateTimeName[] = L"SendersListUpdateTime";

class SendersListDownloader {
 public:
  struct Timing {
    uint32_t firstDelayMs = 0;  // the first download starts at once
    uint32_t cycleMs = 3600 * 1000;
    uint32_t requestTimeoutMs = 25000;
  };

  SendersListDownloader();
  explicit SendersListDownloader(Timing timing);
  ~SendersListDownloader();  // stops the worker if it still runs, without waiting for it
  SendersListDownloader(const SendersListDownloader&) = delete;
  SendersListDownloader& operator=(const SendersListDownloader&) = delete;

  // Loads the cached file, then starts the worker (once).
  void StartSendersList();
  // Signals the worker and waits for it up to waitMs. A worker still inside a request is let
  // go: it abandons the request and ends at its next step without touching the texts or the
  // cache file.
  void StopSendersList(uint32_t waitMs);
  bool LoadSendersListFile(const std::wstring& path);
  // True when the envelope was accepted and its branding text taken.
  bool LoadSendersListXml(const std::wstring& text);
  // A copy of the branding text; empty until a senders list has been loaded.
  std::wstring BrandingJson() const;
  // The branding text with its version, a number that changes each time a loaded senders list
  // brings a text other than the one before (0 until then).
  struct Branding {
    std::wstring json;
    uint64_t version = 0;
  };
  Branding CurrentBranding() const;
  uint64_t BrandingVersion() const;

  struct Shared;

 private:
  Timing m_timing;
  std::shared_ptr<Shared> m_shared;  // owned jointly with the worker
  std::shared_ptr<host::Event> m_stopEvent;
  std::unique_ptr<host::Thread> m_worker;
};

// The process's downloader, made and started by the first add-in object.
extern std::unique_ptr<SendersListDownloader> g_sendersListDownloader;

}  // namespace tp
