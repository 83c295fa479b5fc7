// CConnect's branding operations: the branding list, the mail check and its statistics.
#include "addin/connect.h"

#include "base/text.h"
#include "branding/message_class.h"
#include "net/brand_names.h"
#include "platform/log.h"
#include "platform/timer_ids.h"

namespace tp {
namespace {
constexpr uint32_t kBrandingRetryMs = 1000;
constexpr uint32_t kScanStartMs = 1000;
}  // namespace

void CConnect::LoadBrandingList() {
  WriteLog(L"Getting providers and providers icons");
  SendersListDownloader::Branding branding = g_sendersListDownloader
                                                 ? g_sendersListDownloader->CurrentBranding()
                                                 : SendersListDownloader::Branding{};
  if (branding.json.empty()) {
    WriteLog(L"Branding JSON still empty, checking in 1 second");
    m_timers.Arm(kTimerLoadBrandingList, kBrandingRetryMs);
    return;
  }
  m_brandingVersion = branding.version;
  m_brandingLoaded = true;
  (void)m_brandingList.Load(std::move(branding.json));
  PublishBrandNameList(m_brandingList.names());
  // The periodic work starts whatever the document held.
  m_timers.Arm(kTimerScanSchedule, kScanStartMs);
}

void CConnect::SwitchToNewerBrandingList() {
  // Only between checks: a check in progress keeps the list it started with.
  if (!m_brandingLoaded || !g_sendersListDownloader || m_mailCheck.running() ||
      g_sendersListDownloader->BrandingVersion() == m_brandingVersion) {
    return;
  }
  SendersListDownloader::Branding branding = g_sendersListDownloader->CurrentBranding();
  m_brandingVersion = branding.version;
  if (branding.json.empty()) {
    WriteLog(L"The newer senders list holds no branding; the branding list is kept");
    return;
  }
  BrandingList newer;
  if (!newer.Load(std::move(branding.json)).documentRead) {
    WriteLog(L"The newer branding document cannot be used; the branding list is kept");
    return;
  }
  m_brandingList.Swap(newer);
  PublishBrandNameList(m_brandingList.names());
  WriteLogFormat(L"Branding list updated: %d senders", m_brandingList.RecordCount());
}

void CConnect::CheckMailItem(host::MailItem& item, bool inInspector) {
  m_mailCheck.CheckMailItem(item, inInspector);
}

bool CConnect::BrandMailItem(host::MailItem& item, bool viewed) {
  return m_mailCheck.BrandMailItem(item, viewed);
}

void CConnect::ReportBrandedMessage(host::MailItem& item, bool viewed, int /*accountType*/,
                                    const std::wstring& /*mailProvider*/,
                                    const std::wstring& accountAddress,
                                    const std::wstring& messageClass) {
  if (!m_statistics)
    return;
  bool branded = false;
  const std::wstring senderName = BrandNameOfClass(messageClass, &branded);
  if (!branded)
    return;
  const std::wstring entryId = item.EntryId();
  const int kind = viewed ? kOpenedInViewer : (item.UnRead() ? kSeenUnreadInList : kSeenReadInList);
  if (m_statsCache.ShouldReportEmailEvent(entryId, kind)) {
    m_statistics->ReportEmailEvent(kind, ToLower(accountAddress), senderName, entryId);
  }
}

}  // namespace tp
