// The fields of a message's transport-header block, found in one pass over its lines: no
// recursion, no copy of the block, time linear in its length.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tp {

struct HeaderField {
  std::wstring_view name;  // the text before the first colon of the field's first line
  size_t start = 0;        // offset of the name
  size_t valueStart = 0;   // just after the colon (or the line's end when it has none)
  size_t end = 0;          // end of the field's last line, before its line feed
  size_t line = 0;         // zero-based line number of the name
  size_t lineCount = 1;    // lines the field spans, continuation lines included
  bool hasColon = false;

  bool Is(std::wstring_view fieldName) const;
};

class HeaderBlock {
 public:
  static constexpr size_t kAllLines = static_cast<size_t>(-1);

  // A line that begins with a character below 33 (space, tab, carriage return, a control
  // character) continues the field above it; any other line begins a field. Lines that begin
  // with white space before the first field continue nothing and are skipped.
  explicit HeaderBlock(std::wstring_view text);

  std::wstring_view text() const { return m_text; }
  const std::vector<HeaderField>& fields() const { return m_fields; }

  // Index of the first field called `name` (case ignored) in [from, to); npos when none.
  size_t Find(std::wstring_view name, size_t from = 0, size_t to = kAllLines) const;

  // The field's value unfolded (each line feed between its lines becomes a space; carriage
  // returns stay) and trimmed; only its first `lines` lines are taken.
  std::wstring Value(const HeaderField& field, size_t lines = kAllLines) const;
  // The field's lines (the name line first), each without its line feed.
  std::vector<std::wstring_view> Lines(const HeaderField& field) const;

 private:
  std::wstring_view m_text;
  std::vector<HeaderField> m_fields;
};

// The unfolded, trimmed value of the first field `name` (case ignored) in the block, the
// block's very first line included; empty when there is none.
std::wstring GetHeaderValue(std::wstring_view headers, std::wstring_view name);

}  // namespace tp
