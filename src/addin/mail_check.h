// The mail check: for the message the user looks at, what the display needs (its active
// content pointer, sender, subject, account); and the branding decision for any message,
// which gives an authentic message from a branded sender its branded message class.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/critical_section.h"
#include "branding/branding_decision.h"
#include "branding/branding_list.h"
#include "branding/checked_message.h"
#include "display/content_display.h"
#include "host/outlook.h"
#include "platform/addin_timers.h"
#include "platform/outlook_session.h"

namespace tp {

class MailCheck {
 public:
  // Receives the statistics of a branded message: item, viewed, account type, provider
  // marker, account address, message class.
  using BrandedReport = std::function<void(host::MailItem&, bool, int, const std::wstring&,
                                           const std::wstring&, const std::wstring&)>;

  MailCheck(OutlookSession& session, AddinTimers& timers, const BrandingList& brands,
            ContentDisplay& display, ICriticalSection& lock, BrandedReport report);

  void CheckMailItem(host::MailItem& item, bool inInspector);
  // True when the message was given its branded class now. `senderBranded`, when given, is
  // set when the decision vouches for the message's sender: a message branded now, or one
  // whose branded class the decision bears out again.
  bool BrandMailItem(host::MailItem& item, bool viewed, bool* senderBranded = nullptr);

  const CheckedMessage& checked() const { return m_checked; }
  // Whether a check or decision is under way (Outlook's calls may run timers inside one).
  bool running() const { return m_running > 0; }
  // The last branding decision taken, for the tool and the tests; none when the last check
  // of a viewed message stopped before the decision.
  const std::optional<BrandingDecision>& lastDecision() const { return m_lastDecision; }

 private:
  // Carries out a decision on the message: writes and saves the class it gives, registers
  // its form regions and reports the branded message. True when a new branded class was
  // saved.
  bool Apply(host::MailItem& item, bool viewed, const BrandingDecision& decision);
  // The message opened again through the session, for writing; null when it cannot be.
  std::shared_ptr<host::MapiMessage> OpenForWriting(host::MailItem& item);
  // Writes and saves the new class; on failure the message keeps its old class.
  bool SaveNewClass(host::MailItem& item, host::MapiMessage& message, const std::wstring& oldClass,
                    const std::wstring& newClass);
  void Report(host::MailItem& item, bool viewed, const BrandingDecision& decision,
              const std::wstring& messageClass);

  OutlookSession& m_session;
  AddinTimers& m_timers;
  const BrandingList& m_brands;
  ContentDisplay& m_display;
  ICriticalSection& m_lock;
  BrandedReport m_report;
  CheckedMessage m_checked;
  std::optional<BrandingDecision> m_lastDecision;
  int m_running = 0;  // checks and decisions under way, nested ones included
};

}  // namespace tp
