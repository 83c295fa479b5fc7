// CConnect's handlers of Outlook's explorer, inspector and application events.
#include "addin/connect.h"

#include "host/host.h"
#include "host/system.h"
#include "platform/log.h"
#include "platform/process_state.h"
#include "platform/timer_ids.h"

namespace tp {
namespace {

constexpr uint32_t kFirstScanDelayMs = 1000;
constexpr uint32_t kRecreateWindowAfterSwitchMs = 400;

// NewInspector holds this for its whole run; no other code takes it.
CriticalSection& NewInspectorLock() {
  static CriticalSection section;
  return section;
}

}  // namespace

void CConnect::OnNewMailEx(const std::wstring& entryIdCollection) {
  m_mailArrival.OnNewMailEx(entryIdCollection);
}

void CConnect::OnLogonComplete() {
  WriteLog(L"In OnLogonComplete");
}

void CConnect::OnFolderSwitch() {
  WriteLog(L"In OnFolderSwitch event");
  if (g_hScanEvent)
    g_hScanEvent->Set();
}

void CConnect::LearnExplorerWindow(host::WindowHandle window) {
  m_timers.SetOwner(window);
  host::system().DisableNavigationSounds();
  m_timers.Arm(kTimerScanSchedule, kFirstScanDelayMs);
}

bool CConnect::IsOutboxFolder(host::Folder& folder) {
  if (!m_session.nameSpace)
    return false;
  std::shared_ptr<host::Folder> outbox =
      m_session.nameSpace->GetDefaultFolder(host::kOlFolderOutbox);
  if (!outbox)
    return false;
  const std::wstring id = folder.EntryId();
  return !id.empty() && id == outbox->EntryId();
}

bool CConnect::SingleSelectedItem(host::Explorer& explorer,
                                  std::shared_ptr<host::OutlookItem>* item) {
  std::shared_ptr<host::Selection> selection = explorer.GetSelection();
  if (!selection || selection->Class() != host::kOlSelection)
    return false;
  if (selection->Count() != 1) {
    m_currentEntryId.clear();  // so that selecting the mail again checks it again
    return false;
  }
  *item = selection->Item(1);
  return true;
}

void CConnect::OnExplorerSelectionChange() {
  WriteLog(L"In OnExplorerSelectionChange event");
  if (!m_session.application)
    return;
  if (m_timers.owner() == 0) {
    if (host::WindowHandle window = m_session.application->ActiveWindow(); window != 0) {
      LearnExplorerWindow(window);
    }
  }
  std::shared_ptr<host::Explorer> explorer = m_session.application->ActiveExplorer();
  std::shared_ptr<host::Folder> folder = explorer ? explorer->CurrentFolder() : nullptr;
  if (!folder)
    return;
  if (IsOutboxFolder(*folder)) {
    WriteLog(L"Not scanning Outbox folder");
    return;
  }
  std::shared_ptr<host::OutlookItem> item;
  if (!SingleSelectedItem(*explorer, &item))
    return;
  std::shared_ptr<host::MailItem> mail = item ? item->AsMailItem() : nullptr;
  if (!mail) {
    m_display->CleanMainActive();
    m_currentEntryId.clear();
    return;
  }
  if (mail->Class() != host::kOlMail)
    return;
  const std::wstring entryId = mail->EntryId();
  if (entryId.empty() || entryId == m_currentEntryId)
    return;
  m_currentEntryId = entryId;
  WriteLogFormat(L"OnExplorerSelectionChange: %s", entryId);
  CheckMailItem(*mail, false);
}

void CConnect::NewInspector(std::shared_ptr<host::Inspector> inspector) {
  WriteLog(L"In NewInspector event");
  CriticalSectionLock lock(NewInspectorLock());
  if (!inspector)
    return;
  std::shared_ptr<host::OutlookItem> item = inspector->CurrentItem();
  std::shared_ptr<host::MailItem> mail = item ? item->AsMailItem() : nullptr;
  if (!mail || mail->Class() != host::kOlMail)
    return;
  m_display->BindInspector(inspector);
  WriteLogFormat(L"NewInspector: %s", mail->EntryId());
  CheckMailItem(*mail, true);
}

void CConnect::OnBeforeFolderSwitch(std::shared_ptr<host::Folder> /*newFolder*/, bool* /*cancel*/) {
  if (!m_display->DetachForFolderSwitch())
    return;
  m_folderSwitch = true;
  if (m_timers.owner() != 0) {
    m_timers.Arm(kTimerCreateBrowserWindow, kRecreateWindowAfterSwitchMs);
  }
}

}  // namespace tp
