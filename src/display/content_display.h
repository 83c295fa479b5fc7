// What the add-in object asks of the active-content display: the browser windows laid over
// the reading pane and the inspectors, the browser helper object, and the temporary files
// of embedded content.
#pragma once

#include <memory>

#include "branding/checked_message.h"
#include "host/outlook.h"
#include "host/ui.h"

namespace tp {

class ContentDisplay {
 public:
  virtual ~ContentDisplay() = default;
  // Empties the temporary folder of embedded content (at construction and at quit).
  virtual void RemoveTemporaryFiles() = 0;
  virtual void CreateBrowserHelper() = 0;
  virtual void ReleaseBrowserHelper() = 0;
  // Lets go of every browser, destroys them at once, and removes the hooks (at quit).
  virtual void TearDown() = 0;
  // Before a folder switch: blanks the reading-pane browser and lets go of it (it is
  // destroyed later); false when there is none, or it already shows the blank page.
  virtual bool DetachForFolderSwitch() = 0;
  // The display's own timers (window creation, view switching, show retries).
  virtual void OnTimer(host::TimerId id) = 0;
  // A new message is being checked: what the display showed no longer counts.
  virtual void BeginCheck() = 0;
  // Looks for the maker's embedded-content markers in the message; may set the message's
  // activeWanted, embedFound and page. True when the message holds an active link.
  virtual bool CheckTideEmbed(host::MailItem& item, bool inInspector, CheckedMessage* message) = 0;
  // Shows the last checked message, in the reading pane or the current inspector.
  virtual void ShowBrisklet(const CheckedMessage& message, bool inInspector) = 0;
  // Shows the last checked message now: in the reading pane, or in the current inspector.
  virtual void ShowBriskletOnWindow(bool readingPane) = 0;
  // Makes the reading pane's browser window when there is none; unless createOnly, then
  // shows the last checked message in it.
  virtual void CreateBriskletWindow(bool createOnly) = 0;
  // Destroys the reading pane's browser window: Outlook's own view is left.
  virtual void CleanMainActive() = 0;
  // Finds the reading pane's message window again when it is not known.
  virtual void FindMessageWindow() = 0;
  // The browser helper object asks, from a window of Outlook, for the active content again
  // or for Outlook's own view.
  virtual void OnSendActivate(host::WindowHandle window) = 0;
  virtual void OnSendCancel(host::WindowHandle window) = 0;
  // Makes the display item of an opened inspector the current one, creating it when new.
  virtual void BindInspector(const std::shared_ptr<host::Inspector>& inspector) = 0;
  // Releases every inspector's display item.
  virtual void ReleaseInspectors() = 0;
};

// Outlook's own rendering only: nothing is laid over the message body, which is what the
// add-in shows offline or for a message without active content. Tests derive from it to
// watch single calls.
class OutlookViewDisplay : public ContentDisplay {
 public:
  void RemoveTemporaryFiles() override {}
  void CreateBrowserHelper() override {}
  void ReleaseBrowserHelper() override {}
  void TearDown() override {}
  bool DetachForFolderSwitch() override { return false; }
  void OnTimer(host::TimerId) override {}
  void BeginCheck() override {}
  bool CheckTideEmbed(host::MailItem&, bool, CheckedMessage*) override { return false; }
  void ShowBrisklet(const CheckedMessage&, bool) override {}
  void ShowBriskletOnWindow(bool) override {}
  void CreateBriskletWindow(bool) override {}
  void CleanMainActive() override {}
  void FindMessageWindow() override {}
  void OnSendActivate(host::WindowHandle) override {}
  void OnSendCancel(host::WindowHandle) override {}
  void BindInspector(const std::shared_ptr<host::Inspector>&) override {}
  void ReleaseInspectors() override {}
};

}  // namespace tp
