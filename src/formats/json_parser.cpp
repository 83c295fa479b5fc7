// Recursive-descent JSON reader over a wide text view; never reads past the view's end.
#include "formats/json_parser.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <utility>

#include "base/text.h"
#include "formats/utf16_units.h"

namespace tp {
namespace {

// UTF-16 code units of text shown after the error position in an error message.
constexpr size_t kShownUnits = 15;
constexpr wchar_t kNestingToken[] = L"Nesting within 512 levels";
static_assert(kMaxJsonDepth == 512, "the nesting token names the bound");

uint32_t Unit(wchar_t ch) {
  return static_cast<uint32_t>(ch);
}
bool IsJsonSpace(wchar_t ch) {
  return ch == L' ' || ch == L'\t' || ch == L'\r' || ch == L'\n';
}
bool IsDigit(wchar_t ch) {
  return ch >= L'0' && ch <= L'9';
}

// With 32-bit wchar_t a surrogate half may have to merge with its neighbour (raw or escaped)
// into one code point, as the pair reads on Windows.
bool IsHalfToMerge(wchar_t ch) {
  return sizeof(wchar_t) == 4 && Unit(ch) >= 0xD800 && Unit(ch) <= 0xDFFF;
}

// True when text starts with `word` (lower-case ASCII) with ASCII letters in either case.
bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view word) {
  if (text.size() < word.size())
    return false;
  for (size_t i = 0; i < word.size(); ++i) {
    wchar_t ch = text[i];
    if (ch >= L'A' && ch <= L'Z')
      ch = static_cast<wchar_t>(ch - L'A' + L'a');
    if (ch != word[i])
      return false;
  }
  return true;
}

// Multiplies (or divides) value by ten `count` times. Once the value is 0 or infinite more
// steps cannot change it, so a huge exponent ends after a few hundred steps with the same
// result as the full count.
double ScaleByTen(double value, double count, bool divide) {
  for (double step = 0; step < count && value != 0 && !std::isinf(value); step += 1) {
    value = divide ? value / 10 : value * 10;
  }
  return value;
}

class Parser {
 public:
  explicit Parser(std::wstring_view text) : m_text(text) {}

  std::unique_ptr<JsonValue> ParseDocument(size_t* errorOffset) {
    if (!SkipWhitespace())
      return nullptr;
    std::unique_ptr<JsonValue> value = ParseValue(0);
    if (!value->IsError() && SkipWhitespace())
      value = Error(L"Object end");
    if (errorOffset != nullptr)
      *errorOffset = value->IsError() ? m_errorOffset : 0;
    return value;
  }

 private:
  bool AtEnd() const { return m_pos >= m_text.size(); }

  // Skips the four whitespace characters; true when a character follows.
  bool SkipWhitespace() {
    while (!AtEnd() && IsJsonSpace(m_text[m_pos]))
      ++m_pos;
    return !AtEnd();
  }

  std::unique_ptr<JsonValue> Error(std::wstring_view token) {
    std::wstring message = L"Expected '";
    message += token;
    message += L"' but recieved '";
    if (AppendUtf16Prefix(message, m_text.substr(m_pos), kShownUnits))
      message += L"...'";
    m_errorOffset = m_pos;
    return std::make_unique<JsonValue>(std::move(message), true);
  }

  // A character is known to follow. `depth` counts the containers around the value.
  std::unique_ptr<JsonValue> ParseValue(int depth) {
    const wchar_t ch = m_text[m_pos];
    if (ch == L'"') {
      ++m_pos;
      std::wstring text;
      if (!ReadString(text))
        return Error(L"String");
      return std::make_unique<JsonValue>(std::move(text), false);
    }
    if (ch == L'{')
      return ParseObject(depth + 1);
    if (ch == L'[')
      return ParseArray(depth + 1);
    if (ch == L'-' || IsDigit(ch))
      return ParseNumber();
    const std::wstring_view rest = m_text.substr(m_pos);
    if (StartsWithIgnoringCase(rest, L"true")) {
      m_pos += 4;
      return std::make_unique<JsonValue>(true);
    }
    if (StartsWithIgnoringCase(rest, L"false")) {
      m_pos += 5;
      return std::make_unique<JsonValue>(false);
    }
    if (StartsWithIgnoringCase(rest, L"null")) {
      m_pos += 4;
      return std::make_unique<JsonValue>();
    }
    return Error(L"valid JSON syntax");
  }

  std::unique_ptr<JsonValue> ParseNumber() {
    const bool negative = m_text[m_pos] == L'-';
    if (negative)
      ++m_pos;
    double value = 0;
    if (AtEnd() || !IsDigit(m_text[m_pos]))
      return Error(L"Number");
    if (m_text[m_pos] == L'0') {
      ++m_pos;  // a leading zero is the whole integer part
    } else {
      for (; !AtEnd() && IsDigit(m_text[m_pos]); ++m_pos)
        value = value * 10 + (m_text[m_pos] - L'0');
    }
    if (!AtEnd() && m_text[m_pos] == L'.') {
      ++m_pos;
      if (AtEnd() || !IsDigit(m_text[m_pos]))
        return Error(L"Digits");
      double fraction = 0;
      double weight = 0.1;
      for (; !AtEnd() && IsDigit(m_text[m_pos]); ++m_pos) {
        fraction += (m_text[m_pos] - L'0') * weight;
        weight /= 10;
      }
      value += fraction;
    }
    if (!AtEnd() && (m_text[m_pos] == L'e' || m_text[m_pos] == L'E')) {
      ++m_pos;
      const bool negativeExponent = !AtEnd() && m_text[m_pos] == L'-';
      if (!AtEnd() && (m_text[m_pos] == L'-' || m_text[m_pos] == L'+'))
        ++m_pos;
      if (AtEnd() || !IsDigit(m_text[m_pos]))
        return Error(L"Digits");
      double exponent = 0;
      for (; !AtEnd() && IsDigit(m_text[m_pos]); ++m_pos) {
        exponent = exponent * 10 + (m_text[m_pos] - L'0');
      }
      value = ScaleByTen(value, exponent, negativeExponent);
    }
    if (negative)
      value *= -1;
    return std::make_unique<JsonValue>(value);
  }

