// Percent-encoding for the HTTP adapter.
#include "host/posix/posix_url.h"

namespace tp::host::posix {
namespace {

bool NeedsEncoding(unsigned char byte, UrlEncoding encoding) {
  if (byte <= 0x20 || byte >= 0x7F)
    return true;
  if (encoding == UrlEncoding::kRequestPath)
    return false;
  switch (byte) {
    case '"':
    case '<':
    case '>':
    case '[':
    case '\\':
    case ']':
    case '^':
    case '`':
    case '{':
    case '|':
    case '}':
    case '%':
      return true;
    default:
      return false;
  }
}

}  // namespace

std::string PercentEncode(std::string_view text, UrlEncoding encoding) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(text.size());
  for (const char ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    if (NeedsEncoding(byte, encoding)) {
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 0x0F];
    } else {
      encoded += ch;
    }
  }
  return encoded;
}

}  // namespace tp::host::posix
