// The active-content display: showing checked messages, its timers, inspectors and quit.
#include "display/active_content_display.h"

#include "host/host.h"
#include "host/windows.h"
#include "platform/log.h"
#include "platform/timer_ids.h"

namespace tp {
namespace {

constexpr uint32_t kRetryShowMs = 100;

constexpr host::HookType kHooks[] = {host::HookType::kCallWndProc, host::HookType::kKeyboard,
                                     host::HookType::kMouse};

}  // namespace

ActiveContentDisplay::ActiveContentDisplay(DisplayContext& context,
                                           std::unique_ptr<EmbeddedContent> embedded)
    : m_context(context),
      m_embedded(embedded ? std::move(embedded) : std::make_unique<NoEmbeddedContent>()),
      m_pane(context) {}

ActiveContentDisplay::~ActiveContentDisplay() {
  // No hook may call into a display that is gone.
  RemoveHooks();
}

void ActiveContentDisplay::CreateBrowserHelper() {
  m_connectionHelper.reset();
  (void)host::browsers().CreateBrowserHelper(&m_connectionHelper);  // a failure is ignored
}

void ActiveContentDisplay::BeginCheck() {
  m_checked.compose = false;
  m_checked.activeWanted = false;
  m_checked.messageMode = false;
  m_pane.BeginCheck();
}

bool ActiveContentDisplay::CheckTideEmbed(host::MailItem& item, bool inInspector,
                                          CheckedMessage* message) {
  const bool found = m_embedded->CheckTideEmbed(item, inInspector, message);
  ReleaseUnshownCopies(message->entryId);
  return found;
}

void ActiveContentDisplay::ShowBrisklet(const CheckedMessage& message, bool inInspector) {
  ReleaseClosedItems();
  m_checked = message;
  (void)ShowBrisklet(inInspector);
  ReleaseUnshownCopies(m_checked.entryId);
}

bool ActiveContentDisplay::ShowBrisklet(bool inInspector) {
  WriteLog(L"In ShowBrisklet");
  // An inspector's show is retried only while its item is the current one.
  if (inInspector && m_currentItem.expired())
    return false;
  const host::TimerId retry = inInspector ? kTimerRetryShowInInspector : kTimerRetryShowInPane;
  const std::shared_ptr<host::OutlookApplication>& outlook = m_context.session.application;
  if (!outlook || outlook->ActiveWindow() == 0) {
    m_context.timers.Arm(retry, kRetryShowMs);
    return false;
  }
  ShowBriskletOnWindow(!inInspector);
  return true;
}

void ActiveContentDisplay::ShowBriskletOnWindow(bool readingPane) {
  WriteLog(L"in ShowBriskletOnWindow");
  m_offline.Check(&m_checked.activeWanted, explorer());
  if (readingPane) {
    m_pane.ShowOnWindow(m_checked);
  } else {
    ShowInInspector();
  }
}

void ActiveContentDisplay::ShowInInspector() {
  const std::shared_ptr<CBriskletItem> current = m_currentItem.lock();
  if (!current)
    return;  // its inspector closed or its item was released: nothing to show
  const std::shared_ptr<host::OutlookApplication>& outlook = m_context.session.application;
  std::shared_ptr<host::Inspector> inspector = outlook ? outlook->ActiveInspector() : nullptr;
  if (inspector) {
    auto found = m_inspectorItems.find(inspector->Identity());
    if (found != m_inspectorItems.end() && found->second == current) {
      if (!current->initialised()) {
        // An inspector opened before the reading pane showed anything needs them as well.
        (void)host::browsers().RegisterHostClass();
        InstallHooks();
        current->Initialize(outlook->ActiveWindow(), inspector, m_checked.activeWanted);
      }
      current->Activate(ContentOf(m_checked));
      return;
    }
  }
  // Tried again until Outlook makes the inspector the active one, while it is open and current.
  m_context.timers.Arm(kTimerRetryShowInInspector, kRetryShowMs);
}

void ActiveContentDisplay::OnTimer(host::TimerId id) {
  ReleaseClosedItems();
  switch (id) {
    case kTimerCreateBrowserWindow:
      CreateBriskletWindow(m_pane.create_only());
      break;
    case kTimerBackToOutlookView:
      m_pane.SwitchBackToOutlookView();
      break;
    case kTimerRetryShowInInspector:
      (void)ShowBrisklet(true);
      break;
    default:
      (void)ShowBrisklet(false);
      break;
  }
  ReleaseUnshownCopies(m_checked.entryId);
}

void ActiveContentDisplay::CreateBriskletWindow(bool createOnly) {
  CriticalSectionLock hold(m_context.lock);
  (void)host::browsers().RegisterHostClass();
  InstallHooks();
  m_pane.CreateBriskletWindow(createOnly, m_checked);
}

void ActiveContentDisplay::InstallHooks() {
  host::input().SetHookProcedures(this);
  for (host::HookType hook : kHooks) {
    if (!host::input().IsHookInstalled(hook))
      (void)host::input().InstallHook(hook);
  }
}

void ActiveContentDisplay::RemoveHooks() {
  for (host::HookType hook : kHooks) {
    if (host::input().IsHookInstalled(hook))
      (void)host::input().RemoveHook(hook);
  }
  host::input().SetHookProcedures(nullptr);
}

void ActiveContentDisplay::OnSendActivate(host::WindowHandle /*window*/) {
  ClosedBrowserWindows::InCall fromHelper(m_context.closedBrowserWindows);
  const host::WindowHandle root = host::windows().Root(host::windows().Focus());
  if (root == 0)
    return;
  if (root == explorer()) {
    m_pane.OnSendActivate();
    return;
  }
  for (const auto& [identity, item] : m_inspectorItems) {
    if (item->ActivateBrisklet(root))
      break;
  }
}

void ActiveContentDisplay::OnSendCancel(host::WindowHandle /*window*/) {
  ClosedBrowserWindows::InCall fromHelper(m_context.closedBrowserWindows);
  const host::WindowHandle root = host::windows().Root(host::windows().Focus());
  if (root == 0)
    return;
  if (root == explorer()) {
    m_pane.OnSendCancel();
    return;
  }
  for (const auto& [identity, item] : m_inspectorItems) {
    if (item->CancelBrisklet(root))
      break;
  }
}

void ActiveContentDisplay::BindInspector(const std::shared_ptr<host::Inspector>& inspector) {
  ReleaseClosedItems();
  const uintptr_t identity = inspector->Identity();
  auto found = m_inspectorItems.find(identity);
  if (found == m_inspectorItems.end()) {
    auto item =
        std::make_shared<CBriskletItem>(inspector, m_context.closedBrowserWindows,
                                        [this](CBriskletItem& closed) { OnItemClosed(closed); });
    found = m_inspectorItems.emplace(identity, std::move(item)).first;
  }
  m_currentItem = found->second;
}

void ActiveContentDisplay::OnItemClosed(CBriskletItem& item) {
  if (m_currentItem.lock().get() == &item) {
    m_currentItem.reset();
    m_context.timers.Kill(kTimerRetryShowInInspector);
  }
  for (auto entry = m_inspectorItems.begin(); entry != m_inspectorItems.end(); ++entry) {
    if (entry->second.get() == &item) {
      m_closedItems.push_back(std::move(entry->second));
      m_inspectorItems.erase(entry);
      break;
    }
  }
  ReleaseUnshownCopies(m_checked.entryId);
}

void ActiveContentDisplay::ReleaseClosedItems() {
  if (!m_context.closedBrowserWindows.in_call())
    m_closedItems.clear();
}

void ActiveContentDisplay::ReleaseInspectors() {
  ReleaseClosedItems();
  m_inspectorItems.clear();
  m_currentItem.reset();
  m_context.timers.Kill(kTimerRetryShowInInspector);
}

void ActiveContentDisplay::ReleaseUnshownCopies(const std::wstring& checkedEntryId) {
  std::set<std::wstring> shown{checkedEntryId, m_pane.view().content().entryId};
  for (const auto& [identity, item] : m_inspectorItems)
    shown.insert(item->content().entryId);
  m_embedded->ReleaseCopiesExcept(shown);
}

CBriskletItem* ActiveContentDisplay::ItemOf(uintptr_t inspectorIdentity) const {
  auto found = m_inspectorItems.find(inspectorIdentity);
  return found == m_inspectorItems.end() ? nullptr : found->second.get();
}

void ActiveContentDisplay::TearDown() {
  ReleaseClosedItems();
  RemoveHooks();
  m_pane.TearDown();
  for (const auto& [identity, item] : m_inspectorItems)
    item->CleanActiveWindow();
  ReleaseInspectors();
  // Quit does not wait for them to age: Outlook is going, and with it every browser.
  m_context.closedBrowserWindows.ReleaseAll();
}

ActiveContentDisplay::View ActiveContentDisplay::PaneView() {
  View view;
  view.root = explorer();
  view.bodyHost = m_pane.body_host_window();
  view.body = m_pane.message_window();
  view.browser = &m_pane.browser();
  view.readingPane = true;
  return view;
}

std::optional<ActiveContentDisplay::View> ActiveContentDisplay::FindViewByRoot(
    host::WindowHandle root) {
  if (root == 0)
    return std::nullopt;
  if (root == explorer())
    return PaneView();
  for (const auto& [identity, item] : m_inspectorItems) {
    if (item->inspector_window() == root) {
      View view;
      view.root = root;
      view.bodyHost = item->body_host_window();
      view.body = item->body_window();
      view.browser = &item->browser();
      return view;
    }
  }
  return std::nullopt;
}

}  // namespace tp
