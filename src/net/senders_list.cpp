// The senders-list downloader and its worker.
#include "net/senders_list.h"

#include <mutex>

#include "base/format.h"
#include "base/text.h"
#include "host/clock.h"
#include "host/files.h"
#include "host/host.h"
#include "net/http_client.h"
#include "net/senders_envelope.h"
#include "platform/configuration.h"
#include "platform/data_folder.h"
#include "platform/file_io.h"
#include "platform/log.h"
#include "platform/settings.h"

namespace tp {

std::unique_ptr<SendersListDownloader> g_sendersListDownloader;

namespace {
// A cached senders list is a few hundred kilobytes; anything far larger is not ours.
constexpr size_t kLargestSendersList = 16 * 1024 * 1024;
}  // namespace

struct SendersListDownloader::Shared {
  mutable std::mutex textLock;  // guards the two texts
  std::wstring brandingJson;
  uint64_t brandingVersion = 0;
  std::wstring listSignature;
  // Held by the worker while it loads a download and rewrites the cache file, and by the
  // stopper once it gives up waiting: after that, the worker sees the stop first.
  std::mutex workLock;

  bool Load(const std::wstring& text) {
    SendersEnvelope envelope = ReadSendersListXml(text);
    if (!envelope.accepted())
      return false;
    std::lock_guard<std::mutex> lock(textLock);
    if (envelope.brandingJson != brandingJson) {
      brandingJson = std::move(envelope.brandingJson);
      ++brandingVersion;
    }
    listSignature.clear();
    return true;
  }
};

namespace {

bool Stopped(host::Event& stop) {
  return stop.Wait(0) != host::WaitResult::kTimeout;
}

void SaveCopy(const std::wstring& text) {
  const std::wstring path = GetDataFilePath(nullptr, kSendersListFileName);
  // Written aside and moved over the old copy, so the cache is never half written.
  if (!WriteFileReplacing(path, WideToUtf8(text)))
    return;
  SetCachedValue(kSendersListUpdateTimeName,
                 Format(L"%d", static_cast<int32_t>(host::clock().UnixTime())));
}

void bgDownloadSendersListThread(std::shared_ptr<SendersListDownloader::Shared> shared,
                                 std::shared_ptr<host::Event> stop,
                                 SendersListDownloader::Timing timing) {
  WriteLog(L"Starting bgDownloadSendersListThread");
  uint32_t delay = timing.firstDelayMs;
  while (stop->Wait(delay) == host::WaitResult::kTimeout) {
    delay = timing.cycleMs;
    std::wstring signature;
    {
      std::lock_guard<std::mutex> lock(shared->textLock);
      signature = shared->listSignature;
    }
    const config::ServiceEndpoints services = config::Services();
    int status = -1;
    std::wstring response;
    try {
      SimpleWinInetHTTPClient client(services.apiHost, services.apiPort);
      client.SetTimeoutMs(timing.requestTimeoutMs);
      client.SetStopEvent(stop);
      status = client.Get(Format(L"%sGetSendersInfo?sigdata=%s", L"ams/", signature), response);
    } catch (const WinException& error) {
      WriteLogFormat(L"Error retrieving senders info : Error=%s", error.message());
      status = -1;
    }
    if (status != 200) {
      WriteLogFormat(L"Error retrieving senders info : HTTP code=%d", status);
      continue;
    }
    std::lock_guard<std::mutex> work(shared->workLock);
    if (Stopped(*stop))
      break;
    if (!shared->Load(response)) {
      WriteLog(L"Senders list XML loading failed");
      continue;
    }
    SaveCopy(response);
  }
  WriteLog(L"End of bgDownloadSendersListThread");
}

}  // namespace

SendersListDownloader::SendersListDownloader() : SendersListDownloader(Timing{}) {}

SendersListDownloader::SendersListDownloader(Timing timing)
    : m_timing(timing), m_shared(std::make_shared<Shared>()) {}

SendersListDownloader::~SendersListDownloader() {
  StopSendersList(0);
}

void SendersListDownloader::StartSendersList() {
  if (m_worker)
    return;
  m_stopEvent = host::threads().CreateEvent(true);
  (void)LoadSendersListFile(GetDataFilePath(nullptr, kSendersListFileName));
  m_worker = host::StartWorker([shared = m_shared, stop = m_stopEvent, timing = m_timing] {
    bgDownloadSendersListThread(shared, stop, timing);
  });
}

void SendersListDownloader::StopSendersList(uint32_t waitMs) {
  if (!m_worker)
    return;
  m_stopEvent->Set();
  if (!m_worker->Join(waitMs)) {
    // Still inside a request: wait out a load in progress, so nothing is touched afterwards.
    std::lock_guard<std::mutex> work(m_shared->workLock);
  }
  m_worker.reset();
  m_stopEvent.reset();
}

bool SendersListDownloader::LoadSendersListFile(const std::wstring& path) {
  std::optional<std::string> bytes = ReadWholeFile(path, kLargestSendersList);
  if (!bytes)
    return false;
  return LoadSendersListXml(DecodeSendersListFile(*bytes));
}

bool SendersListDownloader::LoadSendersListXml(const std::wstring& text) {
  return m_shared->Load(text);
}

std::wstring SendersListDownloader::BrandingJson() const {
  std::lock_guard<std::mutex> lock(m_shared->textLock);
  return m_shared->brandingJson;
}

SendersListDownloader::Branding SendersListDownloader::CurrentBranding() const {
  std::lock_guard<std::mutex> lock(m_shared->textLock);
  return Branding{m_shared->brandingJson, m_shared->brandingVersion};
}

uint64_t SendersListDownloader::BrandingVersion() const {
  std::lock_guard<std::mutex> lock(m_shared->textLock);
  return m_shared->brandingVersion;
}

}  // namespace tp
