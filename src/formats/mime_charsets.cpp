// MIME charset names, code pages and conversion of 8-bit text.
#include "formats/mime_charsets.h"

#include <array>
#include <cctype>

#include "base/text.h"
#include "formats/code_pages.h"
#include "host/codec.h"
#include "host/host.h"

namespace tp::mime {
namespace {

constexpr uint32_t kWindows1252 = 1252;
constexpr uint32_t kUsAscii = 20127;
constexpr uint32_t kUtf16Le = 1200;
constexpr uint32_t kUtf16Be = 1201;
constexpr uint32_t kCodePageUtf7 = 65000;

struct NamedCodePage {
  std::string_view name;
  uint32_t codePage;
};

// The charset names of Windows' MIME database (the names .NET gives its code pages) and the
// aliases mail programs write, lower case. Every code page Windows converts appears at least
// once; names that only add a number to a prefix ("cp1252", "ibm850", "windows-1257",
// "iso-8859-5") are left to CodePageForCharset's rules.
constexpr NamedCodePage kCharsets[] = {
    // Unicode.
    {"utf-8", 65001},
    {"utf8", 65001},
    {"unicode-1-1-utf-8", 65001},
    {"unicode-2-0-utf-8", 65001},
    {"x-unicode-1-1-utf-8", 65001},
    {"x-unicode-2-0-utf-8", 65001},
    {"utf-7", 65000},
    {"utf7", 65000},
    {"unicode-1-1-utf-7", 65000},
    {"unicode-2-0-utf-7", 65000},
    {"x-unicode-1-1-utf-7", 65000},
    {"x-unicode-2-0-utf-7", 65000},
    {"csunicode11utf7", 65000},
    {"utf-16", kUtf16Le},
    {"utf-16le", kUtf16Le},
    {"unicode", kUtf16Le},
    {"ucs-2", kUtf16Le},
    {"iso-10646-ucs-2", kUtf16Le},
    {"utf-16be", kUtf16Be},
    {"unicodefffe", kUtf16Be},
    // ASCII and ISO 8859.
    {"us-ascii", kUsAscii},
    {"ascii", kUsAscii},
    {"us", kUsAscii},
    {"ansi_x3.4-1968", kUsAscii},
    {"ansi_x3.4-1986", kUsAscii},
    {"iso646-us", kUsAscii},
    {"iso_646.irv:1991", kUsAscii},
    {"iso-ir-6", kUsAscii},
    {"csascii", kUsAscii},
    {"cp367", kUsAscii},
    {"ibm367", kUsAscii},
    {"latin1", 28591},
    {"l1", 28591},
    {"iso-ir-100", 28591},
    {"cp819", 28591},
    {"ibm819", 28591},
    {"csisolatin1", 28591},
    {"latin2", 28592},
    {"l2", 28592},
    {"iso-ir-101", 28592},
    {"csisolatin2", 28592},
    {"latin3", 28593},
    {"l3", 28593},
    {"iso-ir-109", 28593},
    {"csisolatin3", 28593},
    {"latin4", 28594},
    {"l4", 28594},
    {"iso-ir-110", 28594},
    {"csisolatin4", 28594},
    {"cyrillic", 28595},
    {"iso-ir-144", 28595},
    {"csisolatincyrillic", 28595},
    {"arabic", 28596},
    {"iso-ir-127", 28596},
    {"ecma-114", 28596},
    {"csisolatinarabic", 28596},
    {"greek", 28597},
    {"greek8", 28597},
    {"elot_928", 28597},
    {"ecma-118", 28597},
    {"iso-ir-126", 28597},
    {"csisolatingreek", 28597},
    {"hebrew", 28598},
    {"visual", 28598},
    {"iso-ir-138", 28598},
    {"csisolatinhebrew", 28598},
    {"iso-8859-8-i", 38598},
    {"iso-8859-8i", 38598},
    {"iso_8859-8-i", 38598},
    {"logical", 38598},
    {"latin5", 28599},
    {"l5", 28599},
    {"iso-ir-148", 28599},
    {"csisolatin5", 28599},
    {"latin9", 28605},
    {"latin-9", 28605},
    {"l9", 28605},
    {"csisolatin9", 28605},
    {"iso-8859-11", 874},
    {"tis-620", 874},
    {"dos-874", 874},
    {"windows-874", 874},
    // Japanese.
    {"shift_jis", 932},
    {"shift-jis", 932},
    {"sjis", 932},
    {"x-sjis", 932},
    {"ms_kanji", 932},
    {"csshiftjis", 932},
    {"windows-31j", 932},
    {"cswindows31j", 932},
    {"x-ms-cp932", 932},
    {"ms932", 932},
    {"euc-jp", 51932},
    {"eucjp", 51932},
    {"x-euc-jp", 51932},
    {"x-euc", 51932},
    {"ujis", 51932},
    {"cseucpkdfmtjapanese", 51932},
    {"extended_unix_code_packed_format_for_japanese", 51932},
    {"iso-2022-jp", 50220},
    {"jis", 50220},
    {"csiso2022jp", 50221},
    {"_iso-2022-jp$sio", 50222},
    {"x-mac-japanese", 10001},
    // Chinese.
    {"gb2312", 936},
    {"gbk", 936},
    {"x-gbk", 936},
    {"ms936", 936},
    {"windows-936", 936},
    {"chinese", 936},
    {"cn-gb", 936},
    {"csgb2312", 936},
    {"csiso58gb231280", 936},
    {"gb_2312-80", 936},
    {"gb231280", 936},
    {"iso-ir-58", 936},
    {"euc-cn", 51936},
    {"x-euc-cn", 51936},
    {"gb18030", 54936},
    {"hz-gb-2312", 52936},
    {"hz", 52936},
    {"iso-2022-cn", 50227},
    {"big5", 950},
    {"big-5", 950},
    {"cn-big5", 950},
    {"csbig5", 950},
    {"x-x-big5", 950},
    {"big5-hkscs", 950},
    {"x-chinese-cns", 20000},
    {"x-chinese_cns", 20000},
    {"x-chinese-eten", 20002},
    {"x_chinese-eten", 20002},
    {"x-mac-chinesetrad", 10002},
    {"x-mac-chinesesimp", 10008},
    // Korean.
    {"ks_c_5601-1987", 949},
    {"ks_c_5601-1989", 949},
    {"ks_c_5601", 949},
    {"ksc_5601", 949},
    {"ksc5601", 949},
    {"korean", 949},
    {"csksc56011987", 949},
    {"iso-ir-149", 949},
    {"uhc", 949},
    {"windows-949", 949},
    {"euc-kr", 51949},
    {"cseuckr", 51949},
    {"iso-2022-kr", 50225},
    {"csiso2022kr", 50225},
    {"johab", 1361},
    {"x-mac-korean", 10003},
    // Cyrillic.
    {"koi8-r", 20866},
    {"koi8r", 20866},
    {"koi8", 20866},
    {"koi", 20866},
    {"cskoi8r", 20866},
    {"koi8-u", 21866},
    {"koi8-ru", 21866},
    {"x-mac-cyrillic", 10007},
    {"x-mac-ukrainian", 10017},
    // Macintosh.
    {"macintosh", 10000},
    {"mac", 10000},
    {"x-mac-roman", 10000},
    {"csmacintosh", 10000},
    {"x-mac-arabic", 10004},
    {"x-mac-hebrew", 10005},
    {"x-mac-greek", 10006},
    {"x-mac-romanian", 10010},
    {"x-mac-thai", 10021},
    {"x-mac-ce", 10029},
    {"x-mac-icelandic", 10079},
    {"x-mac-turkish", 10081},
    {"x-mac-croatian", 10082},
    // DOS and OEM.
    {"asmo-708", 708},
    {"dos-720", 720},
    {"ibm737", 737},
    {"ibm775", 775},
    {"ibm850", 850},
    {"ibm852", 852},
    {"ibm855", 855},
    {"ibm857", 857},
    {"ibm00858", 858},
    {"ibm860", 860},
    {"ibm861", 861},
    {"dos-862", 862},
    {"ibm863", 863},
    {"ibm864", 864},
    {"ibm865", 865},
    {"cp866", 866},
    {"ibm869", 869},
    {"ibm437", 437},
    // EBCDIC.
    {"ibm037", 37},
    {"ebcdic-cp-us", 37},
    {"ibm500", 500},
    {"ibm870", 870},
    {"cp875", 875},
    {"ibm1026", 1026},
    {"ibm01047", 1047},
    {"ibm01140", 1140},
    {"ibm01141", 1141},
    {"ibm01142", 1142},
    {"ibm01143", 1143},
    {"ibm01144", 1144},
    {"ibm01145", 1145},
    {"ibm01146", 1146},
    {"ibm01147", 1147},
    {"ibm01148", 1148},
    {"ibm01149", 1149},
    {"ibm273", 20273},
    {"ibm277", 20277},
    {"ibm278", 20278},
    {"ibm280", 20280},
    {"ibm284", 20284},
    {"ibm285", 20285},
    {"ibm290", 20290},
    {"ibm297", 20297},
    {"ibm420", 20420},
    {"ibm423", 20423},
    {"ibm424", 20424},
    {"x-ebcdic-koreanextended", 20833},
    {"ibm-thai", 20838},
    {"ibm871", 20871},
    {"ibm880", 20880},
    {"ibm905", 20905},
    {"ibm00924", 20924},
    {"cp1025", 21025},
    // Windows' other code pages.
    {"x-cp20001", 20001},
    {"x-cp20003", 20003},
    {"x-cp20004", 20004},
    {"x-cp20005", 20005},
    {"x-ia5", 20105},
    {"x-ia5-german", 20106},
    {"x-ia5-swedish", 20107},
    {"x-ia5-norwegian", 20108},
    {"x-cp20261", 20261},
    {"x-cp20269", 20269},
    {"x-cp20936", 20936},
    {"x-cp20949", 20949},
    {"x-cp50227", 50227},
    {"x-europa", 29001},
    {"x-iscii-de", 57002},
    {"x-iscii-be", 57003},
    {"x-iscii-ta", 57004},
    {"x-iscii-te", 57005},
    {"x-iscii-as", 57006},
    {"x-iscii-or", 57007},
    {"x-iscii-ka", 57008},
    {"x-iscii-ma", 57009},
    {"x-iscii-gu", 57010},
    {"x-iscii-pa", 57011},
    {"windows-1250", 1250},
    {"windows-1251", 1251},
    {"windows-1252", 1252},
    {"windows-1253", 1253},
    {"windows-1254", 1254},
    {"windows-1255", 1255},
    {"windows-1256", 1256},
    {"windows-1257", 1257},
    {"windows-1258", 1258},
    {"iso-8859-1", 28591},
    {"iso-8859-2", 28592},
    {"iso-8859-3", 28593},
    {"iso-8859-4", 28594},
    {"iso-8859-5", 28595},
    {"iso-8859-6", 28596},
    {"iso-8859-7", 28597},
    {"iso-8859-8", 28598},
    {"iso-8859-9", 28599},
    {"iso-8859-13", 28603},
    {"iso-8859-15", 28605},
};

bool IsKnownCodePage(uint32_t codePage) {
  for (const NamedCodePage& entry : kCharsets) {
    if (entry.codePage == codePage)
      return true;
  }
  return false;
}

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
  if (codePage == host::kCodePageUtf8) {
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
  // ISO 8859 part N is code page 28590 + N; a year may follow ("iso_8859-1:1987").
  const std::string_view undated = std::string_view(name).substr(0, name.find(':'));
  for (std::string_view prefix : {"iso-8859-", "iso8859-", "iso_8859-", "iso8859"}) {
    if (auto part = NumberAfter(undated, prefix); part && IsKnownCodePage(28590 + *part)) {
      return 28590 + *part;
    }
  }
  // A code page by number: "cp1252", "windows-1257", "x-cp50227", "ibm00858". IBM's numbers
  // of the EBCDIC country pages are Windows' 20000 above them ("ibm273" is 20273).
  for (std::string_view prefix : {"windows-", "x-cp", "cp", "ibm-", "ibm"}) {
    if (auto number = NumberAfter(name, prefix)) {
      if (IsKnownCodePage(*number))
        return *number;
      if (*number < 1000 && IsKnownCodePage(20000 + *number))
        return 20000 + *number;
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
  uint32_t used = known.value_or(IsValidUtf8(bytes) ? host::kCodePageUtf8 : kWindows1252);
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
  std::wstring text = Convert(bytes, used);
  if (text.empty() && !bytes.empty() && known) {
    // A code page this platform cannot convert: read the bytes as if unlabelled.
    used = IsValidUtf8(bytes) ? host::kCodePageUtf8 : kWindows1252;
    text = Convert(bytes, used);
  }
  if (codePage != nullptr)
    *codePage = used;
  return text;
}

std::wstring DecodeUnlabelled(std::string_view bytes, std::string_view fallbackCharset) {
  if (!HasHighBytes(bytes) || IsValidUtf8(bytes))
    return Convert(bytes, host::kCodePageUtf8);
  const std::optional<uint32_t> fallback = CodePageForCharset(fallbackCharset);
  // Text in 16 bits or in UTF-7 is never raw 8-bit header text.
  const bool eightBit = fallback && *fallback != kUtf16Le && *fallback != kUtf16Be &&
                        *fallback != kCodePageUtf7 && *fallback != host::kCodePageUtf8;
  return DecodeCharset(bytes, eightBit ? fallbackCharset : std::string_view{});
}

}  // namespace tp::mime
