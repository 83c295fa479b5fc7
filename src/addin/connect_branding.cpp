// CConnect's branding operations: loading the branding list and checking mail items.
#include "addin/connect.h"

#include "addin/timer_ids.h"
#include "support/log.h"

namespace tp {
namespace {
constexpr uint32_t kBrandingRetryMs = 1000;
}  // namespace

void CConnect::LoadBrandingList() {
  WriteLog(L"Getting providers and providers icons");
  WriteLog(L"Branding JSON still empty, checking in 1 second");
  m_timers.Arm(kTimerLoadBrandingList, kBrandingRetryMs);
}

void CConnect::CheckMailItem(host::MailItem& /*item*/, bool inInspector) {
  CriticalSectionLock lock(m_cs);
  WriteLog(L"In CheckMailItem");
  m_display->ShowBrisklet(CheckedMessage(), inInspector);
}

bool CConnect::BrandMailItem(host::MailItem& /*item*/, bool /*viewed*/) {
  return false;
}

}  // namespace tp
