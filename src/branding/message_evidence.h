// What the branding decision reads of one message, read from the store once: the receiving
// account, the sender, the message class, the transport headers and, for Exchange mail from a
// listed sender, the S/MIME signature's verdict.
#pragma once

#include <optional>
#include <string>

#include "branding/branding_list.h"
#include "branding/decision_sender.h"
#include "host/outlook.h"
#include "smime/smime_verdict.h"

namespace tp {

struct MessageEvidence {
  enum class Headers {
    kRead,        // the transport headers are in `transportHeaders`
    kMissing,     // the store has none (mail that never crossed the Internet, or a forgery)
    kUnreadable,  // the message or its headers could not be read
  };

  int accountType = 0;          // the receiving account's type (0: Exchange)
  std::wstring accountAddress;  // as GetItemAccountInfo gives it
  std::wstring mailProvider;    // the provider marker; empty for an account no provider serves
  std::wstring messageClass;
  Headers headers = Headers::kUnreadable;
  std::wstring transportHeaders;
  std::wstring outlookSender;  // the sender address Outlook shows
  DecisionSender sender;       // From, read one way, or why it names no sender
  // Read only for Exchange mail in an S/MIME class whose sender is listed: verifying a
  // signature is costly and no other decision needs it.
  std::optional<SignatureVerdict> signature;
};

// Reads the message once. `brands` tells whether a signature is worth verifying.
MessageEvidence ReadMessageEvidence(host::MailItem& item, const BrandingList& brands);

// The domain of a sender address (after its last at sign); empty when there is none.
std::wstring SenderDomainOf(const std::wstring& address);

}  // namespace tp
