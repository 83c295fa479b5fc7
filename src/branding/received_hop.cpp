// The Received field reader.
#include "branding/received_hop.h"

#include "base/text.h"

namespace tp {
namespace {

bool IsDigit(wchar_t ch) {
  return ch >= L'0' && ch <= L'9';
}

bool IsHexDigit(wchar_t ch) {
  return IsDigit(ch) || (ch >= L'a' && ch <= L'f') || (ch >= L'A' && ch <= L'F');
}

// The address inside an address literal: without brackets and an "IPv6:" tag.
std::wstring_view AddressOf(std::wstring_view host) {
  if (!host.empty() && host.front() == L'[') {
    host.remove_prefix(1);
    if (!host.empty() && host.back() == L']')
      host.remove_suffix(1);
    if (host.size() >= 5 && EqualsIgnoreAsciiCase(host.substr(0, 5), L"ipv6:"))
      host.remove_prefix(5);
  }
  return host;
}

// The four numbers of a dotted IPv4 address; false when the text is not one.
bool ReadIpv4(std::wstring_view text, int octets[4]) {
  int count = 0;
  size_t i = 0;
  while (count < 4) {
    int value = 0;
    size_t digits = 0;
    while (i < text.size() && IsDigit(text[i]) && digits < 4) {
      value = value * 10 + (text[i] - L'0');
      ++i;
      ++digits;
    }
    if (digits == 0 || digits > 3 || value > 255)
      return false;
    octets[count++] = value;
    if (count < 4) {
      if (i >= text.size() || text[i] != L'.')
        return false;
      ++i;
    }
  }
  return i == text.size();
}

bool IsIpv6(std::wstring_view text) {
  bool colon = false;
  for (wchar_t ch : text) {
    if (ch == L':') {
      colon = true;
    } else if (!IsHexDigit(ch) && ch != L'.' && ch != L'%') {
      return false;
    }
  }
  return colon;
}

// Skips a comment that starts at `i` (an opening parenthesis), nesting by a counter; returns
// the position after it and sets *text to what it holds.
size_t SkipComment(std::wstring_view value, size_t i, std::wstring_view* text) {
  size_t depth = 0;
  const size_t begin = i + 1;
  size_t end = value.size();
  while (i < value.size()) {
    const wchar_t ch = value[i];
    if (ch == L'\\') {
      i += 2;
      continue;
    }
    if (ch == L'(') {
      ++depth;
    } else if (ch == L')' && --depth == 0) {
      end = i;
      ++i;
      break;
    }
    ++i;
  }
  if (i > value.size())
    i = value.size();
  *text = value.substr(begin, (end < value.size() ? end : value.size()) - begin);
  return i;
}

std::wstring HostWord(std::wstring_view word) {
  while (!word.empty() && word.back() == L'.')
    word.remove_suffix(1);
  return ToLowerAscii(word);
}

bool StartsWithGreeting(std::wstring_view comment) {
  comment = Trim(comment);
  return comment.size() > 5 && (EqualsIgnoreAsciiCase(comment.substr(0, 5), L"EHLO ") ||
                                EqualsIgnoreAsciiCase(comment.substr(0, 5), L"HELO "));
}

}  // namespace

bool IsAddressLiteral(std::wstring_view host) {
  if (host.empty())
    return false;
  if (host.front() == L'[')
    return true;
  int octets[4];
  return ReadIpv4(host, octets) || IsIpv6(host);
}

bool IsInternalAddress(std::wstring_view host) {
  const std::wstring_view address = AddressOf(host);
  int o[4];
  if (ReadIpv4(address, o)) {
    return o[0] == 10 || o[0] == 127 || (o[0] == 172 && o[1] >= 16 && o[1] <= 31) ||
           (o[0] == 192 && o[1] == 168);
  }
  if (!IsIpv6(address))
    return false;
  const std::wstring lower = ToLowerAscii(address);
  if (lower == L"::1")
    return true;
  if (lower.size() < 4 || lower[0] != L'f')
    return false;
  // fc00::/7 (unique local), fe80::/10 (link-local).
  const wchar_t second = lower[1];
  const wchar_t third = lower[2];
  return second == L'c' || second == L'd' ||
         (second == L'e' && (third == L'8' || third == L'9' || third == L'a' || third == L'b'));
}

ReceivedHop ReadReceivedHop(std::wstring_view value) {
  enum class Expect { kKeyword, kFromHost, kByHost };
  ReceivedHop hop;
  Expect expect = Expect::kKeyword;
  bool inFromClause = false;
  size_t byClauses = 0;
  size_t i = 0;
  while (i < value.size()) {
    const wchar_t ch = value[i];
    if (ch == L';')
      break;  // the date follows
    if (ch == L'(') {
      std::wstring_view comment;
      i = SkipComment(value, i, &comment);
      if (inFromClause && StartsWithGreeting(comment))
        hop.recordsGreeting = true;
      continue;
    }
    if (IsSpace(ch) || ch == L')') {
      ++i;
      continue;
    }
    const size_t begin = i;
    while (i < value.size() && !IsSpace(value[i]) && value[i] != L'(' && value[i] != L';')
      ++i;
    const std::wstring_view word = value.substr(begin, i - begin);
    if (expect == Expect::kFromHost) {
      hop.fromHost = HostWord(word);
      expect = Expect::kKeyword;
    } else if (expect == Expect::kByHost) {
      if (byClauses == 1)
        hop.byHost = HostWord(word);
      expect = Expect::kKeyword;
    } else if (EqualsIgnoreAsciiCase(word, L"from") && hop.fromHost.empty() && byClauses == 0) {
      expect = Expect::kFromHost;
      inFromClause = true;
    } else if (EqualsIgnoreAsciiCase(word, L"by")) {
      ++byClauses;
      inFromClause = false;
      expect = Expect::kByHost;
    }
  }
  // Two "by" clauses: text inside the from clause (a client's greeting the server copied)
  // reads as a clause of its own, so neither host is known.
  if (byClauses > 1)
    hop.byHost.clear();
  return hop;
}

}  // namespace tp
