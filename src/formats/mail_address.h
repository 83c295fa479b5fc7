// Address fields (From, Sender, Reply-To) read as RFC 5322 defines them, obsolete forms
// included: the first mailbox of the list, as Outlook's store keeps a message's sender, and the
// shape of the whole list, for a reader that must know whether other programs could take
// another mailbox from it.
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

// An unfolded address field read to its end: what it holds beyond its first mailbox, and
// what other mail programs could read differently (obsolete forms, comments and quoted text
// where an address is, encoded-words inside an address). Same limits as ParseMailbox.
struct AddressListShape {
  // Why the field is not a readable address list (the first problem met); empty when it is.
  std::wstring problem;
  Mailbox first;             // the first mailbox, as ParseMailbox reads it
  size_t mailboxes = 0;      // inside groups or not
  size_t groups = 0;         // empty ones included
  size_t emptyElements = 0;  // empty list elements, and ';' outside a group
  bool sourceRoute = false;  // "<@relay.example:user@x.example>"
  // The first of @ < > , : ; held by a comment, or by a quoted string, inside an address
  // (between its angle brackets, or between the first and last word of a bare address);
  // 0 when there is none.
  char specialInComment = 0;
  char specialInQuotes = 0;
  bool encodedWordInAddress = false;  // "=?" inside an address, where no reader should decode
  // An angle bracket in a display name or a comment outside an address: a reader that looks
  // for the first "<" finds another address there.
  bool angleOutsideAddress = false;
  bool unclosedAngle = false;    // a '<' whose '>' never comes (read as closed)
  bool unclosedComment = false;  // a '(' whose ')' never comes
};
AddressListShape ReadAddressList(std::string_view unfolded, std::string_view rawCharset = {});

}  // namespace tp::mime
