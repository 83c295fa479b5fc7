// The header block at the start of a message or MIME part: its raw text, its fields, and
// the parameters of structured fields such as Content-Type.
#pragma once

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tp::mime {

struct HeaderField {
  std::string name;  // as written
  // Everything after the colon, folds kept as line feeds (each line's CR dropped).
  std::string value;
};

struct HeaderBlock {
  std::vector<HeaderField> fields;
  // The block's lines exactly as written, each ended by CR LF (whatever line end the input
  // used), without the blank line that closes the block.
  std::string raw;
  // Where the body starts: after the blank line, or at the first line that is neither a field
  // nor a continuation (a block without its blank line), or at the end of the input.
  size_t bodyOffset = 0;
};

// A message without what may precede its first header field: a UTF-8 byte-order mark,
// empty or white-space-only lines (some phones and webmail write them), and an mbox
// "From " separator line.
std::string_view SkipMessageLeadIn(std::string_view message);

// Splits the header block off an entity. A first line that is not a field gives no fields:
// the whole input is then body (bodyOffset 0), unless the input starts with the blank line.
HeaderBlock SplitHeaderBlock(std::string_view entity);

// The first field called `name` (letter case ignored), or null.
const HeaderField* FindField(const std::vector<HeaderField>& fields, std::string_view name);
// How many fields are called `name` (letter case ignored).
size_t CountFields(const std::vector<HeaderField>& fields, std::string_view name);

// Every field called `name` in a header block, as the most liberal of readers finds them:
// a line ends at CR LF, LF or a lone CR; the name matches in any letter case, with blanks
// before its colon; a line that starts with a blank continues the field above it; a line that
// is not a field ends nothing, so that fields after it still count. Each value is unfolded
// (see Unfold). Time is linear in the block's length.
std::vector<std::string> FindFieldsEverywhere(std::string_view block, std::string_view name);

// A field value with its folds undone (a line end followed by a blank is removed) and
// surrounding white space trimmed.
std::string Unfold(std::string_view value);

// A structured value such as `text/html; charset="utf-8"`: its leading token in lower case
// and its parameters by lower-case name. Quoted strings lose their quotes and escapes;
// comments in parentheses are skipped. A parameter given more than once keeps its first
// value. Where mail readers are known to differ, the parameter is named: one given more than
// once, and one written irregularly (a quote never closed, text after the closing quote, a
// comment, or blanks inside a value that is not quoted).
struct StructuredValue {
  std::string token;
  std::map<std::string, std::string> params;
  std::set<std::string> repeated;
  std::set<std::string> irregular;
};
StructuredValue ParseStructuredValue(std::string_view unfolded);

// A parameter as text: RFC 2231 forms (name*, name*0, name*0*, ...) put together and decoded
// from their charset, else the plain value with its encoded-words decoded. Empty when absent.
std::wstring ParameterText(const StructuredValue& value, const std::string& name);

}  // namespace tp::mime
