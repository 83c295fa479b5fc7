// Address fields (From, Sender, Reply-To) read as RFC 5322 defines them, obsolete forms
// included: the first mailbox of the list, as Outlook's store keeps a message's sender.
#pragma once

#include <string>
#include <string_view>

namespace tp::mime {

struct Mailbox {
  // The address proper (local part "@" domain) without comments or folding white space:
  // "user@example.com". A quoted local part loses its quotes when it is a plain dot-atom without
  // them ("jo"@x is jo@x), and keeps them otherwise ("jo smith"@x). Empty when the field holds no
  // readable mailbox.
  std::wstring address;
  // The display name with encoded-words decoded and quotes removed; for a bare address,
  // its comment ("user@x (Name)"); may be empty.
  std::wstring displayName;
};

// The first mailbox of an unfolded address field, looking into groups ("Team: a@x, b@y;")
// and past empty list elements and empty groups. When the first address is not a readable
// mailbox (a display name without angle brackets, two addresses without a comma between
// them, no domain, an unclosed quoted string...) the result has no address and *problem,
// when asked for, says why. Raw 8-bit display names that are not UTF-8 are read in
// `rawCharset` (see DecodeHeaderText). Time is linear in the field's length and no recursion
// is used.
Mailbox ParseMailbox(std::string_view unfolded, std::wstring* problem = nullptr,
                     std::string_view rawCharset = {});

}  // namespace tp::mime
