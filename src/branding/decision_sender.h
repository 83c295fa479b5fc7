// The sender the branding decision goes by: the address of the message's one From field, taken
// only when every mail program reads that field the same way and Outlook shows that very
// address. The provider, the sender's mailing service and Outlook each read From for
// themselves, so a field they could read differently names no sender at all.
#pragma once

#include <string>
#include <string_view>

#include "host/outlook.h"

namespace tp {

struct DecisionSender {
  std::wstring address;  // the From field's address; empty when no sender is named
  // The log line that says why no sender is named; empty when one is, or when the store
  // answered with nothing worth a line.
  std::wstring refusal;
};

// From a transport header block and the sender address Outlook shows for the message. The
// block's From field must be its only one (any spelling a mail reader takes for From), hold
// one mailbox outside any group, with no source route, no comment or quoted text inside the
// address that holds @ < > , : ;, no encoded-word inside the address, no angle bracket outside
// it, nothing left unclosed and no control character; its address must be the one Outlook shows
// (letter case aside). Linear in the block's length.
DecisionSender ReadDecisionSender(std::wstring_view transportHeaders,
                                  std::wstring_view outlookSender);

}  // namespace tp
