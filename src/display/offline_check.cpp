// The offline check and its notice.
#include "display/offline_check.h"

#include "host/connectivity.h"
#include "host/host.h"
#include "host/resources.h"
#include "host/windows.h"
#include "platform/log.h"

namespace tp {
namespace {

constexpr uint32_t kCheckEvery = 4;
constexpr int kNoticeCaptionId = 1024;
constexpr int kNoticeTextId = 1025;

bool IsOnline() {
  uint32_t flags = 0;
  return host::connectivity().GetConnectedState(&flags) &&
         (flags & host::kInternetConnectionOffline) == 0;
}

}  // namespace

void OfflineCheck::Check(bool* activeWanted, host::WindowHandle owner) {
  if (m_showCount % kCheckEvery == 0 || *activeWanted) {
    WriteLog(L"Checking internet connection");
    m_probe.Request();
    const bool online = IsOnline();
    WriteLog(online ? L"Internet is on" : L"Internet is offline");
    if (online) {
      m_offlineNotified = false;
    } else if (*activeWanted) {
      *activeWanted = false;
      if (!m_offlineNotified) {
        m_offlineNotified = true;
        host::windows().ShowMessageBox(
            owner, host::resources().LoadString(kNoticeTextId).value_or(std::wstring()),
            host::resources().LoadString(kNoticeCaptionId).value_or(std::wstring()),
            host::kMbIconExclamation);
      }
    }
  }
  ++m_showCount;
}

}  // namespace tp
