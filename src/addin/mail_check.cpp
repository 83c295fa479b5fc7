// The mail check and the branding decision.
#include "addin/mail_check.h"

#include <algorithm>

#include "base/text.h"
#include "branding/account_info.h"
#include "branding/active_content.h"
#include "branding/auth_headers.h"
#include "branding/form_regions.h"
#include "branding/mapi_text.h"
#include "branding/message_class.h"
#include "branding/smime_branding.h"
#include "host/clock.h"
#include "host/host.h"
#include "platform/configuration.h"
#include "platform/log.h"
#include "platform/process_state.h"
#include "platform/timer_ids.h"

namespace tp {
namespace {

constexpr uint32_t kRecheckDelayMs = 100;
// The longest message class a store keeps; a longer branded class is not written.
constexpr size_t kLongestMessageClass = 255;

// Shows the wait cursor for a scope.
class WaitCursor {
 public:
  WaitCursor() : previous_(host::ui().ShowWaitCursor()) {}
  ~WaitCursor() { host::ui().RestoreCursor(previous_); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  uintptr_t previous_;
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

// The provider's authentication verdicts in the transport headers vouch for the brand.
bool HeadersVouch(host::MapiMessage& message, const std::wstring& mailProvider,
                  const std::wstring& brandName, const SenderBrand& brand) {
  host::PropValue headers;
  const HResult read = message.GetProp(host::kPrTransportMessageHeadersW, &headers);
  if (read == hr::kMapiNotFound) {
    WriteLog(L"Failed getting transport headers");
    return false;
  }
  if (hr::Failed(read) || host::PropType(headers.tag) != host::kPtUnicode)
    return false;

  const AuthHeaderResult verdict = AnalyzeAuthHeaders(mailProvider, headers.text);
  WriteLogFormat(
      L"Header analysis result: Mail provider=%s, SPF=%s, SPFDomain=%s, DKIM=%s, DKIMDomain=%s",
      mailProvider, verdict.spfResult, verdict.spfDomain, verdict.dkimResult, verdict.dkimDomain);
  if (!verdict.layout.empty()) {
    WriteLogFormat(L"Header layout: %s, inbound hop on line %u", verdict.layout,
                   static_cast<uint32_t>(verdict.inboundLine));
  }
  for (const std::wstring& note : verdict.ignored) {
    WriteLogFormat(L"Verdict ignored: %s", note);
  }
  std::wstring dkimDomain = verdict.dkimDomain;
  if (EqualsIgnoreCase(verdict.dkimResult, L"pass")) {
    // Any passing signature of the sender's vouches: a message may carry an ESP's too.
    const auto signer =
        std::find_if(verdict.dkimPassDomains.begin(), verdict.dkimPassDomains.end(),
                     [&brand](const std::wstring& domain) { return AcceptsDomain(brand, domain); });
    if (signer == verdict.dkimPassDomains.end()) {
      WriteLog(L"DKIM is OK but not the DKIM signer");
      return false;
    }
    dkimDomain = *signer;
  } else if (brand.spf && EqualsIgnoreCase(verdict.spfResult, L"pass")) {
    if (!AcceptsDomain(brand, verdict.spfDomain)) {
      WriteLog(L"SPF is OK but not the SPF allowed domain");
      return false;
    }
  } else {
    WriteLog(L"Failed SPF\\DKIM check");
    return false;
  }
  WriteLogFormat(L"Branding message for sender %s SPF=%s, DKIM=%s, DKIMDomain=%s", brandName,
                 verdict.spfResult, verdict.dkimResult, dkimDomain);
  return true;
}

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
  GetSenderAddress(item, &m_checked.senderAddress);
  std::wstring marker;
  const int accountType = GetItemAccountInfo(item, &m_checked.account, &marker);
  GetProviderName(accountType, marker, &m_checked.provider);
  if (Contains(m_checked.senderAddress, L"." + std::wstring(config::kLinkedInDomain))) {
    m_checked.senderAddress = config::kLinkedInAddress;
  }

  // The decision comes first: a page built from the message's own HTML loads remote content
  // only for a sender it vouches for.
  WriteLog(L"Checking branding");
  (void)BrandMailItem(item, true, &m_checked.senderBranded);
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
  SenderLookup sender;
  sender.found = m_brands.FindSenderBrand(item, &sender.accountType, &sender.accountAddress,
                                          &sender.brandName, &sender.brand, &sender.mailProvider);
  if (!sender.found) {
    WriteLogFormat(L"Should not check branding for this message. Sender=%s", sender.brandName);
  }
  std::shared_ptr<host::MapiMessage> message = item.MapiObject();
  std::wstring messageClass;
  if (message)
    (void)ReadTextProp(*message, host::kPrMessageClassW, &messageClass);
  if (message && IsBrandedClass(messageClass)) {
    const bool borneOut = RecheckBrandedClass(item, viewed, sender, *message, messageClass);
    if (senderBranded)
      *senderBranded = borneOut;
    return false;
  }
  if (!sender.found || !message)
    return false;

  std::shared_ptr<host::MapiMessage> opened = OpenForWriting(*message);
  if (!opened)
    return false;
  (void)ReadTextProp(*opened, host::kPrMessageClassW, &messageClass);
  if (!Vouches(*opened, sender, messageClass))
    return false;
  if (senderBranded)
    *senderBranded = true;
  if (IsStopSignaled())
    return false;

  const std::wstring newClass = BrandedClassFor(messageClass, sender.brandName);
  if (newClass.size() > kLongestMessageClass) {
    WriteLogFormat(L"Message class %s is too long to be stored; message left as it is", newClass);
    return false;
  }
  for (const std::wstring& region : FormRegionsFor(messageClass, sender.brandName)) {
    RegisterFormRegion(region);
  }
  if (!SaveNewClass(item, *opened, messageClass, newClass))
    return false;
  // Reported only once the message really carries its branded class.
  m_report(item, viewed, sender.accountType, sender.mailProvider, sender.accountAddress, newClass);
  return true;
}

bool MailCheck::RecheckBrandedClass(host::MailItem& item, bool viewed, const SenderLookup& sender,
                                    host::MapiMessage& message, const std::wstring& messageClass) {
  WriteLogFormat(L"Message class name is already branded - %s", messageClass);
  // A message can arrive with a class of its own choosing (a TNEF part carries one), so the
  // class is believed only when the decision gives this message that very brand today. While
  // the list cannot judge the brand (not loaded yet, or the brand has left it), the message
  // is left as it is.
  const std::wstring classBrand = BrandOfBrandedClass(messageClass).value_or(std::wstring());
  if (m_brands.senders().count(classBrand) == 0) {
    WriteLogFormat(L"The brand of class %s is not in the branding list; message left as it is",
                   messageClass);
    return false;
  }
  const bool sameBrand = sender.found && sender.brandName == classBrand;
  if (!sameBrand)
    WriteLogFormat(L"The sender of this message is not listed for brand %s", classBrand);
  if (sameBrand && Vouches(message, sender, messageClass)) {
    RegisterFormRegion(FormRegionOfBrandedClass(messageClass));
    m_report(item, viewed, sender.accountType, sender.mailProvider, sender.accountAddress,
             messageClass);
    return true;
  }
  if (IsStopSignaled())
    return false;
  // Only a class to take back needs the message opened for writing.
  std::shared_ptr<host::MapiMessage> opened = OpenForWriting(message);
  if (!opened)
    return false;
  const std::wstring unbranded = UnbrandedClassOf(messageClass);
  WriteLogFormat(
      L"Message class %s is not vouched for by this message's own evidence; restoring class %s",
      messageClass, unbranded);
  (void)SaveNewClass(item, *opened, messageClass, unbranded);
  return false;
}

std::shared_ptr<host::MapiMessage> MailCheck::OpenForWriting(host::MapiMessage& message) {
  std::shared_ptr<host::MapiSession> session =
      m_session.nameSpace ? m_session.nameSpace->MapiObject() : nullptr;
  if (!session)
    return nullptr;
  host::PropValue entryId;
  if (hr::Failed(message.GetProp(host::kPrEntryId, &entryId)))
    return nullptr;
  std::shared_ptr<host::MapiMessage> opened;
  if (hr::Failed(session->OpenEntry(entryId.bytes, host::kMapiModify | host::kMapiDeferredErrors,
                                    &opened))) {
    return nullptr;
  }
  return opened;
}

bool MailCheck::Vouches(host::MapiMessage& opened, const SenderLookup& sender,
                        const std::wstring& messageClass) {
  return sender.accountType == host::kOlExchangeAccount
             ? SmimeSignatureVouches(opened, messageClass, sender.brandName, sender.brand)
             : HeadersVouch(opened, sender.mailProvider, sender.brandName, sender.brand);
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
