// The mail check and the branding decision.
#include "addin/mail_check.h"

#include "base/text.h"
#include "branding/account_info.h"
#include "branding/active_content.h"
#include "branding/form_regions.h"
#include "branding/message_class.h"
#include "host/clock.h"
#include "host/host.h"
#include "platform/configuration.h"
#include "platform/log.h"
#include "platform/process_state.h"
#include "platform/timer_ids.h"

namespace tp {
namespace {

constexpr uint32_t kRecheckDelayMs = 100;

// Shows the wait cursor for a scope.
class WaitCursor {
 public:
  WaitCursor() : m_previous(host::ui().ShowWaitCursor()) {}
  ~WaitCursor() { host::ui().RestoreCursor(m_previous); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  uintptr_t m_previous;
};

// Counts a check or decision as running for a scope.
class RunningScope {
 public:
  explicit RunningScope(int& count) : m_count(count) { ++m_count; }
  ~RunningScope() { --m_count; }
  RunningScope(const RunningScope&) = delete;
  RunningScope& operator=(const RunningScope&) = delete;

 private:
  int& m_count;
};

}  // namespace

MailCheck::MailCheck(OutlookSession& session, AddinTimers& timers, const BrandingList& brands,
                     ContentDisplay& display, ICriticalSection& lock, BrandedReport report)
    : m_session(session),
      m_timers(timers),
      m_brands(brands),
      m_display(display),
      m_lock(lock),
      m_report(std::move(report)) {}

void MailCheck::CheckMailItem(host::MailItem& item, bool inInspector) {
  CriticalSectionLock hold(m_lock);
  RunningScope running(m_running);
  WriteLog(L"In CheckMailItem");
  // Nothing of the previous message may be shown for this one.
  m_checked = CheckedMessage();
  m_lastDecision.reset();
  m_checked.entryId = item.EntryId();
  m_display.BeginCheck();
  if (!item.Sent()) {
    WriteLog(L"Inspector is of a compose window Ignoring");
    m_checked.compose = true;
    m_display.ShowBrisklet(m_checked, inInspector);
    return;
  }
  if (item.DownloadState() == host::kOlHeaderOnly) {
    WriteLog(L"Message was not fully downloaded. Ignoring");
    m_timers.Arm(kTimerRecheckSelection, kRecheckDelayMs);
    return;
  }
  std::wstring body;
  GetMessageBodyText(&item, &body, false);
  if (body.empty()) {
    WriteLog(L"Empty message body. Ignoring");
    m_display.ShowBrisklet(m_checked, inInspector);
    return;
  }
  m_checked.subject = item.Subject();

  // The decision comes first: a page built from the message's own HTML loads remote content
  // only for a sender it vouches for. It reads the sender and the account for the display too.
  WriteLog(L"Checking branding");
  (void)BrandMailItem(item, true, &m_checked.senderBranded);
  const MessageEvidence& read = m_lastDecision->evidence;
  m_checked.senderAddress = read.outlookSender;
  if (Contains(m_checked.senderAddress, L"." + std::wstring(config::kLinkedInDomain))) {
    m_checked.senderAddress = config::kLinkedInAddress;
  }
  m_checked.account = read.accountAddress;
  GetProviderName(read.accountType, read.mailProvider, &m_checked.provider);
  const ActiveContentPointer pointer = FindActiveContentPointer(body);
  m_checked.pointerFound = pointer.found;
  m_checked.activeWanted = pointer.found;
  m_checked.messageMode = pointer.messageMode;
  if (pointer.found && pointer.messageMode) {
    m_checked.page = BuildPleaseWaitPage(pointer.pointer);
  } else {
    const bool activeLink = m_display.CheckTideEmbed(item, inInspector, &m_checked);
    if (!pointer.found && !activeLink) {
      WriteLog(L"Did not find a valid pointer and message does not contain an active link");
    }
  }
  m_display.ShowBrisklet(m_checked, inInspector);
}

bool MailCheck::BrandMailItem(host::MailItem& item, bool viewed, bool* senderBranded) {
  RunningScope running(m_running);
  BrandingDecision decision = DecideBranding(ReadMessageEvidence(item, m_brands), m_brands);
  LogBrandingDecision(decision);
  if (senderBranded)
    *senderBranded = decision.VouchesForSender();
  // Outlook may run a nested decision inside the writes; this one is kept as the last.
  const bool branded = Apply(item, viewed, decision);
  m_lastDecision = std::move(decision);
  return branded;
}

bool MailCheck::Apply(host::MailItem& item, bool viewed, const BrandingDecision& decision) {
  const std::wstring& messageClass = decision.evidence.messageClass;
  switch (decision.outcome) {
    case BrandingOutcome::kLeave:
      return false;
    case BrandingOutcome::kKeepBrandedClass:
      RegisterFormRegion(FormRegionOfBrandedClass(messageClass));
      Report(item, viewed, decision, messageClass);
      return false;
    case BrandingOutcome::kRestoreClass: {
      if (IsStopSignaled())
        return false;
      std::shared_ptr<host::MapiMessage> opened = OpenForWriting(item);
      if (!opened)
        return false;
      WriteLogFormat(
          L"Message class %s is not vouched for by this message's own evidence; restoring class "
          L"%s",
          messageClass, decision.newClass);
      (void)SaveNewClass(item, *opened, messageClass, decision.newClass);
      return false;
    }
    case BrandingOutcome::kBrand:
      break;
  }
  std::shared_ptr<host::MapiMessage> opened = OpenForWriting(item);
  if (!opened || IsStopSignaled())
    return false;
  for (const std::wstring& region : FormRegionsFor(messageClass, decision.brandName)) {
    RegisterFormRegion(region);
  }
  if (!SaveNewClass(item, *opened, messageClass, decision.newClass))
    return false;
  // Reported only once the message really carries its branded class.
  Report(item, viewed, decision, decision.newClass);
  return true;
}

void MailCheck::Report(host::MailItem& item, bool viewed, const BrandingDecision& decision,
                       const std::wstring& messageClass) {
  const MessageEvidence& read = decision.evidence;
  m_report(item, viewed, read.accountType, read.mailProvider, read.accountAddress, messageClass);
}

std::shared_ptr<host::MapiMessage> MailCheck::OpenForWriting(host::MailItem& item) {
  std::shared_ptr<host::MapiSession> session =
      m_session.nameSpace ? m_session.nameSpace->MapiObject() : nullptr;
  std::shared_ptr<host::MapiMessage> message = item.MapiObject();
  if (!session || !message)
    return nullptr;
  host::PropValue entryId;
  if (hr::Failed(message->GetProp(host::kPrEntryId, &entryId)))
    return nullptr;
  std::shared_ptr<host::MapiMessage> opened;
  if (hr::Failed(session->OpenEntry(entryId.bytes, host::kMapiModify | host::kMapiDeferredErrors,
                                    &opened))) {
    return nullptr;
  }
  return opened;
}

bool MailCheck::SaveNewClass(host::MailItem& item, host::MapiMessage& message,
                             const std::wstring& oldClass, const std::wstring& newClass) {
  host::PropValue value;
  value.tag = host::kPrMessageClassW;
  value.text = newClass;
  if (const HResult set = message.SetProp(value); hr::Failed(set)) {
    WriteLogFormat(L"Could not set the message class %s. Result=%xx; message left as it is",
                   newClass, set);
    return false;
  }
  const uint32_t start = host::clock().TickCount();
  HResult saved = hr::kOk;
  {
    WaitCursor wait;
    saved = message.SaveChanges(host::kKeepOpenReadWrite);
    if (saved == hr::kMapiObjectChanged)
      saved = message.SaveChanges(host::kForceSave);
  }
  const uint32_t elapsed = host::TicksSince(host::clock().TickCount(), start);
  // A save within the clock's resolution counts as one millisecond.
  const double size = static_cast<double>(item.Size()) + 1.0;
  const int rate = static_cast<int>(size / (elapsed == 0 ? 1.0 : static_cast<double>(elapsed)));
  WriteLogFormat(L"Done saving item with new message class %s. Took %d ms (%d KB/Sec). Result=%xx",
                 newClass, elapsed, rate, saved);
  if (hr::Failed(saved)) {
    // The change was never committed; the open message is given its class back as well.
    value.text = oldClass;
    (void)message.SetProp(value);
    WriteLogFormat(L"The new message class was not saved; the message keeps its class %s",
                   oldClass);
    return false;
  }
  return true;
}

}  // namespace tp
