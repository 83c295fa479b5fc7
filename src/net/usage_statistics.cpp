// Composing, queueing and posting usage statistics.
#include "net/usage_statistics.h"

#include <deque>
#include <mutex>

#include "base/format.h"
#include "base/text.h"
#include "formats/base64.h"
#include "formats/code_pages.h"
#include "formats/sha1.h"
#include "host/codec.h"
#include "host/host.h"
#include "host/registry.h"
#include "host/resources.h"
#include "net/http_client.h"
#include "platform/configuration.h"
#include "platform/registry_values.h"

namespace tp {

struct UsageStatistics::Shared {
  std::mutex lock;  // guards the queue, for an append or a removal only
  std::deque<std::wstring> queue;
  // Manual-reset: the worker's waits and its request in flight both see it.
  std::shared_ptr<host::Event> stop;
  int outlookVersion = 0;
};

namespace {

constexpr size_t kSenderBufferBytes = 520;
constexpr size_t kGuidBufferBytes = 260;

std::wstring WithoutBraces(std::wstring text) {
  std::erase(text, L'{');
  std::erase(text, L'}');
  return text;
}

std::optional<std::wstring> ReadValue(host::RegRoot root, const wchar_t* path, const wchar_t* name,
                                      size_t bufferBytes) {
  std::unique_ptr<host::RegistryKey> key = OpenRegistryKey(root, path, host::RegAccess::kRead);
  if (!key)
    return std::nullopt;
  return ReadStringValue(*key, name, bufferBytes);
}

void PostStatisticsThread(std::shared_ptr<UsageStatistics::Shared> shared,
                          UsageStatistics::Timing timing) {
  const std::wstring product = Format(L"MS-Outlook %d", shared->outlookVersion);
  uint32_t timeout = 0;
  while (shared->stop->Wait(timeout) == host::WaitResult::kTimeout) {
    timeout = timing.idlePollMs;
    std::wstring entry;
    {
      std::lock_guard<std::mutex> lock(shared->lock);
      if (shared->queue.empty())
        continue;
      entry = std::move(shared->queue.front());
      shared->queue.pop_front();
    }
    timeout = 0;  // drain the queue without pause
    const config::ServiceEndpoints services = config::Services();
    try {
      SimpleWinInetHTTPClient client(services.statsHost, services.statsPort);
      client.m_userAgentProduct = product;
      client.SetTimeoutMs(timing.requestTimeoutMs);
      client.SetStopEvent(shared->stop);
      client.AddFormParameter("JSONDATA", WideToCodePage(host::kCodePageAnsi, entry));
      std::wstring response;
      (void)client.Post(L"analytics/analyticstp2", L"application/x-www-form-urlencoded", response);
    } catch (const WinException&) {
      // Statistics are best effort: the entry is dropped.
    }
  }
}

}  // namespace

StatisticsIdentity ReadStatisticsIdentity() {
  StatisticsIdentity identity;
  const wchar_t* kSenderKey = L"SOFTWARE\\Tidepost\\Tidepost";
  for (auto [name, field] :
       {std::pair{L"sender", &identity.sender}, std::pair{L"campaign", &identity.campaign}}) {
    *field = ReadValue(host::RegRoot::kLocalMachine, kSenderKey, name, kSenderBufferBytes)
                 .value_or(std::wstring());
    // A per-user value replaces the machine's only when it says something.
    const std::wstring user =
        ReadValue(host::RegRoot::kCurrentUser, kSenderKey, name, kSenderBufferBytes)
            .value_or(std::wstring());
    if (!user.empty())
      *field = user;
  }
  if (identity.sender.empty())
    identity.sender = L"tidepost";
  identity.userId = WithoutBraces(
      ReadValue(host::RegRoot::kCurrentUser, L"Software\\Tidepost", L"activeGuid", kGuidBufferBytes)
          .value_or(std::wstring()));
  identity.installId = WithoutBraces(ReadValue(host::RegRoot::kLocalMachine, L"Software\\Tidepost",
                                               L"activeGuid", kGuidBufferBytes)
                                         .value_or(std::wstring()));
  if (std::optional<host::FileVersion> version = host::resources().ModuleVersion()) {
    identity.version = Format(L"%u.%u.%u.0", version->major, version->minor, version->build);
  }
  return identity;
}

std::wstring HashAccountIdentity(const std::wstring& accountId) {
  return Utf8ToWide(Base64Encode(Sha1Digest(WideToCodePage(host::kCodePageAnsi, accountId))));
}

UsageStatistics::UsageStatistics(int outlookMajorVersion)
    : UsageStatistics(outlookMajorVersion, Timing{}) {}

UsageStatistics::UsageStatistics(int outlookMajorVersion, Timing timing)
    : m_identity(ReadStatisticsIdentity()), m_shared(std::make_shared<Shared>()) {
  m_shared->stop = host::threads().CreateEvent(true);
  m_shared->outlookVersion = outlookMajorVersion;
  m_worker =
      host::StartWorker([shared = m_shared, timing] { PostStatisticsThread(shared, timing); });
}

UsageStatistics::~UsageStatistics() {
  m_shared->stop->Set();
  // Not waited for: a worker still inside a request owns the queue and the stop event with
  // us, ends at its next step and posts nothing more.
  m_worker.reset();
  std::lock_guard<std::mutex> lock(m_shared->lock);
  m_shared->queue.clear();
}

void UsageStatistics::StopStatistics(uint32_t timeoutMs) {
  m_shared->stop->Set();
  if (m_worker && m_worker->Join(timeoutMs))
    m_worker.reset();
}

size_t UsageStatistics::queued() const {
  std::lock_guard<std::mutex> lock(m_shared->lock);
  return m_shared->queue.size();
}

void UsageStatistics::QueueStatistic(const std::wstring& query) {
  std::wstring entry = Format(L"%s&tp_bld=%s", query, L"stable");
  if (!m_identity.sender.empty())
    entry += L"&utm_source=" + m_identity.sender;
  if (!m_identity.campaign.empty())
    entry += L"&utm_campaign=" + m_identity.campaign;
  if (!m_identity.installId.empty())
    entry += L"&inst_id=" + m_identity.installId;
  if (!m_identity.userId.empty())
    entry += L"&tp_pid=" + m_identity.userId;
  entry += L"&tp_v=" + m_identity.version;
  std::lock_guard<std::mutex> lock(m_shared->lock);
  m_shared->queue.push_back(std::move(entry));
}

void UsageStatistics::ReportEmailEvent(int kind, const std::wstring& accountId,
                                       const std::wstring& senderName,
                                       const std::wstring& entryId) {
  std::wstring query = Format(L"tp_ec=outlook&tp_esndr=%s&tp_eid=%s", senderName, entryId);
  switch (kind) {
    case kSeenUnreadInList:
      query += L"&e_name=email_in_inbox_list&tp_eiu=true";
      break;
    case kSeenReadInList:
      query += L"&e_name=email_in_inbox_list&tp_eiu=false";
      break;
    case kOpenedInViewer:
      query += L"&e_name=email_in_message_viewer&tp_ehbi=1";
      break;
    default:
      break;
  }
  query += L"&tp_eaid=" + HashAccountIdentity(accountId);
  QueueStatistic(query);
}

}  // namespace tp
