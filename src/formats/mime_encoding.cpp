// Content transfer encodings and encoded-word payloads.
#include "formats/mime_encoding.h"

#include <cctype>

#include "base/text.h"
#include "formats/base64.h"

namespace tp::mime {
namespace {

bool IsBlank(char ch) {
  return ch == ' ' || ch == '\t';
}

bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  return text;
}

}  // namespace

std::string DecodeQuotedPrintable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const char ch = text[i];
    if (ch == '=') {
      // A soft line break: "=" then optional blanks (added in transport) and a line end.
      size_t end = i + 1;
      while (end < text.size() && IsBlank(text[end]))
        ++end;
      if (end == text.size()) {
        i = end;
        continue;
      }
      if (text[end] == '\n' ||
          (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')) {
        i = end + (text[end] == '\r' ? 2 : 1);
        continue;
      }
      if (i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 &&
          HexDigitValue(text[i + 2]) >= 0) {
        out += static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2]));
        i += 3;
        continue;
      }
      out += ch;  // not an escape: keep it as written
      ++i;
      continue;
    }
    if (IsBlank(ch)) {
      // Blanks at the end of a line were added in transport and are dropped.
      size_t end = i;
      while (end < text.size() && IsBlank(text[end]))
        ++end;
      const bool atLineEnd = end == text.size() || text[end] == '\n' ||
                             (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n');
      if (!atLineEnd)
        out.append(text.substr(i, end - i));
      i = end;
      continue;
    }
    out += ch;
    ++i;
  }
  return out;
}

std::string DecodeTransferEncoding(std::string_view encoding, std::string_view body) {
  const std::string_view name = TrimBlanks(encoding);
  if (EqualsAsciiNoCase(name, "base64"))
    return Base64DecodeLenient(body);
  if (EqualsAsciiNoCase(name, "quoted-printable"))
    return DecodeQuotedPrintable(body);
  return std::string(body);
}

std::string DecodeEncodedWordPayload(char encoding, std::string_view text) {
  if (encoding == 'B' || encoding == 'b')
    return Base64DecodeLenient(text);
  if (encoding != 'Q' && encoding != 'q')
    return std::string(text);
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '_') {
      out += ' ';
    } else if (text[i] == '=' && i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 &&
               HexDigitValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace tp::mime
