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
  window_ = made;
  (void)host::windows().SetText(window_, text);
  return true;
}

bool ActiveBrowser::IsWindowAlive() const {
  return window_ != 0 && host::ui().IsWindow(window_);
}

bool ActiveBrowser::AttachControl() {
  browser_ = IsWindowAlive() ? host::browsers().BrowserOf(window_) : nullptr;
  return browser_ != nullptr;
}

ReleasedBrowser ActiveBrowser::Release() {
  ReleasedBrowser released;
  released.window = LiveWindow();
  released.control = std::move(browser_);
  released.helper = std::move(helper_);
  window_ = 0;
  browser_.reset();
  return released;
}

void ActiveBrowser::Navigate(const std::wstring& url) {
  if (browser_)
    (void)browser_->Navigate(url);
}

void ActiveBrowser::ApplyZoom() {
  if (browser_)
    (void)browser_->SetZoom(zoom_);
}

std::wstring ActiveBrowser::RefreshAddress() {
  static std::minstd_rand generator(host::clock().TickCount());
  uint32_t fragment = static_cast<uint32_t>(generator());
  if (fragment == lastFragment_)
    ++fragment;
  lastFragment_ = fragment;
  return Format(L"%s#%u", config::kActiveContentPage, fragment);
}

HResult ActiveBrowser::PrepareHelper(host::WindowHandle hostWindow, bool* creationFailed) {
  *creationFailed = false;
  if (helper_)
    return hr::kOk;
  std::unique_ptr<host::BrowserHelper> made;
  const HResult created = host::browsers().CreateBrowserHelper(&made);
  if (hr::Failed(created) || !made) {
    *creationFailed = true;
    return hr::Failed(created) ? created : hr::kFail;
  }
  helper_ = std::move(made);
  if (HResult result = helper_->SetHostWindow(hostWindow); hr::Failed(result) || !helper_)
    return result;
  return browser_ ? helper_->SetSite(browser_.get()) : hr::kOk;
}

HResult ActiveBrowser::SendContent(const BriskletContent& content) {
  if (!helper_)
    return hr::kOk;
  const HResult informed = helper_->SetMessageInfo(
      content.senderAddress, content.subject, content.entryId, content.account, content.provider);
  if (hr::Failed(informed) || !helper_)
    return informed;
  return helper_->SetPageContent(content.page);
}

}  // namespace tp
