// The XML reader: one pass over the text with a stack of open elements, so hostile nesting
// costs no native stack.
#include "formats/xml_reader.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <memory>
#include <utility>
#include <vector>

#include "base/text.h"
#include "formats/utf16_units.h"

namespace tp {
namespace {

// Owns every element of one parsed document; handles share it.
struct XmlTree {
  std::deque<XmlElement> elements;
};

bool IsXmlSpace(wchar_t ch) {
  return ch == L' ' || ch == L'\t' || ch == L'\r' || ch == L'\n';
}

bool IsNameChar(wchar_t ch) {
  switch (ch) {
    case L'<':
    case L'>':
    case L'/':
    case L'=':
    case L'"':
    case L'\'':
    case L'&':
      return false;
    default:
      return !IsXmlSpace(ch);
  }
}

int DigitValue(wchar_t ch, bool hex) {
  if (ch >= L'0' && ch <= L'9')
    return ch - L'0';
  if (!hex)
    return -1;
  if (ch >= L'a' && ch <= L'f')
    return ch - L'a' + 10;
  if (ch >= L'A' && ch <= L'F')
    return ch - L'A' + 10;
  return -1;
}

bool IsAsciiLetter(wchar_t ch) {
  return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z');
}

bool IsWhitespaceOnly(std::wstring_view text) {
  for (const wchar_t ch : text) {
    if (!IsXmlSpace(ch))
      return false;
  }
  return true;
}

class Parser {
 public:
  explicit Parser(std::wstring_view text) : m_text(text) {}

  XmlNode Parse(XmlError* error) {
    if (m_text.empty())
      return Failed(error, L"the text is empty");
    XmlElement* top = NewElement();
    m_open.push_back(top);
    while (m_pos < m_text.size()) {
      const bool parsed = m_text[m_pos] == L'<' ? ParseMarkup() : ParseText();
      if (!parsed)
        return Failed(error, std::move(m_reason));
    }
    const XmlElement* result = top;
    if (top->children.size() == 1 && top->clearSections.empty() && !top->holdsInstruction) {
      bool onlySpace = true;
      for (const std::wstring& text : top->texts)
        onlySpace = onlySpace && IsWhitespaceOnly(text);
      if (onlySpace)
        result = top->children.front();
    }
    return XmlNode(std::shared_ptr<const XmlElement>(m_tree, result));
  }

 private:
  XmlElement* Current() { return m_open.back(); }

  XmlElement* NewElement() {
    m_tree->elements.emplace_back();
    return &m_tree->elements.back();
  }

  XmlNode Failed(XmlError* error, std::wstring reason) {
    if (error != nullptr)
      *error = {m_failOffset, std::move(reason)};
    return {};
  }

  bool Fail(size_t offset, std::wstring reason) {
    m_failOffset = offset;
    m_reason = std::move(reason);
    return false;
  }

  bool StartsWith(std::wstring_view prefix) const {
    return m_text.substr(m_pos, prefix.size()) == prefix;
  }

  bool SkipSpace() {
    const size_t start = m_pos;
    while (m_pos < m_text.size() && IsXmlSpace(m_text[m_pos]))
      ++m_pos;
    return m_pos > start;
  }

  std::wstring_view ReadName() {
    const size_t start = m_pos;
    while (m_pos < m_text.size() && IsNameChar(m_text[m_pos]))
      ++m_pos;
    return m_text.substr(start, m_pos - start);
  }

  bool ParseMarkup() {
    // The character after "<" tells the kinds of markup apart.
    const wchar_t next = m_pos + 1 < m_text.size() ? m_text[m_pos + 1] : L'\0';
    if (next == L'!') {
      if (StartsWith(L"<![CDATA["))
        return ClearSection(9, L"]]>");
      if (StartsWith(L"<!--"))
        return ClearSection(4, L"-->");
      if (StartsWith(L"<!DOCTYPE"))
        return Doctype();
      return Fail(m_pos, L"unknown declaration after \"<!\"");
    }
    if (next == L'?')
      return Instruction();
    if (next == L'/')
      return EndTag();
    if (next == L'P' && StartsWith(L"<PRE>"))
      return ClearSection(5, L"</PRE>");
    return StartTag();
  }

