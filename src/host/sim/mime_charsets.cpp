// MIME charset names, code pages and conversion of 8-bit text.
#include "host/sim/mime_charsets.h"

#include <array>
#include <cctype>

#include "host/codec.h"
#include "host/host.h"
#include "support/code_pages.h"
#include "support/text.h"

namespace tp::host::sim {
namespace {

constexpr uint32_t kWindows1252 = 1252;
constexpr uint32_t kUsAscii = 20127;
constexpr uint32_t kUtf16Le = 1200;
constexpr uint32_t kUtf16Be = 1201;

struct NamedCodePage {
  std::string_view name;
  uint32_t codePage;
};

// Names as mail programs write them, lower case.
constexpr std::array kCharsets = {
    NamedCodePage{"utf-8", 65001},
    NamedCodePage{"utf8", 65001},
    NamedCodePage{"us-ascii", kUsAscii},
    NamedCodePage{"ascii", kUsAscii},
    NamedCodePage{"ansi_x3.4-1968", kUsAscii},
    NamedCodePage{"latin1", 28591},
    NamedCodePage{"iso_8859-1", 28591},
    NamedCodePage{"iso-8859-8-i", 28598},
    NamedCodePage{"iso-2022-jp", 50220},
    NamedCodePage{"shift_jis", 932},
    NamedCodePage{"shift-jis", 932},
    NamedCodePage{"sjis", 932},
    NamedCodePage{"x-sjis", 932},
    NamedCodePage{"windows-31j", 932},
    NamedCodePage{"cp932", 932},
    NamedCodePage{"euc-jp", 51932},
    NamedCodePage{"koi8-r", 20866},
    NamedCodePage{"koi8-u", 21866},
    NamedCodePage{"gb2312", 936},
    NamedCodePage{"gbk", 936},
    NamedCodePage{"x-gbk", 936},
    NamedCodePage{"cp936", 936},
    NamedCodePage{"gb18030", 54936},
    NamedCodePage{"big5", 950},
    NamedCodePage{"big5-hkscs", 950},
    NamedCodePage{"cp950", 950},
    NamedCodePage{"euc-kr", 51949},
    NamedCodePage{"ks_c_5601-1987", 949},
    NamedCodePage{"cp949", 949},
    NamedCodePage{"tis-620", 874},
    NamedCodePage{"windows-874", 874},
    NamedCodePage{"utf-16", kUtf16Le},
    NamedCodePage{"utf-16le", kUtf16Le},
    NamedCodePage{"utf-16be", kUtf16Be},
};

std::string NormalizedName(std::string_view charset) {
  std::string name;
  for (char ch : charset) {
    if (ch == '"' || ch == '\'' || std::isspace(static_cast<unsigned char>(ch)))
      continue;
    name += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  }
  return name;
}

// The decimal number that `name` holds after `prefix`, when that is all it holds.
std::optional<uint32_t> NumberAfter(std::string_view name, std::string_view prefix) {
  if (name.size() <= prefix.size() || name.size() > prefix.size() + 5 ||
      name.substr(0, prefix.size()) != prefix) {
    return std::nullopt;
  }
  uint32_t value = 0;
  for (char ch : name.substr(prefix.size())) {
    if (ch < '0' || ch > '9')
      return std::nullopt;
    value = value * 10 + static_cast<uint32_t>(ch - '0');
  }
  return value;
}

bool HasHighBytes(std::string_view bytes) {
  for (char ch : bytes) {
    if (static_cast<unsigned char>(ch) >= 0x80)
      return true;
  }
  return false;
}

std::wstring Convert(std::string_view bytes, uint32_t codePage) {
  if (codePage == kCodePageUtf8) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
      bytes.remove_prefix(3);
    return Utf8ToWide(bytes);
  }
  return CodePageToWide(codePage, bytes);
}

}  // namespace

std::optional<uint32_t> CodePageForCharset(std::string_view charset) {
  const std::string name = NormalizedName(charset);
  for (const NamedCodePage& entry : kCharsets) {
    if (entry.name == name)
      return entry.codePage;
  }
  // iso-8859-N is code page 28590 + N (Windows has parts 1 to 9, 13 and 15); windows-125N
  // and cp125N are 125N.
  for (std::string_view prefix : {"iso-8859-", "iso8859-", "iso_8859-"}) {
    if (auto part = NumberAfter(name, prefix);
        part && ((*part >= 1 && *part <= 9) || *part == 13 || *part == 15)) {
      return 28590 + *part;
    }
  }
  for (std::string_view prefix : {"windows-", "cp"}) {
    if (auto number = NumberAfter(name, prefix); number && *number >= 1250 && *number <= 1258) {
      return *number;
    }
  }
  return std::nullopt;
}

bool IsValidUtf8(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    size_t length = 1;
    uint32_t min = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      min = 0x10000;
    } else {
      return false;
    }
    if (i + length > bytes.size())
      return false;
    uint32_t cp = lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      if ((next & 0xC0) != 0x80)
        return false;
      cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += length;
  }
  return true;
}

std::wstring DecodeCharset(std::string_view bytes, std::string_view charset, uint32_t* codePage) {
  std::optional<uint32_t> known = CodePageForCharset(charset);
  if (known == kUsAscii && HasHighBytes(bytes))
    known.reset();
  uint32_t used = known.value_or(IsValidUtf8(bytes) ? kCodePageUtf8 : kWindows1252);
  if (used == kUtf16Le || used == kUtf16Be) {
    // A byte-order mark decides, whatever the label said.
    if (bytes.substr(0, 2) == "\xFF\xFE") {
      used = kUtf16Le;
      bytes.remove_prefix(2);
    } else if (bytes.substr(0, 2) == "\xFE\xFF") {
      used = kUtf16Be;
      bytes.remove_prefix(2);
    }
  }
  if (codePage != nullptr)
    *codePage = used;
  return Convert(bytes, used);
}

std::wstring DecodeUnlabelled(std::string_view bytes) {
  return DecodeCharset(bytes, {});
}

}  // namespace tp::host::sim
