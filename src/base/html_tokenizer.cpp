// The HTML tokenizer.
#include "base/html_tokenizer.h"

#include <algorithm>
#include <unordered_set>

#include "base/character_references.h"

namespace tp {
namespace {

bool IsTagSpace(wchar_t ch) {
  return ch == L' ' || ch == L'\t' || ch == L'\n' || ch == L'\f' || ch == L'\r';
}

bool IsAsciiAlpha(wchar_t ch) {
  return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z');
}

// Lower-cases ASCII letters and replaces NUL, as the tokenizer does for names.
std::wstring NameOf(std::wstring_view text) {
  std::wstring name(text);
  for (wchar_t& ch : name) {
    if (ch >= L'A' && ch <= L'Z')
      ch = static_cast<wchar_t>(ch + 32);
    else if (ch == L'\0')
      ch = 0xFFFD;
  }
  return name;
}

bool StartsWithIgnoringCase(std::wstring_view text, size_t at, std::wstring_view lower) {
  if (at > text.size() || text.size() - at < lower.size())
    return false;
  for (size_t j = 0; j < lower.size(); ++j) {
    wchar_t ch = text[at + j];
    if (ch >= L'A' && ch <= L'Z')
      ch = static_cast<wchar_t>(ch + 32);
    if (ch != lower[j])
      return false;
  }
  return true;
}

// Whether an attribute name is new to a tag: of attributes with one name only the first
// counts. The names go into a set only for a tag with many attributes.
class AttributeNames {
 public:
  explicit AttributeNames(const std::vector<HtmlAttribute>& attributes)
      : m_attributes(attributes) {}

  bool IsNew(const std::wstring& name) {
    constexpr size_t kListed = 16;
    if (m_attributes.size() < kListed) {
      return std::none_of(m_attributes.begin(), m_attributes.end(),
                          [&](const HtmlAttribute& seen) { return seen.name == name; });
    }
    if (m_names.empty()) {
      for (const HtmlAttribute& seen : m_attributes)
        m_names.insert(seen.name);
    }
    return m_names.insert(name).second;
  }

