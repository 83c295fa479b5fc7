// A hosted browser and its helper object.
#include "display/active_browser.h"

#include <random>

#include "base/format.h"
#include "host/clock.h"
#include "host/host.h"
#include "platform/configuration.h"

namespace tp {

bool ActiveBrowser::CreateWindow(host::WindowHandle parent, const host::Rect& rect,
                                 const wchar_t* text) {
  const host::WindowHandle made = host::browsers().CreateBrowserWindow(parent, rect);
  if (made == 0)
    return false;
  m_window = made;
  (void)host::windows().SetText(m_window, text);
  return true;
}

bool ActiveBrowser::IsWindowAlive() const {
  return m_window != 0 && host::ui().IsWindow(m_window);
}

bool ActiveBrowser::AttachControl() {
  m_browser = IsWindowAlive() ? host::browsers().BrowserOf(m_window) : nullptr;
  return m_browser != nullptr;
}

ReleasedBrowser ActiveBrowser::Release() {
  ReleasedBrowser released;
  released.window = LiveWindow();
  released.control = std::move(m_browser);
  released.helper = std::move(m_helper);
  m_window = 0;
  m_browser.reset();
  return released;
}

void ActiveBrowser::Navigate(const std::wstring& url) {
  if (m_browser)
    (void)m_browser->Navigate(url);
}

void ActiveBrowser::ApplyZoom() {
  if (m_browser)
    (void)m_browser->SetZoom(m_zoom);
}

std::wstring ActiveBrowser::RefreshAddress() {
  static std::minstd_rand generator(host::clock().TickCount());
  uint32_t fragment = static_cast<uint32_t>(generator());
  if (fragment == m_lastFragment)
    ++fragment;
  m_lastFragment = fragment;
  return Format(L"%s#%u", config::kActiveContentPage, fragment);
}

HResult ActiveBrowser::PrepareHelper(host::WindowHandle hostWindow, bool* creationFailed) {
  *creationFailed = false;
  if (m_helper)
    return hr::kOk;
  std::unique_ptr<host::BrowserHelper> made;
  const HResult created = host::browsers().CreateBrowserHelper(&made);
  if (hr::Failed(created) || !made) {
    *creationFailed = true;
    return hr::Failed(created) ? created : hr::kFail;
  }
  m_helper = std::move(made);
  if (HResult result = m_helper->SetHostWindow(hostWindow); hr::Failed(result) || !m_helper)
    return result;
  return m_browser ? m_helper->SetSite(m_browser.get()) : hr::kOk;
}

HResult ActiveBrowser::SendContent(const BriskletContent& content) {
  if (!m_helper)
    return hr::kOk;
  const HResult informed = m_helper->SetMessageInfo(
      content.senderAddress, content.subject, content.entryId, content.account, content.provider);
  if (hr::Failed(informed) || !m_helper)
    return informed;
  return m_helper->SetPageContent(content.page);
}

}  // namespace tp