  bool ClearSection(size_t openLength, std::wstring_view close) {
    const size_t contentStart = m_pos + openLength;
    const size_t end = m_text.find(close, contentStart);
    if (end == std::wstring_view::npos) {
      return Fail(m_pos, L"section not closed by \"" + std::wstring(close) + L"\"");
    }
    Current()->clearSections.emplace_back(m_text.substr(contentStart, end - contentStart));
    m_pos = end + close.size();
    return true;
  }

  // "<!DOCTYPE" ... ">", where an internal subset in brackets ends with "]>".
  bool Doctype() {
    const size_t contentStart = m_pos + 9;
    size_t close = m_text.find_first_of(L"[>", contentStart);
    if (close != std::wstring_view::npos && m_text[close] == L'[') {
      close = m_text.find(L"]>", close);
      if (close != std::wstring_view::npos)
        ++close;
    }
    if (close == std::wstring_view::npos)
      return Fail(m_pos, L"DOCTYPE not closed by \">\"");
    Current()->clearSections.emplace_back(m_text.substr(contentStart, close - contentStart));
    m_pos = close + 1;
    return true;
  }

  bool Instruction() {
    const size_t end = m_text.find(L"?>", m_pos + 2);
    if (end == std::wstring_view::npos)
      return Fail(m_pos, L"\"<?\" not closed by \"?>\"");
    Current()->holdsInstruction = true;
    m_pos = end + 2;
    return true;
  }

  bool EndTag() {
    const size_t start = m_pos;
    m_pos += 2;
    const std::wstring_view name = ReadName();
    if (name.empty())
      return Fail(start, L"end tag without a name");
    SkipSpace();
    if (m_pos >= m_text.size() || m_text[m_pos] != L'>') {
      return Fail(start, L"end tag not closed by \">\"");
    }
    ++m_pos;
    // Close the innermost open element of that name and everything opened inside it.
    for (size_t i = m_open.size(); i-- > 1;) {
      if (EqualsIgnoreAsciiCase(m_open[i]->name, name)) {
        m_open.resize(i);
        return true;
      }
    }
    return Fail(start, L"end tag </" + std::wstring(name) + L"> matches no open element");
  }

  bool StartTag() {
    const size_t start = m_pos;
    ++m_pos;
    const std::wstring_view name = ReadName();
    if (name.empty())
      return Fail(start, L"\"<\" not followed by an element name");
    if (m_open.size() > kMaxXmlDepth)
      return Fail(start, L"elements nested too deeply");
    XmlElement* element = NewElement();
    element->name = name;
    Current()->children.push_back(element);
    while (true) {
      const bool spaced = SkipSpace();
      if (m_pos >= m_text.size())
        return Fail(start, L"start tag not closed by \">\"");
      if (m_text[m_pos] == L'>') {
        ++m_pos;
        m_open.push_back(element);
        return true;
      }
      if (StartsWith(L"/>")) {
        m_pos += 2;
        return true;
      }
      if (!spaced)
        return Fail(m_pos, L"white space expected before an attribute");
      if (!Attribute(*element))
        return false;
    }
  }

  bool Attribute(XmlElement& element) {
    const size_t start = m_pos;
    const std::wstring_view name = ReadName();
    if (name.empty())
      return Fail(start, L"attribute name expected");
    SkipSpace();
    if (m_pos >= m_text.size() || m_text[m_pos] != L'=') {
      return Fail(start, L"attribute without \"=\" and a value");
    }
    ++m_pos;
    SkipSpace();
    if (m_pos >= m_text.size() || (m_text[m_pos] != L'"' && m_text[m_pos] != L'\'')) {
      return Fail(start, L"attribute value not in quotes");
    }
    const size_t end = m_text.find(m_text[m_pos], m_pos + 1);
    if (end == std::wstring_view::npos)
      return Fail(start, L"attribute value not closed");
    std::wstring value;
    if (!Decode(m_pos + 1, end, value))
      return false;
    element.attributes.emplace_back(std::wstring(name), std::move(value));
    m_pos = end + 1;
    return true;
  }