 private:
  const std::vector<HtmlAttribute>& m_attributes;
  std::unordered_set<std::wstring> m_names;
};

}  // namespace

bool HtmlTokenizer::HasTextContent(std::wstring_view name) {
  static constexpr std::wstring_view kNames[] = {L"style",     L"script",   L"xmp",
                                                 L"iframe",    L"noembed",  L"noframes",
                                                 L"plaintext", L"textarea", L"title"};
  return std::find(std::begin(kNames), std::end(kNames), name) != std::end(kNames);
}

bool HtmlTokenizer::Next(HtmlToken* token) {
  // The token's storage is used again.
  token->kind = HtmlTokenKind::kText;
  token->text = std::wstring_view();
  token->rawText = false;
  token->name.clear();
  token->attributes.clear();
  token->selfClosing = false;
  if (!m_rawTextEnd.empty() && ReadRawText(token))
    return true;
  while (m_position < m_input.size()) {
    // Text runs up to the next '<' that starts markup.
    size_t at = m_position;
    for (;;) {
      at = m_input.find(L'<', at);
      if (at == std::wstring_view::npos || at + 1 >= m_input.size()) {
        at = m_input.size();
        break;
      }
      const wchar_t next = m_input[at + 1];
      if (IsAsciiAlpha(next) || next == L'/' || next == L'!' || next == L'?')
        break;
      ++at;
    }
    if (at > m_position) {
      token->kind = HtmlTokenKind::kText;
      token->text = m_input.substr(m_position, at - m_position);
      m_position = at;
      return true;
    }
    const wchar_t next = m_input[at + 1];
    if (next == L'!') {
      if (m_input.compare(at, 4, L"<!--") == 0) {
        ReadComment(at, token);
      } else if (StartsWithIgnoringCase(m_input, at + 2, L"doctype")) {
        ReadUntilGreater(at + 2, HtmlTokenKind::kDoctype, token);
      } else {
        ReadUntilGreater(at + 2, HtmlTokenKind::kBogusComment, token);
      }
      return true;
    }
    if (next == L'?') {
      ReadUntilGreater(at + 1, HtmlTokenKind::kBogusComment, token);
      return true;
    }
    if (next == L'/') {
      if (at + 2 >= m_input.size()) {
        token->kind = HtmlTokenKind::kText;  // "</" at the very end is text
        token->text = m_input.substr(at);
        m_position = m_input.size();
        return true;
      }
      if (m_input[at + 2] == L'>') {  // "</>" is dropped
        m_position = at + 3;
        continue;
      }
      if (!IsAsciiAlpha(m_input[at + 2])) {
        ReadUntilGreater(at + 2, HtmlTokenKind::kBogusComment, token);
        return true;
      }
    }
    return ReadTag(at, token);
  }
  return false;
}

bool HtmlTokenizer::ReadRawText(HtmlToken* token) {
  const std::wstring name = std::move(m_rawTextEnd);
  m_rawTextEnd.clear();
  size_t end = m_position;
  for (;;) {
    end = m_input.find(L"</", end);
    if (end == std::wstring_view::npos) {
      end = m_input.size();
      break;
    }
    const size_t after = end + 2 + name.size();
    if (StartsWithIgnoringCase(m_input, end + 2, name) && after < m_input.size() &&
        (IsTagSpace(m_input[after]) || m_input[after] == L'/' || m_input[after] == L'>')) {
      break;
    }
    end += 2;
  }
  if (end == m_position)
    return false;
  token->kind = HtmlTokenKind::kText;
  token->rawText = true;
  token->text = m_input.substr(m_position, end - m_position);
  m_position = end;
  return true;
}

bool HtmlTokenizer::ReadTag(size_t at, HtmlToken* token) {
  const bool endTag = m_input[at + 1] == L'/';
  size_t position = at + (endTag ? 2 : 1);
  const size_t nameStart = position;
  while (position < m_input.size() && !IsTagSpace(m_input[position]) && m_input[position] != L'/' &&
         m_input[position] != L'>') {
    ++position;
  }
  token->kind = endTag ? HtmlTokenKind::kEndTag : HtmlTokenKind::kStartTag;
  token->name = NameOf(m_input.substr(nameStart, position - nameStart));
  AttributeNames names(token->attributes);
  auto skipSpace = [&] {
    while (position < m_input.size() && IsTagSpace(m_input[position]))
      ++position;
  };
  for (;;) {
    skipSpace();
    if (position >= m_input.size()) {
      m_position = m_input.size();  // cut off: no token
      return false;
    }
    const wchar_t ch = m_input[position];
    if (ch == L'>') {
      ++position;
      break;
    }
    if (ch == L'/') {
      ++position;
      if (position < m_input.size() && m_input[position] == L'>') {
        token->selfClosing = true;
        ++position;
        break;
      }
      continue;
    }
    // An attribute name runs to space, '/', '>' or '=' (a leading '=' belongs to it).
    const size_t attributeStart = position++;
    while (position < m_input.size() && !IsTagSpace(m_input[position]) &&
           m_input[position] != L'/' && m_input[position] != L'>' && m_input[position] != L'=') {
      ++position;
    }
    HtmlAttribute attribute;
    attribute.name = NameOf(m_input.substr(attributeStart, position - attributeStart));
    skipSpace();
    if (position < m_input.size() && m_input[position] == L'=') {
      ++position;
      if (!ReadAttributeValue(&position, &attribute.value))
        return false;
    }
    if (!endTag && names.IsNew(attribute.name))
      token->attributes.push_back(std::move(attribute));
  }
  m_position = position;
  if (endTag) {
    token->attributes.clear();
    token->selfClosing = false;
  } else if (HasTextContent(token->name)) {
    m_rawTextEnd = token->name;
  }
  return true;
}

bool HtmlTokenizer::ReadAttributeValue(size_t* position, std::wstring* value) {
  size_t at = *position;
  while (at < m_input.size() && IsTagSpace(m_input[at]))
    ++at;
  if (at >= m_input.size()) {
    m_position = m_input.size();
    return false;
  }
  std::wstring_view raw;
  const wchar_t quote = m_input[at];
  if (quote == L'"' || quote == L'\'') {
    const size_t close = m_input.find(quote, at + 1);
    if (close == std::wstring_view::npos) {
      m_position = m_input.size();
      return false;
    }
    raw = m_input.substr(at + 1, close - at - 1);
    at = close + 1;
  } else {
    const size_t valueStart = at;
    while (at < m_input.size() && !IsTagSpace(m_input[at]) && m_input[at] != L'>')
      ++at;
    raw = m_input.substr(valueStart, at - valueStart);
  }
  *position = at;
  *value = DecodeAttributeValue(raw);
  std::replace(value->begin(), value->end(), L'\0', static_cast<wchar_t>(0xFFFD));
  return true;
}

void HtmlTokenizer::ReadComment(size_t at, HtmlToken* token) {
  token->kind = HtmlTokenKind::kComment;
  const size_t start = at + 4;
  if (m_input.compare(start, 1, L">") == 0 || m_input.compare(start, 2, L"->") == 0) {
    token->text = std::wstring_view();
    m_position = start + (m_input[start] == L'>' ? 1 : 2);
    return;
  }
  // Ends at "-->" or "--!>"; at the end of the input without either.
  for (size_t dashes = m_input.find(L"--", start); dashes != std::wstring_view::npos;
       dashes = m_input.find(L"--", dashes + 1)) {
    if (m_input.compare(dashes + 2, 1, L">") == 0) {
      token->text = m_input.substr(start, dashes - start);
      m_position = dashes + 3;
      return;
    }
    if (m_input.compare(dashes + 2, 2, L"!>") == 0) {
      token->text = m_input.substr(start, dashes - start);
      m_position = dashes + 4;
      return;
    }
  }
  token->text = m_input.substr(start);
  m_position = m_input.size();
}

void HtmlTokenizer::ReadUntilGreater(size_t from, HtmlTokenKind kind, HtmlToken* token) {
  token->kind = kind;
  const size_t greater = m_input.find(L'>', from);
  const size_t end = greater == std::wstring_view::npos ? m_input.size() : greater;
  token->text = m_input.substr(from, end - from);
  m_position = greater == std::wstring_view::npos ? m_input.size() : greater + 1;
}

}  // namespace tp
