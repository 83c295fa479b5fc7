// Internet host names, with Punycode labels decoded to be checked.
#include "base/host_name.h"

#include <cstdint>
#include <vector>

namespace tp {
namespace {

constexpr size_t kLongestName = 253;
constexpr size_t kLongestLabel = 63;

bool IsAsciiLetter(wchar_t ch) {
  return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z');
}
bool IsDigit(wchar_t ch) {
  return ch >= L'0' && ch <= L'9';
}

// Code points that some Unicode readers fold into ASCII punctuation (a full stop, a commercial
// at, brackets), spaces or nothing at all, so that one program's label is another's two
// labels or a piece of an address: controls, general punctuation and spaces, letter-like and
// enclosed forms, CJK punctuation and compatibility squares, vertical, small, full-width and
// half-width forms, the byte-order mark and tags.
bool StandsForPunctuation(uint32_t ch) {
  static constexpr struct {
    uint32_t first;
    uint32_t last;
  } kRanges[] = {
      {0x80, 0xA0},     {0xAD, 0xAD},     {0x2000, 0x206F},   {0x2100, 0x214F},   {0x2460, 0x24FF},
      {0x3000, 0x303F}, {0x3200, 0x33FF}, {0xD800, 0xDFFF},   {0xFE10, 0xFE1F},   {0xFE30, 0xFE6F},
      {0xFEFF, 0xFEFF}, {0xFF00, 0xFFFF}, {0x1F100, 0x1F1FF}, {0xE0000, 0xE007F},
  };
  for (const auto& range : kRanges) {
    if (ch >= range.first && ch <= range.last)
      return true;
  }
  return ch > 0x10FFFF;
}

int PunycodeDigit(wchar_t ch) {
  if (ch >= L'a' && ch <= L'z')
    return ch - L'a';
  if (ch >= L'A' && ch <= L'Z')
    return ch - L'A';
  if (IsDigit(ch))
    return ch - L'0' + 26;
  return -1;
}

// RFC 3492's bias adaptation.
uint32_t Adapt(uint32_t delta, uint32_t points, bool first) {
  delta = first ? delta / 700 : delta / 2;
  delta += delta / points;
  uint32_t k = 0;
  while (delta > ((36 - 1) * 26) / 2) {
    delta /= 36 - 1;
    k += 36;
  }
  return k + (36 * delta) / (delta + 38);
}

// Decodes the part of a label after "xn--" (RFC 3492); false when it is not Punycode. A
// label is at most 63 characters, so the insertions cost nothing worth counting.
bool DecodePunycode(std::wstring_view encoded, std::vector<uint32_t>* out) {
  constexpr uint32_t kMax = 0x7FFFFFFF;
  const size_t lastHyphen = encoded.rfind(L'-');
  size_t in = 0;
  if (lastHyphen != std::wstring_view::npos) {
    for (size_t i = 0; i < lastHyphen; ++i)
      out->push_back(encoded[i]);
    in = lastHyphen + 1;
  }
  if (in >= encoded.size())
    return false;  // nothing encoded: not an internationalized label
  uint32_t n = 128;
  uint32_t i = 0;
  uint32_t bias = 72;
  while (in < encoded.size()) {
    const uint32_t oldI = i;
    uint32_t w = 1;
    for (uint32_t k = 36;; k += 36) {
      if (in >= encoded.size())
        return false;
      const int digit = PunycodeDigit(encoded[in++]);
      if (digit < 0 || static_cast<uint32_t>(digit) > (kMax - i) / w)
        return false;
      i += static_cast<uint32_t>(digit) * w;
      const uint32_t t = k <= bias ? 1 : (k >= bias + 26 ? 26 : k - bias);
      if (static_cast<uint32_t>(digit) < t)
        break;
      if (w > kMax / (36 - t))
        return false;
      w *= 36 - t;
    }
    const uint32_t points = static_cast<uint32_t>(out->size()) + 1;
    bias = Adapt(i - oldI, points, oldI == 0);
    if (i / points > kMax - n)
      return false;
    n += i / points;
    i %= points;
    out->insert(out->begin() + i, n);
    ++i;
  }
  return true;
}

const wchar_t* LabelProblem(std::wstring_view label) {
  if (label.empty())
    return L"an empty label";
  if (label.size() > kLongestLabel)
    return L"a label longer than 63 characters";
  for (const wchar_t ch : label) {
    if (!IsAsciiLetter(ch) && !IsDigit(ch) && ch != L'-')
      return L"a character that is not an ASCII letter, digit, hyphen or dot";
  }
  if (label.front() == L'-' || label.back() == L'-')
    return L"a label that begins or ends with a hyphen";
  if (label.size() >= 4 && (label[0] | 0x20) == L'x' && (label[1] | 0x20) == L'n' &&
      label[2] == L'-' && label[3] == L'-') {
    std::vector<uint32_t> decoded;
    if (!DecodePunycode(label.substr(4), &decoded))
      return L"an internationalized label that is not valid Punycode";
    for (const uint32_t ch : decoded) {
      if (ch < 0x80 ? !(IsAsciiLetter(static_cast<wchar_t>(ch)) ||
                        IsDigit(static_cast<wchar_t>(ch)) || ch == L'-')
                    : StandsForPunctuation(ch)) {
        return L"an internationalized label holding punctuation, space or control characters";
      }
    }
  }
  return nullptr;
}

}  // namespace

const wchar_t* HostNameProblem(std::wstring_view domain) {
  if (domain.empty())
    return L"it is empty";
  if (domain.find_first_of(L"*?") != std::wstring_view::npos)
    return L"it holds a wildcard";
  if (domain.front() == L'[' || domain.find(L':') != std::wstring_view::npos)
    return L"it is an address literal";
  if (domain.size() > kLongestName)
    return L"it is longer than 253 characters";
  size_t labels = 0;
  std::wstring_view last;
  for (size_t start = 0;;) {
    const size_t dot = domain.find(L'.', start);
    const std::wstring_view label = domain.substr(
        start, dot == std::wstring_view::npos ? std::wstring_view::npos : dot - start);
    if (const wchar_t* problem = LabelProblem(label))
      return problem;
    ++labels;
    last = label;
    if (dot == std::wstring_view::npos)
      break;
    start = dot + 1;
  }
  bool numeric = true;
  for (const wchar_t ch : last)
    numeric = numeric && IsDigit(ch);
  if (numeric)
    return L"it is an IP address";
  if (labels < 2)
    return L"it is a single label";
  return nullptr;
}

}  // namespace tp
