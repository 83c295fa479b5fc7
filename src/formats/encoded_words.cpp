// RFC 2047 encoded-words in header text.
#include "formats/encoded_words.h"

#include <optional>

#include "formats/mime_charsets.h"
#include "formats/mime_encoding.h"

namespace tp::mime {
namespace {

// Far longer than the 75 characters the standard allows, but bounded, so that a stray "=?"
// never makes the scan quadratic in the header's length.
constexpr size_t kMaxEncodedWord = 1024;

struct EncodedWord {
  std::string charset;
  std::string bytes;
  size_t end = 0;  // just after "?="
};

bool IsSpaceChar(char ch) {
  return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
}

// The encoded-word starting at `start` (which holds "=?"), if it is one.
std::optional<EncodedWord> ParseEncodedWord(std::string_view text, size_t start) {
  const size_t limit = std::min(text.size(), start + kMaxEncodedWord);
  size_t pos = start + 2;
  const size_t charsetEnd = text.find('?', pos);
  if (charsetEnd == std::string_view::npos || charsetEnd >= limit || charsetEnd == pos) {
    return std::nullopt;
  }
  std::string_view charset = text.substr(pos, charsetEnd - pos);
  pos = charsetEnd + 1;
  if (pos + 2 > limit || text[pos + 1] != '?')
    return std::nullopt;
  const char encoding = text[pos];
  if (encoding != 'B' && encoding != 'b' && encoding != 'Q' && encoding != 'q') {
    return std::nullopt;
  }
  pos += 2;
  size_t payloadEnd = pos;
  while (payloadEnd + 1 < limit && !(text[payloadEnd] == '?' && text[payloadEnd + 1] == '=')) {
    if (IsSpaceChar(text[payloadEnd]))
      return std::nullopt;
    ++payloadEnd;
  }
  if (payloadEnd + 1 >= limit)
    return std::nullopt;
  for (char ch : charset) {
    if (IsSpaceChar(ch))
      return std::nullopt;
  }
  // RFC 2231 lets the charset carry a language: "utf-8*en".
  if (const size_t star = charset.find('*'); star != std::string_view::npos) {
    charset = charset.substr(0, star);
  }
  EncodedWord word;
  word.charset = std::string(charset);
  word.bytes = DecodeEncodedWordPayload(encoding, text.substr(pos, payloadEnd - pos));
  word.end = payloadEnd + 2;
  return word;
}

}  // namespace

std::wstring DecodeHeaderText(std::string_view text, std::string_view rawCharset) {
  std::wstring out;
  std::string plain;    // unlabelled text waiting for conversion
  std::string pending;  // bytes of adjacent encoded-words in one charset
  std::string pendingCharset;
  auto flushPlain = [&] {
    out += DecodeUnlabelled(plain, rawCharset);
    plain.clear();
  };
  auto flushPending = [&] {
    out += DecodeCharset(pending, pendingCharset);
    pending.clear();
    pendingCharset.clear();
  };

  size_t pos = 0;
  bool afterWord = false;  // the last thing seen was an encoded-word
  while (pos < text.size()) {
    const size_t start = text.find("=?", pos);
    if (start == std::string_view::npos)
      break;
    std::optional<EncodedWord> word = ParseEncodedWord(text, start);
    if (!word) {
      // Not an encoded-word: its text is ordinary text.
      if (afterWord)
        flushPending();
      plain.append(text.substr(pos, start + 2 - pos));
      afterWord = false;
      pos = start + 2;
      continue;
    }
    const std::string_view between = text.substr(pos, start - pos);
    const bool onlySpace = between.find_first_not_of(" \t\r\n") == std::string_view::npos;
    if (!(afterWord && onlySpace)) {
      if (afterWord)
        flushPending();
      plain.append(between);
      flushPlain();
    }
    if (!pending.empty() && word->charset != pendingCharset)
      flushPending();
    pendingCharset = word->charset;
    pending += word->bytes;
    afterWord = true;
    pos = word->end;
  }
  if (afterWord)
    flushPending();
  plain.append(text.substr(pos));
  flushPlain();
  return out;
}

}  // namespace tp::mime