  // Reads the rest of a string whose opening quote is consumed. On failure the position stays
  // on the character where reading gave up.
  bool ReadString(std::wstring& out) {
    // Most strings have no escape: copy them in one go.
    const size_t start = m_pos;
    size_t end = m_pos;
    for (; end < m_text.size(); ++end) {
      const wchar_t ch = m_text[end];
      if (ch == L'"' || ch == L'\\' || (Unit(ch) < 0x20 && ch != L'\t') || IsHalfToMerge(ch)) {
        break;
      }
    }
    out.assign(m_text.data() + start, end - start);
    m_pos = end;
    while (!AtEnd()) {
      const wchar_t ch = m_text[m_pos];
      if (ch == L'"') {
        ++m_pos;
        return true;
      }
      if (Unit(ch) < 0x20 && ch != L'\t')
        return false;
      if (ch != L'\\') {
        AppendUtf16Unit(out, Unit(ch));
        ++m_pos;
        continue;
      }
      ++m_pos;
      if (AtEnd())
        return false;
      switch (m_text[m_pos]) {
        case L'"':
        case L'/':
        case L'\\':
          out += m_text[m_pos];
          break;
        case L'b':
          out += L'\b';
          break;
        case L'f':
          out += L'\f';
          break;
        case L'n':
          out += L'\n';
          break;
        case L'r':
          out += L'\r';
          break;
        case L't':
          out += L'\t';
          break;
        case L'u':
          if (!ReadUnicodeEscape(out))
            return false;
          continue;
        default:
          return false;
      }
      ++m_pos;
    }
    return false;
  }

  // At the `u` of "\uXXXX": appends the code unit and moves past the four digits.
  bool ReadUnicodeEscape(std::wstring& out) {
    ++m_pos;
    if (m_text.size() - m_pos < 4)
      return false;
    uint32_t unit = 0;
    for (int i = 0; i < 4; ++i, ++m_pos) {
      const int digit = HexDigitValue(m_text[m_pos]);
      if (digit < 0)
        return false;
      unit = unit * 16 + static_cast<uint32_t>(digit);
    }
    AppendUtf16Unit(out, unit);
    return true;
  }

  std::unique_ptr<JsonValue> ParseArray(int depth) {
    if (depth > kMaxJsonDepth)
      return Error(kNestingToken);
    JsonArray elements;
    while (true) {
      ++m_pos;  // past the '[' or the ','
      if (AtEnd())
        return Error(L"More data");
      if (!SkipWhitespace())
        return Error(L"Whitespace");
      if (elements.empty() && m_text[m_pos] == L']') {
        ++m_pos;
        return std::make_unique<JsonValue>(JsonArray{});
      }
      std::unique_ptr<JsonValue> element = ParseValue(depth);
      if (element->IsError())
        return element;
      elements.push_back(std::move(element));
      if (!SkipWhitespace())
        return Error(L"Whitespace");
      if (m_text[m_pos] == L']') {
        ++m_pos;
        return std::make_unique<JsonValue>(std::move(elements));
      }
      if (m_text[m_pos] != L',')
        return Error(L"Comma (,)");
    }
  }

  std::unique_ptr<JsonValue> ParseObject(int depth) {
    if (depth > kMaxJsonDepth)
      return Error(kNestingToken);
    JsonObject members;
    ++m_pos;  // past the '{'
    if (AtEnd())
      return Error(L"More data");
    while (true) {
      if (!SkipWhitespace())
        return Error(L"White Space");
      if (members.empty() && m_text[m_pos] == L'}') {
        ++m_pos;
        return std::make_unique<JsonValue>(JsonObject{});
      }
      if (m_text[m_pos] != L'"')
        return Error(L"Valid Name");
      ++m_pos;
      std::wstring name;
      if (!ReadString(name))
        return Error(L"Valid Name");
      if (!SkipWhitespace())
        return Error(L"Whitespace");
      // The colon test consumes the character it looks at, colon or not.
      if (m_text[m_pos++] != L':')
        return Error(L"Colon (:)");
      if (!SkipWhitespace())
        return Error(L"Whitespace");
      std::unique_ptr<JsonValue> value = ParseValue(depth);
      if (value->IsError())
        return value;
      members.insert_or_assign(std::move(name), std::move(value));  // the last one wins
      if (!SkipWhitespace())
        return Error(L"Whitespace");
      if (m_text[m_pos] == L'}') {
        ++m_pos;
        return std::make_unique<JsonValue>(std::move(members));
      }
      if (m_text[m_pos] != L',')
        return Error(L"Comma (,)");
      ++m_pos;
      if (AtEnd())
        return Error(L"More data");
    }
  }

  std::wstring_view m_text;
  size_t m_pos = 0;
  size_t m_errorOffset = 0;
};

}  // namespace

std::unique_ptr<JsonValue> ParseJson(std::wstring_view text, size_t* errorOffset) {
  return Parser(text).ParseDocument(errorOffset);
}

}  // namespace tp
