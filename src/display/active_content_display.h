// The active-content display: the reading pane's browser, one CBriskletItem per inspector, the
// offline check, the display's timers, and the thread hooks that keep the browser windows in
// place (the window-message watcher) and give them working keys, zoom and F5.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "branding/checked_message.h"
#include "display/brisklet_item.h"
#include "display/content_display.h"
#include "display/display_context.h"
#include "display/embedded_content.h"
#include "display/offline_check.h"
#include "display/reading_pane.h"
#include "host/browser.h"
#include "host/input.h"

namespace tp {

class ActiveContentDisplay final : public ContentDisplay, private host::HookProcedures {
 public:
  explicit ActiveContentDisplay(DisplayContext& context,
                                std::unique_ptr<EmbeddedContent> embedded = nullptr);
  ~ActiveContentDisplay() override;
  ActiveContentDisplay(const ActiveContentDisplay&) = delete;
  ActiveContentDisplay& operator=(const ActiveContentDisplay&) = delete;

  void RemoveTemporaryFiles() override { m_embedded->RemoveTemporaryFiles(); }
  void CreateBrowserHelper() override;
  void ReleaseBrowserHelper() override { m_connectionHelper.reset(); }
  void TearDown() override;
  bool DetachForFolderSwitch() override { return m_pane.DetachForFolderSwitch(); }
  void OnTimer(host::TimerId id) override;
  void BeginCheck() override;
  bool CheckTideEmbed(host::MailItem& item, bool inInspector, CheckedMessage* message) override;
  void ShowBrisklet(const CheckedMessage& message, bool inInspector) override;
  void ShowBriskletOnWindow(bool readingPane) override;
  void CreateBriskletWindow(bool createOnly) override;
  void CleanMainActive() override { m_pane.CleanMainActive(); }
  void FindMessageWindow() override { m_pane.FindMessageWindow(); }
  void OnSendActivate(host::WindowHandle window) override;
  void OnSendCancel(host::WindowHandle window) override;
  void BindInspector(const std::shared_ptr<host::Inspector>& inspector) override;
  void ReleaseInspectors() override;

  // The state, for the tool and the tests.
  ReadingPane& reading_pane() { return m_pane; }
  const OfflineCheck& offline_check() const { return m_offline; }
  // The item of an inspector (by its identity); null when there is none.
  CBriskletItem* ItemOf(uintptr_t inspectorIdentity) const;
  CBriskletItem* current_item() const { return m_currentItem.lock().get(); }
  size_t item_count() const { return m_inspectorItems.size(); }

 private:
  // The reading pane or one inspector, as the watcher and the hooks see it.
  struct View {
    host::WindowHandle root = 0;
    host::WindowHandle bodyHost = 0;
    host::WindowHandle body = 0;
    ActiveBrowser* browser = nullptr;
    bool readingPane = false;
  };

  // With the content of the last checked message; false when Outlook had no active window
  // (the show is tried again shortly).
  bool ShowBrisklet(bool inInspector);
  void ShowInInspector();
  void OnItemClosed(CBriskletItem& item);
  // Items whose inspector closed go at the next display call, never inside their own event
  // nor inside any other call from or into a browser.
  void ReleaseClosedItems();
  // The copies of inline images that no page on screen, nor the message checked last, needs.
  void ReleaseUnshownCopies(const std::wstring& checkedEntryId);
  void InstallHooks();
  void RemoveHooks();
  host::WindowHandle explorer() const { return m_context.timers.owner(); }
  std::optional<View> FindViewByRoot(host::WindowHandle root);
  View PaneView();

  // host::HookProcedures (window_watcher.cpp, input_hooks.cpp).
  void CallWndProc(int code, const host::WindowMessage& message) override;
  bool KeyboardProc(int code, uint32_t virtualKey, uint32_t keyFlags) override;
  bool MouseProc(int code, uint32_t message, const host::MouseHookData& data) override;
  void ResizeToBodyHost(const View& view, host::WindowHandle window);
  std::optional<View> KeyboardTarget(host::WindowHandle focus);
  std::optional<View> WheelTarget(const host::MouseHookData& data);
  bool ApplyZoom(const View& target, int zoom, const wchar_t* source);

  DisplayContext& m_context;
  std::unique_ptr<EmbeddedContent> m_embedded;
  ReadingPane m_pane;
  OfflineCheck m_offline;
  CheckedMessage m_checked;  // the content fields of the last checked message
  std::map<uintptr_t, std::shared_ptr<CBriskletItem>> m_inspectorItems;
  std::weak_ptr<CBriskletItem> m_currentItem;
  std::vector<std::shared_ptr<CBriskletItem>> m_closedItems;
  // The helper object the add-in makes at connection and keeps until quit.
  std::unique_ptr<host::BrowserHelper> m_connectionHelper;
};

}  // namespace tp
