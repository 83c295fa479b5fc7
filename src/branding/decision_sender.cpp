// Reading From one way for the branding decision.
#include "branding/decision_sender.h"

#include <algorithm>
#include <vector>

#include "base/format.h"
#include "base/text.h"
#include "formats/mail_address.h"
#include "formats/mime_header.h"

namespace tp {
namespace {

DecisionSender Refuse(const std::wstring& why) {
  return DecisionSender{std::wstring(), L"From field refused for branding: " + why};
}

bool HoldsControlCharacter(std::string_view value) {
  return std::any_of(value.begin(), value.end(), [](char ch) {
    const auto byte = static_cast<unsigned char>(ch);
    return (byte < 0x20 && ch != '\t') || byte == 0x7F;
  });
}

// The first thing about a readable From field that another reader could take differently.
std::wstring Ambiguity(const mime::AddressListShape& shape) {
  if (shape.groups > 0)
    return L"the From field holds a group";
  if (shape.mailboxes > 1)
    return Format(L"the From field holds %u mailboxes", shape.mailboxes);
  if (shape.emptyElements > 0)
    return L"the From field holds an empty list element";
  if (shape.sourceRoute)
    return L"the address has a source route";
  if (shape.specialInComment != 0)
    return Format(L"a comment inside the address holds '%c'", shape.specialInComment);
  if (shape.specialInQuotes != 0)
    return Format(L"quoted text inside the address holds '%c'", shape.specialInQuotes);
  if (shape.encodedWordInAddress)
    return L"an encoded-word inside the address";
  if (shape.angleOutsideAddress)
    return L"an angle bracket in a display name or a comment outside the address";
  if (shape.unclosedAngle)
    return L"an angle bracket that is never closed";
  if (shape.unclosedComment)
    return L"a comment that is never closed";
  return {};
}

// An address as the mail reader writes it (comments and needless quotes dropped), letter case
// aside; a text that is no address stays as it is.
std::wstring ComparableAddress(std::wstring_view address) {
  const mime::Mailbox mailbox = mime::ParseMailbox(WideToUtf8(address));
  return ToLower(mailbox.address.empty() ? address : std::wstring_view(mailbox.address));
}

}  // namespace

DecisionSender ReadDecisionSender(std::wstring_view transportHeaders,
                                  std::wstring_view outlookSender) {
  const std::vector<std::string> fields =
      mime::FindFieldsEverywhere(WideToUtf8(transportHeaders), "From");
  if (fields.empty())
    return Refuse(L"the message has no From field");
  if (fields.size() > 1)
    return Refuse(Format(L"the message has %u From fields", fields.size()));
  if (HoldsControlCharacter(fields.front()))
    return Refuse(L"a control character in the From field");
  const mime::AddressListShape shape = mime::ReadAddressList(fields.front());
  if (!shape.problem.empty())
    return Refuse(Format(L"the From field is not a readable address list (%s)", shape.problem));
  if (const std::wstring ambiguity = Ambiguity(shape); !ambiguity.empty())
    return Refuse(ambiguity);
  if (outlookSender.empty())
    return Refuse(L"Outlook shows no sender address");
  if (ComparableAddress(outlookSender) != ComparableAddress(shape.first.address)) {
    return Refuse(Format(L"Outlook shows the sender %s, the From field holds %s", outlookSender,
                         shape.first.address));
  }
  return DecisionSender{shape.first.address, std::wstring()};
}

}  // namespace tp
