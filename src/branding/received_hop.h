// What one Received field says about its hop: the host the message came from, the host that
// took it, and whether that host recorded an SMTP client's greeting (EHLO or HELO). Read in
// one pass over the field's value; comments nest by a counter.
#pragma once

#include <string>
#include <string_view>

namespace tp {

struct ReceivedHop {
  // Lower case, without final dots; an address literal keeps its brackets. Empty when the
  // field has no "from" or no "by" clause.
  std::wstring fromHost;
  std::wstring byHost;
  // A comment of the from clause starts with "EHLO " or "HELO ": the receiving host took the
  // message from an SMTP client and wrote down the name the client gave.
  bool recordsGreeting = false;
};

ReceivedHop ReadReceivedHop(std::wstring_view value);

// An address instead of a host name: "10.36.109.145", "2002:a05:7300:d10f:b0:11c",
// "[192.0.2.1]", "[IPv6:2001:db8::1]".
bool IsAddressLiteral(std::wstring_view host);
// An address literal in a range that is never routed on the Internet: loopback, the private
// IPv4 ranges, link-local and unique-local IPv6.
bool IsInternalAddress(std::wstring_view host);

}  // namespace tp