  bool ParseText() {
    size_t end = m_text.find(L'<', m_pos);
    if (end == std::wstring_view::npos)
      end = m_text.size();
    std::wstring text;
    if (!Decode(m_pos, end, text))
      return false;
    Current()->texts.push_back(std::move(text));
    m_pos = end;
    return true;
  }

  // Decodes m_text[begin, end) into out.
  bool Decode(size_t begin, size_t end, std::wstring& out) {
    size_t amp = m_text.find(L'&', begin);
    if (amp >= end) {
      out.assign(m_text.substr(begin, end - begin));
      return true;
    }
    out.reserve(end - begin);
    while (begin < end) {
      amp = m_text.find(L'&', begin);
      if (amp >= end)
        amp = end;
      out.append(m_text.substr(begin, amp - begin));
      if (amp == end)
        break;
      const size_t semicolon = DecodeEntity(amp, end, out);
      if (semicolon == std::wstring_view::npos)
        return false;
      begin = semicolon + 1;
    }
    return true;
  }

  // Decodes the entity at `amp` (before `end`) into out; returns the position of its closing
  // semicolon, or npos after recording the failure.
  size_t DecodeEntity(size_t amp, size_t end, std::wstring& out) {
    constexpr size_t kFailed = std::wstring_view::npos;
    size_t i = amp + 1;
    if (i < end && m_text[i] == L'#') {
      ++i;
      const bool hex = i < end && (m_text[i] == L'x' || m_text[i] == L'X');
      if (hex)
        ++i;
      const size_t firstDigit = i;
      uint32_t value = 0;
      for (int digit; i < end && (digit = DigitValue(m_text[i], hex)) >= 0; ++i) {
        // Capped just above the largest code point, so the sum cannot overflow.
        value =
            std::min<uint32_t>(value * (hex ? 16 : 10) + static_cast<uint32_t>(digit), 0x110000);
      }
      if (i == firstDigit || i >= end || m_text[i] != L';' || value == 0 || value > 0x10FFFF) {
        Fail(amp, L"invalid character reference");
        return kFailed;
      }
      if (value < 0x10000) {
        AppendUtf16Unit(out, value);
      } else {
        AppendCodePoint(out, value);
      }
      return i;
    }
    while (i < end && IsAsciiLetter(m_text[i]))
      ++i;
    if (i < end && m_text[i] == L';') {
      const std::wstring_view name = m_text.substr(amp + 1, i - amp - 1);
      static constexpr std::pair<std::wstring_view, wchar_t> kNamed[] = {
          {L"amp", L'&'}, {L"lt", L'<'}, {L"gt", L'>'}, {L"quot", L'"'}, {L"apos", L'\''}};
      for (const auto& [entity, ch] : kNamed) {
        if (EqualsIgnoreAsciiCase(name, entity)) {
          out += ch;
          return i;
        }
      }
    }
    // Quote what was written, up to its semicolon, without flooding the reason.
    const size_t shown = std::min<size_t>(std::min(i + 1, end) - amp, 24);
    Fail(amp, L"unknown entity \"" + std::wstring(m_text.substr(amp, shown)) + L"\"");
    return kFailed;
  }

  std::wstring_view m_text;
  size_t m_pos = 0;
  std::shared_ptr<XmlTree> m_tree = std::make_shared<XmlTree>();
  std::vector<XmlElement*> m_open;
  size_t m_failOffset = 0;
  std::wstring m_reason;
};

}  // namespace

XmlNode ParseXml(std::wstring_view text, XmlError* error) {
  return Parser(text).Parse(error);
}

}  // namespace tp
