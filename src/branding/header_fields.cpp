// The line scanner of a transport-header block.
#include "branding/header_fields.h"

#include "base/text.h"

namespace tp {
namespace {

bool ContinuesField(wchar_t first) {
  return first < 33;
}

}  // namespace

bool HeaderField::Is(std::wstring_view fieldName) const {
  return hasColon && EqualsIgnoreAsciiCase(name, fieldName);
}

HeaderBlock::HeaderBlock(std::wstring_view text) : m_text(text) {
  size_t lineStart = 0;
  size_t lineNumber = 0;
  while (lineStart < text.size()) {
    size_t lineEnd = text.find(L'\n', lineStart);
    if (lineEnd == std::wstring_view::npos)
      lineEnd = text.size();
    if (ContinuesField(text[lineStart])) {
      if (!m_fields.empty()) {
        m_fields.back().end = lineEnd;
        ++m_fields.back().lineCount;
      }
    } else {
      HeaderField field;
      field.start = lineStart;
      field.line = lineNumber;
      field.end = lineEnd;
      const size_t colon = text.find(L':', lineStart);
      field.hasColon = colon < lineEnd;
      const size_t nameEnd = field.hasColon ? colon : lineEnd;
      field.name = text.substr(lineStart, nameEnd - lineStart);
      field.valueStart = field.hasColon ? colon + 1 : lineEnd;
      m_fields.push_back(field);
    }
    lineStart = lineEnd + 1;
    ++lineNumber;
  }
}

size_t HeaderBlock::Find(std::wstring_view name, size_t from, size_t to) const {
  for (size_t i = from; i < m_fields.size() && i < to; ++i) {
    if (m_fields[i].Is(name))
      return i;
  }
  return std::wstring_view::npos;
}

std::vector<std::wstring_view> HeaderBlock::Lines(const HeaderField& field) const {
  std::vector<std::wstring_view> lines;
  size_t lineStart = field.start;
  while (lineStart <= field.end) {
    size_t lineEnd = m_text.find(L'\n', lineStart);
    if (lineEnd == std::wstring_view::npos || lineEnd > field.end)
      lineEnd = field.end;
    lines.push_back(m_text.substr(lineStart, lineEnd - lineStart));
    lineStart = lineEnd + 1;
  }
  return lines;
}

std::wstring HeaderBlock::Value(const HeaderField& field, size_t lines) const {
  if (lines == 0)
    return {};
  std::wstring value;
  value.reserve(field.end - field.valueStart);
  size_t taken = 1;
  for (size_t i = field.valueStart; i < field.end; ++i) {
    wchar_t ch = m_text[i];
    if (ch == L'\n') {
      if (++taken > lines)
        break;
      ch = L' ';
    }
    value += ch;
  }
  const std::wstring_view trimmed = Trim(value);
  return std::wstring(trimmed);
}

std::wstring GetHeaderValue(std::wstring_view headers, std::wstring_view name) {
  const HeaderBlock block(headers);
  const size_t found = block.Find(name);
  return found == std::wstring_view::npos ? std::wstring() : block.Value(block.fields()[found]);
}

}  // namespace tp
