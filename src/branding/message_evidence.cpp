// Reading what the branding decision needs of a message.
#include "branding/message_evidence.h"

#include <memory>

#include "branding/account_info.h"
#include "branding/mapi_text.h"
#include "branding/message_class.h"
#include "smime/smime_message.h"

namespace tp {
namespace {

// The sender from the headers as read: a message without transport headers names none,
// except Exchange mail, where the address Outlook shows is the only reading there is.
DecisionSender SenderFrom(const MessageEvidence& evidence, const std::wstring& outlookSender) {
  switch (evidence.headers) {
    case MessageEvidence::Headers::kRead:
      return ReadDecisionSender(evidence.transportHeaders, outlookSender);
    case MessageEvidence::Headers::kMissing:
      if (evidence.accountType == host::kOlExchangeAccount)
        return DecisionSender{outlookSender, std::wstring()};
      return DecisionSender{std::wstring(), L"Failed getting transport headers"};
    case MessageEvidence::Headers::kUnreadable:
      break;
  }
  return {};
}

}  // namespace

std::wstring SenderDomainOf(const std::wstring& address) {
  const size_t at = address.rfind(L'@');
  return at == std::wstring::npos ? std::wstring() : address.substr(at + 1);
}

MessageEvidence ReadMessageEvidence(host::MailItem& item, const BrandingList& brands) {
  MessageEvidence evidence;
  evidence.accountType = GetItemAccountInfo(item, &evidence.accountAddress, &evidence.mailProvider);
  const std::shared_ptr<host::MapiMessage> message = item.MapiObject();
  if (message) {
    (void)ReadTextProp(*message, host::kPrMessageClassW, &evidence.messageClass);
    host::PropValue headers;
    const HResult read = message->GetProp(host::kPrTransportMessageHeadersW, &headers);
    if (read == hr::kMapiNotFound) {
      evidence.headers = MessageEvidence::Headers::kMissing;
    } else if (hr::Succeeded(read) && host::PropType(headers.tag) == host::kPtUnicode) {
      evidence.headers = MessageEvidence::Headers::kRead;
      evidence.transportHeaders = std::move(headers.text);
    }
  }
  GetSenderAddress(item, &evidence.outlookSender);
  evidence.sender = SenderFrom(evidence, evidence.outlookSender);

  if (message && evidence.accountType == host::kOlExchangeAccount &&
      IsSmimeClass(evidence.messageClass) &&
      brands.FindDomain(SenderDomainOf(evidence.sender.address)).record != nullptr) {
    evidence.signature = VerifySMimeMessage(*message).verdict;
  }
  return evidence;
}

}  // namespace tp
