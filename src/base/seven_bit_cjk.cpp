// ISO-2022-JP, ISO-2022-KR and HZ to EUC.
#include "base/seven_bit_cjk.h"

namespace tp {
namespace {

constexpr char kEscape = '\x1B';
constexpr char kShiftOut = '\x0E';
constexpr char kShiftIn = '\x0F';
constexpr char kSingleShift2 = '\x8E';  // EUC-JP: a JIS X 0201 katakana follows
constexpr char kSingleShift3 = '\x8F';  // EUC-JP: a JIS X 0212 pair follows

bool IsGraphic(unsigned char byte) {
  return byte >= 0x21 && byte <= 0x7E;
}

char High(unsigned char byte) {
  return static_cast<char>(byte | 0x80);
}

enum class JisSet { kAscii, kJisX0208, kJisX0212, kKatakana };

// The set an ISO-2022-JP escape sequence at text[pos] designates, and its length; length 0
// when it is not one we know.
size_t ReadJisEscape(std::string_view text, size_t pos, JisSet* set) {
  const std::string_view rest = text.substr(pos);
  struct Escape {
    std::string_view bytes;
    JisSet set;
  };
  static constexpr Escape kEscapes[] = {
      {"\x1B(B", JisSet::kAscii},     {"\x1B(J", JisSet::kAscii},
      {"\x1B(H", JisSet::kAscii},     {"\x1B$@", JisSet::kJisX0208},
      {"\x1B$B", JisSet::kJisX0208},  {"\x1B&@\x1B$B", JisSet::kJisX0208},
      {"\x1B$(B", JisSet::kJisX0208}, {"\x1B$(D", JisSet::kJisX0212},
      {"\x1B(I", JisSet::kKatakana},
  };
  size_t longest = 0;
  for (const Escape& escape : kEscapes) {
    if (escape.bytes.size() > longest && rest.substr(0, escape.bytes.size()) == escape.bytes) {
      longest = escape.bytes.size();
      *set = escape.set;
    }
  }
  return longest;
}

}  // namespace

std::string Iso2022JpToEucJp(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  JisSet set = JisSet::kAscii;
  bool shifted = false;  // SO: katakana until SI
  size_t pos = 0;
  while (pos < text.size()) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (text[pos] == kEscape) {
      const size_t length = ReadJisEscape(text, pos, &set);
      if (length > 0) {
        pos += length;
        continue;
      }
    } else if (text[pos] == kShiftOut || text[pos] == kShiftIn) {
      shifted = text[pos] == kShiftOut;
      ++pos;
      continue;
    }
    const JisSet current = shifted ? JisSet::kKatakana : set;
    if (byte >= 0xA1 && byte <= 0xDF) {
      // 8-bit katakana that some encoders leave in: EUC-JP writes them after SS2.
      out += kSingleShift2;
      out += text[pos++];
    } else if (current == JisSet::kKatakana && byte >= 0x21 && byte <= 0x5F) {
      out += kSingleShift2;
      out += High(byte);
      ++pos;
    } else if ((current == JisSet::kJisX0208 || current == JisSet::kJisX0212) && IsGraphic(byte) &&
               pos + 1 < text.size() && IsGraphic(static_cast<unsigned char>(text[pos + 1]))) {
      if (current == JisSet::kJisX0212)
        out += kSingleShift3;
      out += High(byte);
      out += High(static_cast<unsigned char>(text[pos + 1]));
      pos += 2;
    } else {
      out += text[pos++];
    }
  }
  return out;
}

std::string Iso2022KrToEucKr(std::string_view text) {
  static constexpr std::string_view kDesignation = "\x1B$)C";
  std::string out;
  out.reserve(text.size());
  bool shifted = false;
  size_t pos = 0;
  while (pos < text.size()) {
    const char ch = text[pos];
    if (text.substr(pos, kDesignation.size()) == kDesignation) {
      pos += kDesignation.size();
    } else if (ch == kShiftOut || ch == kShiftIn) {
      shifted = ch == kShiftOut;
      ++pos;
    } else if (shifted && IsGraphic(static_cast<unsigned char>(ch)) && pos + 1 < text.size() &&
               IsGraphic(static_cast<unsigned char>(text[pos + 1]))) {
      out += High(static_cast<unsigned char>(ch));
      out += High(static_cast<unsigned char>(text[pos + 1]));
      pos += 2;
    } else {
      shifted = shifted && ch != '\r' && ch != '\n';
      out += ch;
      ++pos;
    }
  }
  return out;
}

std::string HzToGb2312(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool gb = false;
  size_t pos = 0;
  while (pos < text.size()) {
    const char ch = text[pos];
    const char next = pos + 1 < text.size() ? text[pos + 1] : '\0';
    if (ch == '~' && (next == '{' || next == '}')) {
      gb = next == '{';
      pos += 2;
    } else if (!gb && ch == '~' && next == '~') {
      out += '~';
      pos += 2;
    } else if (!gb && ch == '~' && (next == '\n' || next == '\r')) {
      pos += next == '\r' && pos + 2 < text.size() && text[pos + 2] == '\n' ? 3 : 2;
    } else if (gb && IsGraphic(static_cast<unsigned char>(ch)) &&
               IsGraphic(static_cast<unsigned char>(next))) {
      out += High(static_cast<unsigned char>(ch));
      out += High(static_cast<unsigned char>(next));
      pos += 2;
    } else {
      gb = gb && ch != '\r' && ch != '\n';
      out += ch;
      ++pos;
    }
  }
  return out;
}

}  // namespace tp
