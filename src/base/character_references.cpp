// Decoding character references.
#include "base/character_references.h"

#include <algorithm>
#include <iterator>

namespace tp {
namespace {

struct NamedReference {
  std::wstring_view name;
  char32_t codePoint;
  bool withoutSemicolon;  // browsers also read it without its ";"
};

// HTML 4's named references and "apos", in code-unit order.
constexpr NamedReference kNamedReferences[] = {
    {L"AElig", 0xC6, true},     {L"Aacute", 0xC1, true},     {L"Acirc", 0xC2, true},
    {L"Agrave", 0xC0, true},    {L"Alpha", 0x391, false},    {L"Aring", 0xC5, true},
    {L"Atilde", 0xC3, true},    {L"Auml", 0xC4, true},       {L"Beta", 0x392, false},
    {L"Ccedil", 0xC7, true},    {L"Chi", 0x3A7, false},      {L"Dagger", 0x2021, false},
    {L"Delta", 0x394, false},   {L"ETH", 0xD0, true},        {L"Eacute", 0xC9, true},
    {L"Ecirc", 0xCA, true},     {L"Egrave", 0xC8, true},     {L"Epsilon", 0x395, false},
    {L"Eta", 0x397, false},     {L"Euml", 0xCB, true},       {L"Gamma", 0x393, false},
    {L"Iacute", 0xCD, true},    {L"Icirc", 0xCE, true},      {L"Igrave", 0xCC, true},
    {L"Iota", 0x399, false},    {L"Iuml", 0xCF, true},       {L"Kappa", 0x39A, false},
    {L"Lambda", 0x39B, false},  {L"Mu", 0x39C, false},       {L"Ntilde", 0xD1, true},
    {L"Nu", 0x39D, false},      {L"OElig", 0x152, false},    {L"Oacute", 0xD3, true},
    {L"Ocirc", 0xD4, true},     {L"Ograve", 0xD2, true},     {L"Omega", 0x3A9, false},
    {L"Omicron", 0x39F, false}, {L"Oslash", 0xD8, true},     {L"Otilde", 0xD5, true},
    {L"Ouml", 0xD6, true},      {L"Phi", 0x3A6, false},      {L"Pi", 0x3A0, false},
    {L"Prime", 0x2033, false},  {L"Psi", 0x3A8, false},      {L"Rho", 0x3A1, false},
    {L"Scaron", 0x160, false},  {L"Sigma", 0x3A3, false},    {L"THORN", 0xDE, true},
    {L"Tau", 0x3A4, false},     {L"Theta", 0x398, false},    {L"Uacute", 0xDA, true},
    {L"Ucirc", 0xDB, true},     {L"Ugrave", 0xD9, true},     {L"Upsilon", 0x3A5, false},
    {L"Uuml", 0xDC, true},      {L"Xi", 0x39E, false},       {L"Yacute", 0xDD, true},
    {L"Yuml", 0x178, false},    {L"Zeta", 0x396, false},     {L"aacute", 0xE1, true},
    {L"acirc", 0xE2, true},     {L"acute", 0xB4, true},      {L"aelig", 0xE6, true},
    {L"agrave", 0xE0, true},    {L"alefsym", 0x2135, false}, {L"alpha", 0x3B1, false},
    {L"amp", 0x26, true},       {L"and", 0x2227, false},     {L"ang", 0x2220, false},
    {L"apos", 0x27, false},     {L"aring", 0xE5, true},      {L"asymp", 0x2248, false},
    {L"atilde", 0xE3, true},    {L"auml", 0xE4, true},       {L"bdquo", 0x201E, false},
    {L"beta", 0x3B2, false},    {L"brvbar", 0xA6, true},     {L"bull", 0x2022, false},
    {L"cap", 0x2229, false},    {L"ccedil", 0xE7, true},     {L"cedil", 0xB8, true},
    {L"cent", 0xA2, true},      {L"chi", 0x3C7, false},      {L"circ", 0x2C6, false},
    {L"clubs", 0x2663, false},  {L"cong", 0x2245, false},    {L"copy", 0xA9, true},
    {L"crarr", 0x21B5, false},  {L"cup", 0x222A, false},     {L"curren", 0xA4, true},
    {L"dArr", 0x21D3, false},   {L"dagger", 0x2020, false},  {L"darr", 0x2193, false},
    {L"deg", 0xB0, true},       {L"delta", 0x3B4, false},    {L"diams", 0x2666, false},
    {L"divide", 0xF7, true},    {L"eacute", 0xE9, true},     {L"ecirc", 0xEA, true},
    {L"egrave", 0xE8, true},    {L"empty", 0x2205, false},   {L"emsp", 0x2003, false},
    {L"ensp", 0x2002, false},   {L"epsilon", 0x3B5, false},  {L"equiv", 0x2261, false},
    {L"eta", 0x3B7, false},     {L"eth", 0xF0, true},        {L"euml", 0xEB, true},
    {L"euro", 0x20AC, false},   {L"exist", 0x2203, false},   {L"fnof", 0x192, false},
    {L"forall", 0x2200, false}, {L"frac12", 0xBD, true},     {L"frac14", 0xBC, true},
    {L"frac34", 0xBE, true},    {L"frasl", 0x2044, false},   {L"gamma", 0x3B3, false},
    {L"ge", 0x2265, false},     {L"gt", 0x3E, true},         {L"hArr", 0x21D4, false},
    {L"harr", 0x2194, false},   {L"hearts", 0x2665, false},  {L"hellip", 0x2026, false},
    {L"iacute", 0xED, true},    {L"icirc", 0xEE, true},      {L"iexcl", 0xA1, true},
    {L"igrave", 0xEC, true},    {L"image", 0x2111, false},   {L"infin", 0x221E, false},
    {L"int", 0x222B, false},    {L"iota", 0x3B9, false},     {L"iquest", 0xBF, true},
    {L"isin", 0x2208, false},   {L"iuml", 0xEF, true},       {L"kappa", 0x3BA, false},
    {L"lArr", 0x21D0, false},   {L"lambda", 0x3BB, false},   {L"lang", 0x2329, false},
    {L"laquo", 0xAB, true},     {L"larr", 0x2190, false},    {L"lceil", 0x2308, false},
    {L"ldquo", 0x201C, false},  {L"le", 0x2264, false},      {L"lfloor", 0x230A, false},
    {L"lowast", 0x2217, false}, {L"loz", 0x25CA, false},     {L"lrm", 0x200E, false},
    {L"lsaquo", 0x2039, false}, {L"lsquo", 0x2018, false},   {L"lt", 0x3C, true},
    {L"macr", 0xAF, true},      {L"mdash", 0x2014, false},   {L"micro", 0xB5, true},
    {L"middot", 0xB7, true},    {L"minus", 0x2212, false},   {L"mu", 0x3BC, false},
    {L"nabla", 0x2207, false},  {L"nbsp", 0xA0, true},       {L"ndash", 0x2013, false},
    {L"ne", 0x2260, false},     {L"ni", 0x220B, false},      {L"not", 0xAC, true},
    {L"notin", 0x2209, false},  {L"nsub", 0x2284, false},    {L"ntilde", 0xF1, true},
    {L"nu", 0x3BD, false},      {L"oacute", 0xF3, true},     {L"ocirc", 0xF4, true},
    {L"oelig", 0x153, false},   {L"ograve", 0xF2, true},     {L"oline", 0x203E, false},
    {L"omega", 0x3C9, false},   {L"omicron", 0x3BF, false},  {L"oplus", 0x2295, false},
    {L"or", 0x2228, false},     {L"ordf", 0xAA, true},       {L"ordm", 0xBA, true},
    {L"oslash", 0xF8, true},    {L"otilde", 0xF5, true},     {L"otimes", 0x2297, false},
    {L"ouml", 0xF6, true},      {L"para", 0xB6, true},       {L"part", 0x2202, false},
    {L"permil", 0x2030, false}, {L"perp", 0x22A5, false},    {L"phi", 0x3C6, false},
    {L"pi", 0x3C0, false},      {L"piv", 0x3D6, false},      {L"plusmn", 0xB1, true},
    {L"pound", 0xA3, true},     {L"prime", 0x2032, false},   {L"prod", 0x220F, false},
    {L"prop", 0x221D, false},   {L"psi", 0x3C8, false},      {L"quot", 0x22, true},
    {L"rArr", 0x21D2, false},   {L"radic", 0x221A, false},   {L"rang", 0x232A, false},
    {L"raquo", 0xBB, true},     {L"rarr", 0x2192, false},    {L"rceil", 0x2309, false},
    {L"rdquo", 0x201D, false},  {L"real", 0x211C, false},    {L"reg", 0xAE, true},
    {L"rfloor", 0x230B, false}, {L"rho", 0x3C1, false},      {L"rlm", 0x200F, false},
    {L"rsaquo", 0x203A, false}, {L"rsquo", 0x2019, false},   {L"sbquo", 0x201A, false},
    {L"scaron", 0x161, false},  {L"sdot", 0x22C5, false},    {L"sect", 0xA7, true},
    {L"shy", 0xAD, true},       {L"sigma", 0x3C3, false},    {L"sigmaf", 0x3C2, false},
    {L"sim", 0x223C, false},    {L"spades", 0x2660, false},  {L"sub", 0x2282, false},
    {L"sube", 0x2286, false},   {L"sum", 0x2211, false},     {L"sup", 0x2283, false},
    {L"sup1", 0xB9, true},      {L"sup2", 0xB2, true},       {L"sup3", 0xB3, true},
    {L"supe", 0x2287, false},   {L"szlig", 0xDF, true},      {L"tau", 0x3C4, false},
    {L"there4", 0x2234, false}, {L"theta", 0x3B8, false},    {L"thetasym", 0x3D1, false},
    {L"thinsp", 0x2009, false}, {L"thorn", 0xFE, true},      {L"tilde", 0x2DC, false},
    {L"times", 0xD7, true},     {L"trade", 0x2122, false},   {L"uArr", 0x21D1, false},
    {L"uacute", 0xFA, true},    {L"uarr", 0x2191, false},    {L"ucirc", 0xFB, true},
    {L"ugrave", 0xF9, true},    {L"uml", 0xA8, true},        {L"upsih", 0x3D2, false},
    {L"upsilon", 0x3C5, false}, {L"uuml", 0xFC, true},       {L"weierp", 0x2118, false},
    {L"xi", 0x3BE, false},      {L"yacute", 0xFD, true},     {L"yen", 0xA5, true},
    {L"yuml", 0xFF, true},      {L"zeta", 0x3B6, false},     {L"zwj", 0x200D, false},
    {L"zwnj", 0x200C, false},
};
constexpr size_t kLongestName = 8;  // "thetasym"

// Numeric references to these C1 controls mean the Windows-1252 characters.
constexpr char32_t kWindows1252[32] = {
    0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

const NamedReference* FindNamed(std::wstring_view name) {
  const auto found = std::lower_bound(
      std::begin(kNamedReferences), std::end(kNamedReferences), name,
      [](const NamedReference& entry, std::wstring_view key) { return entry.name < key; });
  return (found != std::end(kNamedReferences) && found->name == name) ? found : nullptr;
}

bool IsAsciiAlphanumeric(wchar_t ch) {
  return (ch >= L'0' && ch <= L'9') || (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z');
}

int DigitValue(wchar_t ch, bool hex) {
  if (ch >= L'0' && ch <= L'9')
    return ch - L'0';
  if (hex && ch >= L'a' && ch <= L'f')
    return ch - L'a' + 10;
  if (hex && ch >= L'A' && ch <= L'F')
    return ch - L'A' + 10;
  return -1;
}

// A numeric reference at `at` (just after "&#"); its end, or `at` when it has no digits.
size_t DecodeNumeric(std::wstring_view value, size_t at, std::wstring* out) {
  const bool hex = at < value.size() && (value[at] == L'x' || value[at] == L'X');
  size_t position = hex ? at + 1 : at;
  const size_t digitsStart = position;
  char32_t codePoint = 0;
  bool tooLarge = false;
  for (; position < value.size(); ++position) {
    const int digit = DigitValue(value[position], hex);
    if (digit < 0)
      break;
    codePoint = codePoint * (hex ? 16 : 10) + static_cast<char32_t>(digit);
    if (codePoint > 0x10FFFF) {
      tooLarge = true;
      codePoint = 0x110000;  // keeps the product small
    }
  }
  if (position == digitsStart)
    return at;
  if (position < value.size() && value[position] == L';')
    ++position;
  if (tooLarge || codePoint == 0 || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
    codePoint = 0xFFFD;
  } else if (codePoint >= 0x80 && codePoint <= 0x9F) {
    codePoint = kWindows1252[codePoint - 0x80];
  }
  AppendCodePoint(out, codePoint);
  return position;
}

// A named reference at `at` (just after "&"); its end, or `at` when none is read there.
size_t DecodeNamed(std::wstring_view value, size_t at, std::wstring* out) {
  size_t run = 0;
  while (at + run < value.size() && run < kLongestName && IsAsciiAlphanumeric(value[at + run]))
    ++run;
  for (size_t length = run; length > 0; --length) {
    const NamedReference* named = FindNamed(value.substr(at, length));
    if (named == nullptr)
      continue;
    const size_t after = at + length;
    const bool semicolon = after < value.size() && value[after] == L';';
    if (!semicolon && !named->withoutSemicolon)
      continue;
    // In an attribute an old-style reference followed by "=" or a letter or digit is text
    // ("?a=1&copy=2").
    if (!semicolon && after < value.size() &&
        (value[after] == L'=' || IsAsciiAlphanumeric(value[after]))) {
      return at;
    }
    AppendCodePoint(out, named->codePoint);
    return semicolon ? after + 1 : after;
  }
  return at;
}

}  // namespace

void AppendCodePoint(std::wstring* text, char32_t codePoint) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (codePoint >= 0x10000) {
      codePoint -= 0x10000;
      text->push_back(static_cast<wchar_t>(0xD800 + (codePoint >> 10)));
      text->push_back(static_cast<wchar_t>(0xDC00 + (codePoint & 0x3FF)));
      return;
    }
  }
  text->push_back(static_cast<wchar_t>(codePoint));
}

std::wstring DecodeAttributeValue(std::wstring_view value) {
  if (value.find(L'&') == std::wstring_view::npos)
    return std::wstring(value);
  std::wstring out;
  out.reserve(value.size());
  size_t position = 0;
  while (position < value.size()) {
    const size_t ampersand = value.find(L'&', position);
    if (ampersand == std::wstring_view::npos) {
      out.append(value.substr(position));
      break;
    }
    out.append(value.substr(position, ampersand - position));
    const size_t at = ampersand + 1;
    size_t end = at;
    if (at < value.size() && value[at] == L'#') {
      end = DecodeNumeric(value, at + 1, &out);
      if (end == at + 1)
        end = at;
    } else {
      end = DecodeNamed(value, at, &out);
    }
    if (end == at)
      out.push_back(L'&');
    position = end;
  }
  return out;
}

}  // namespace tp
