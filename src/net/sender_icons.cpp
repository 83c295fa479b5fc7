// The sender icon worker and the icon download.
#include "net/sender_icons.h"

#include <algorithm>

#include "base/format.h"
#include "base/text.h"
#include "host/clock.h"
#include "host/files.h"
#include "host/host.h"
#include "net/brand_names.h"
#include "net/http_client.h"
#include "platform/configuration.h"
#include "platform/data_folder.h"
#include "platform/file_io.h"
#include "platform/log.h"
#include "platform/settings.h"

namespace tp {

std::unique_ptr<SenderIconCache> g_senderIconCache;

namespace {

bool Stopped(host::Event& stop, uint32_t waitMs) {
  return stop.Wait(waitMs) != host::WaitResult::kTimeout;
}

bool IsIcon(const std::string& bytes) {
  return bytes.size() >= 4 && bytes.compare(0, 4, std::string("\0\0\1\0", 4)) == 0;
}

// The name as a URL path segment: UTF-8 with everything but unreserved characters escaped,
// so that no name can reach another path or query of the service.
std::wstring EscapePathSegment(const std::wstring& name) {
  static const wchar_t kHex[] = L"0123456789ABCDEF";
  std::wstring escaped;
  for (unsigned char byte : WideToUtf8(name)) {
    if ((byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
        (byte >= 'a' && byte <= 'z') || byte == '-' || byte == '.' || byte == '_' || byte == '~') {
      escaped += static_cast<wchar_t>(byte);
    } else {
      escaped += L'%';
      escaped += kHex[byte >> 4];
      escaped += kHex[byte & 15];
    }
  }
  return escaped;
}

// Whether a full reload is due, and if so the value that schedules the next one.
bool ReloadDue(int64_t now) {
  std::wstring stamp;
  if (!GetCachedValue(kReloadIconsName, &stamp))
    return true;
  return now >= ParseLeadingInt64(stamp) + SenderIconCache::kReloadPeriodSeconds;
}

// Writes a registry cache value unless the worker has been stopped.
bool SetCachedValueUnlessStopped(SenderIconCache::WriteGate& gate, const wchar_t* name,
                                 const std::wstring& value) {
  std::lock_guard<std::mutex> hold(gate.lock);
  if (gate.Stopped())
    return false;
  SetCachedValue(name, value);
  return true;
}

void RunPass(SenderIconCache::WriteGate& gate, uint32_t requestTimeoutMs) {
  const int64_t now = host::clock().UnixTime();
  const bool reload = ReloadDue(now);
  std::wstring recorded;
  if (!GetCachedValue(kCachedIconsName, &recorded) || reload) {
    if (!SetCachedValueUnlessStopped(
            gate, kReloadIconsName,
            Format(L"%u", static_cast<uint32_t>(now + SenderIconCache::kReloadPeriodSeconds)))) {
      return;
    }
    recorded.clear();
  }
  for (const std::wstring& name : BrandNameList()) {
    if (gate.Stopped())
      return;
    if (name.empty())
      continue;
    const std::wstring key = Format(L"|%s|", name);
    const bool known = Contains(recorded, key);
    if (known && host::files().Exists(SenderIconCache::IconPath(name)))
      continue;
    if (SenderIconCache::DownloadSenderIcon(name, requestTimeoutMs, &gate) && !known) {
      recorded += key + L",";
    }
  }
  (void)SetCachedValueUnlessStopped(gate, kCachedIconsName, recorded);
}

// The pause between passes, waited in steps of the names' retry wait and cut short when other
// names are published (a newer senders list brings new brands). True when the worker is to
// stop.
bool StoppedBeforeNextPass(host::Event& stop, const SenderIconCache::Timing& timing,
                           uint64_t namesSeen) {
  for (uint32_t waited = 0; waited < timing.passMs;) {
    const uint32_t step =
        std::min(std::max<uint32_t>(timing.namesRetryMs, 1), timing.passMs - waited);
    if (Stopped(stop, step))
      return true;
    if (BrandNameListVersion() != namesSeen)
      return false;
    waited += step;
  }
  return false;
}

void bgDownloadSendersIconsThread(std::shared_ptr<SenderIconCache::WriteGate> gate,
                                  SenderIconCache::Timing timing) {
  WriteLog(L"Starting bgDownloadSendersIconsThread");
  if (Stopped(*gate->stop, timing.firstDelayMs))
    return;
  for (;;) {
    while (BrandNameList().empty()) {
      WriteLog(L"Senders list not loaded yet so no branding info. Waiting for 30 seconds");
      if (Stopped(*gate->stop, timing.namesRetryMs))
        return;
    }
    const uint64_t namesSeen = BrandNameListVersion();
    RunPass(*gate, timing.requestTimeoutMs);
    if (StoppedBeforeNextPass(*gate->stop, timing, namesSeen))
      return;
  }
}

}  // namespace

SenderIconCache::SenderIconCache() : SenderIconCache(Timing{}) {}

SenderIconCache::SenderIconCache(Timing timing) : m_timing(timing) {}

SenderIconCache::~SenderIconCache() {
  StopIconDownloads(0);
}

bool SenderIconCache::WriteGate::Stopped() const {
  return stop->Wait(0) != host::WaitResult::kTimeout;
}

void SenderIconCache::StartIconDownloads() {
  if (m_worker)
    return;
  m_gate = std::make_shared<WriteGate>();
  m_gate->stop = host::threads().CreateEvent(true);
  m_worker = host::StartWorker(
      [gate = m_gate, timing = m_timing] { bgDownloadSendersIconsThread(gate, timing); });
}

void SenderIconCache::StopIconDownloads(uint32_t waitMs) {
  if (!m_worker)
    return;
  m_gate->stop->Set();
  if (!m_worker->Join(waitMs)) {
    // Still inside a request: wait out a write in progress, so nothing is written afterwards.
    std::lock_guard<std::mutex> hold(m_gate->lock);
  }
  m_worker.reset();
  m_gate.reset();
}

std::wstring SenderIconCache::IconPath(const std::wstring& name) {
  return GetDataFilePath(kIconFolderName, (name + L".ico").c_str());
}

bool SenderIconCache::DownloadSenderIcon(const std::wstring& name, uint32_t requestTimeoutMs,
                                         WriteGate* gate) {
  if (!IsUsableBrandName(name)) {
    WriteLogFormat(L"Icon %s not retrieved: the name cannot be a file name", name);
    return false;
  }
  const std::wstring target = IconPath(name);
  // Downloaded beside the icon and moved over it only once it proves to be an icon.
  const std::wstring download = target + L".download";
  const config::ServiceEndpoints services = config::Services();
  int status = -1;
  try {
    SimpleWinInetHTTPClient client(services.apiHost, services.apiPort);
    client.m_downloadToFile = true;
    client.SetTimeoutMs(requestTimeoutMs);
    client.SetLargestResponse(kLargestIcon);
    if (gate != nullptr)
      client.SetStopEvent(gate->stop);
    std::wstring file = download;
    status =
        client.Get(Format(L"%sbrandingicon/%s", L"ams/", EscapePathSegment(name) + L".ico"), file);
  } catch (const WinException& error) {
    WriteLogFormat(L"Error retrieving icon %s: Error=%s", name, error.message());
    status = -1;
  }
  if (status != 200) {
    (void)host::files().Delete(download);
    WriteLogFormat(L"Error retrieving icon %s: HTTP code=%d", name, status);
    return false;
  }
  host::FileError error = host::kFileOk;
  std::unique_ptr<host::File> file =
      host::files().Open(download, host::FileOpen::kReadShared, &error);
  if (!file) {
    WriteLogFormat(L"Error Failed to open icon file after downloading. Icon %s: Error=%xx", name,
                   error);
    return false;
  }
  std::string header(4, '\0');
  header.resize(file->Read(header.data(), header.size()));
  file.reset();
  if (!IsIcon(header)) {
    (void)host::files().Delete(download);
    WriteLogFormat(L"Icon file %s header is not that of an Icon file type", name);
    return false;
  }
  std::unique_lock<std::mutex> hold;
  if (gate != nullptr) {
    hold = std::unique_lock<std::mutex>(gate->lock);
    if (gate->Stopped()) {
      (void)host::files().Delete(download);
      return false;
    }
  }
  if (const host::FileError moved = host::files().MoveReplace(download, target);
      moved != host::kFileOk) {
    (void)host::files().Delete(download);
    WriteLogFormat(L"Error Failed to replace icon file after downloading. Icon %s: Error=%xx", name,
                   moved);
    return false;
  }
  return true;
}

}  // namespace tp
