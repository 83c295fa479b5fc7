// Reading an Authentication-Results value by its structure: the authserv-id, then clauses
// "method=result" with their comments and "name=value" properties. The value is split at
// semicolons only outside quoted strings and comments, so text a sender controls (an
// envelope local part, a signature's identity, a comment copied from the message) can never
// open a clause of its own. One pass, no recursion: comments nest by a counter.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tp {

struct AuthProperty {
  std::wstring name;   // lower case: "header.d", "smtp.mailfrom", "from", ...
  std::wstring value;  // as written; a quoted string without its quotes
};

// One ";"-separated segment of the value.
struct AuthSegment {
  // Set when the segment starts with "method=result". The first segment is the
  // authserv-id's, unless the value has none and starts with a clause (Exchange Online
  // writes it so). Lower case; a method's "/version" is dropped.
  std::wstring method;
  std::wstring result;
  std::wstring comments;  // the text of the segment's comments, joined by spaces
  std::vector<AuthProperty> properties;
  // The segment's last "name=value" when nothing but white space follows it (the
  // "method=result" counts): Yahoo writes a signer's "from=" domain there.
  std::wstring trailingName;  // lower case; empty when the segment ends otherwise
  std::wstring trailingValue;

  bool IsClause() const { return !method.empty(); }
  bool IsEmpty() const {
    return method.empty() && comments.empty() && properties.empty() && trailingName.empty();
  }
  // The value of the first property `name` (lower case), or empty.
  std::wstring Property(std::wstring_view name) const;
};

struct AuthResults {
  std::wstring authservId;            // lower case; empty when the value has none
  std::vector<AuthSegment> segments;  // segments[0] is the authserv-id's
};

AuthResults ReadAuthResults(std::wstring_view value);

// The domain of an identity: the text after its last at sign, lower case ("@a.example" and
// "x@a.example" give "a.example").
std::wstring DomainOfIdentity(std::wstring_view identity);

}  // namespace tp
