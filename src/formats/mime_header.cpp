// Header blocks, fields and structured values.
#include "formats/mime_header.h"

#include <cctype>

#include "base/text.h"
#include "formats/encoded_words.h"
#include "formats/mime_charsets.h"

namespace tp::mime {
namespace {

// RFC 2231 continuations beyond this many pieces are ignored.
constexpr int kMaxContinuations = 256;

bool IsBlank(char ch) {
  return ch == ' ' || ch == '\t';
}
bool IsWhite(char ch) {
  return std::isspace(static_cast<unsigned char>(ch)) != 0;
}

// "Name:" or the obsolete "Name :": printable ASCII other than the colon, then the colon.
// Returns the length of the name, or 0 when the line is not a field.
size_t FieldNameLength(std::string_view line) {
  size_t i = 0;
  while (i < line.size() && line[i] > 32 && line[i] < 127 && line[i] != ':')
    ++i;
  const size_t nameLength = i;
  if (nameLength == 0)
    return 0;
  while (i < line.size() && IsBlank(line[i]))
    ++i;
  return i < line.size() && line[i] == ':' ? nameLength : 0;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& ch : out)
    ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return out;
}

std::string_view TrimWhite(std::string_view text) {
  while (!text.empty() && IsWhite(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsWhite(text.back()))
    text.remove_suffix(1);
  return text;
}

// Skips a comment that starts at `pos` (an opening parenthesis), nesting and escapes
// included; returns the position after it (the end when it is never closed).
size_t SkipComment(std::string_view text, size_t pos) {
  int depth = 0;
  for (; pos < text.size(); ++pos) {
    const char ch = text[pos];
    if (ch == '\\') {
      ++pos;
    } else if (ch == '(') {
      ++depth;
    } else if (ch == ')' && --depth == 0) {
      return pos + 1;
    }
  }
  return text.size();
}

// Reads a quoted string that starts at `pos` (the opening quote) into *out; returns the
// position after the closing quote (the end when there is none, with *closed false).
size_t ReadQuoted(std::string_view text, size_t pos, std::string* out, bool* closed = nullptr) {
  for (++pos; pos < text.size(); ++pos) {
    const char ch = text[pos];
    if (ch == '"') {
      if (closed != nullptr)
        *closed = true;
      return pos + 1;
    }
    if (ch == '\\' && pos + 1 < text.size()) {
      out->push_back(text[++pos]);
    } else {
      out->push_back(ch);
    }
  }
  if (closed != nullptr)
    *closed = false;
  return text.size();
}

// Text up to the next ';' outside quotes, with comments dropped and quotes removed.
size_t ReadUntilSemicolon(std::string_view text, size_t pos, std::string* out) {
  while (pos < text.size() && text[pos] != ';') {
    if (text[pos] == '(') {
      pos = SkipComment(text, pos);
    } else if (text[pos] == '"') {
      pos = ReadQuoted(text, pos, out);
    } else {
      out->push_back(text[pos++]);
    }
  }
  return pos;
}

// Splits "charset'language'value" of an extended parameter's first piece.
std::string_view TakeCharsetPrefix(std::string_view value, std::string* charset) {
  const size_t first = value.find('\'');
  if (first == std::string_view::npos)
    return value;
  const size_t second = value.find('\'', first + 1);
  if (second == std::string_view::npos)
    return value;
  *charset = std::string(value.substr(0, first));
  return value.substr(second + 1);
}

}  // namespace

std::string_view SkipMessageLeadIn(std::string_view message) {
  if (message.substr(0, 3) == "\xEF\xBB\xBF")
    message.remove_prefix(3);
  bool separatorSeen = false;
  while (!message.empty()) {
    const size_t lineFeed = message.find('\n');
    const size_t next = lineFeed == std::string_view::npos ? message.size() : lineFeed + 1;
    const std::string_view line = message.substr(0, next);
    const bool blank = line.find_first_not_of(" \t\r\n\f\v") == std::string_view::npos;
    // "From sender date" separates messages in an mbox file; "From  : sender" is a field.
    const bool separator = line.substr(0, 5) == "From " && FieldNameLength(line) == 0;
    if (!blank && (separatorSeen || !separator))
      break;
    separatorSeen = separatorSeen || !blank;
    message.remove_prefix(next);
  }
  return message;
}

HeaderBlock SplitHeaderBlock(std::string_view entity) {
  HeaderBlock block;
  size_t pos = 0;
  while (pos < entity.size()) {
    const size_t lineFeed = entity.find('\n', pos);
    const size_t lineEnd = lineFeed == std::string_view::npos ? entity.size() : lineFeed;
    const size_t next = lineFeed == std::string_view::npos ? entity.size() : lineFeed + 1;
    std::string_view line = entity.substr(pos, lineEnd - pos);
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    if (line.empty()) {
      block.bodyOffset = next;
      return block;
    }
    if (IsBlank(line.front()) && !block.fields.empty()) {
      block.fields.back().value += '\n';
      block.fields.back().value.append(line);
    } else if (const size_t nameLength = FieldNameLength(line); nameLength > 0) {
      HeaderField field;
      field.name = std::string(line.substr(0, nameLength));
      field.value = std::string(line.substr(line.find(':') + 1));
      block.fields.push_back(std::move(field));
    } else {
      block.bodyOffset = pos;
      return block;
    }
    block.raw.append(line);
    block.raw += "\r\n";
    pos = next;
  }
  block.bodyOffset = entity.size();
  return block;
}

const HeaderField* FindField(const std::vector<HeaderField>& fields, std::string_view name) {
  const std::string wanted = Lower(name);
  for (const HeaderField& field : fields) {
    if (field.name.size() == wanted.size() && Lower(field.name) == wanted)
      return &field;
  }
  return nullptr;
}

std::vector<std::string> FindFieldsEverywhere(std::string_view block, std::string_view name) {
  const std::string wanted = Lower(name);
  std::vector<std::string> values;
  std::string value;
  bool inField = false;  // the lines being read belong to a field called `name`
  auto finish = [&] {
    if (inField)
      values.push_back(Unfold(value));
    inField = false;
  };
  size_t pos = 0;
  while (pos < block.size()) {
    size_t lineEnd = pos;
    while (lineEnd < block.size() && block[lineEnd] != '\r' && block[lineEnd] != '\n')
      ++lineEnd;
    const std::string_view line = block.substr(pos, lineEnd - pos);
    pos = lineEnd;
    if (pos < block.size())
      pos += block.compare(pos, 2, "\r\n") == 0 ? 2 : 1;
    if (!line.empty() && IsBlank(line.front())) {
      if (inField) {
        value += '\n';
        value.append(line);
      }
      continue;
    }
    finish();
    const size_t nameLength = FieldNameLength(line);
    if (nameLength == wanted.size() && Lower(line.substr(0, nameLength)) == wanted) {
      inField = true;
      value.assign(line.substr(line.find(':') + 1));
    }
  }
  finish();
  return values;
}

size_t CountFields(const std::vector<HeaderField>& fields, std::string_view name) {
  const std::string wanted = Lower(name);
  size_t count = 0;
  for (const HeaderField& field : fields) {
    if (field.name.size() == wanted.size() && Lower(field.name) == wanted)
      ++count;
  }
  return count;
}

std::string Unfold(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\n' && i + 1 < value.size() && IsBlank(value[i + 1]))
      continue;
    out += value[i];
  }
  return std::string(TrimWhite(out));
}

StructuredValue ParseStructuredValue(std::string_view unfolded) {
  StructuredValue result;
  std::string token;
  size_t pos = ReadUntilSemicolon(unfolded, 0, &token);
  result.token = Lower(TrimWhite(token));
  while (pos < unfolded.size()) {
    ++pos;  // the ';'
    const size_t equals = unfolded.find_first_of("=;", pos);
    if (equals == std::string_view::npos || unfolded[equals] == ';') {
      pos = equals == std::string_view::npos ? unfolded.size() : equals;
      continue;  // a parameter without a value
    }
    const std::string name = Lower(TrimWhite(unfolded.substr(pos, equals - pos)));
    std::string value;
    bool irregular = false;
    pos = equals + 1;
    while (pos < unfolded.size() && IsWhite(unfolded[pos]))
      ++pos;
    if (pos < unfolded.size() && unfolded[pos] == '"') {
      // A quoted value is kept exactly; anything after it up to the ';' is ignored.
      bool closed = false;
      std::string ignored;
      pos = ReadUntilSemicolon(unfolded, ReadQuoted(unfolded, pos, &value, &closed), &ignored);
      irregular = !closed || !TrimWhite(ignored).empty();
    } else {
      const size_t start = pos;
      pos = ReadUntilSemicolon(unfolded, pos, &value);
      const std::string_view written = TrimWhite(unfolded.substr(start, pos - start));
      irregular = written.find_first_of("\"( \t\r\n") != std::string_view::npos;
      value = std::string(TrimWhite(value));
    }
    if (name.empty())
      continue;
    if (result.params.count(name) != 0) {
      result.repeated.insert(name);
      continue;
    }
    result.params[name] = value;
    if (irregular)
      result.irregular.insert(name);
  }
  return result;
}

std::wstring ParameterText(const StructuredValue& value, const std::string& name) {
  const auto& params = value.params;
  if (auto extended = params.find(name + "*"); extended != params.end()) {
    std::string charset;
    const std::string_view encoded = TakeCharsetPrefix(extended->second, &charset);
    return DecodeCharset(PercentDecode(encoded), charset);
  }
  if (params.count(name + "*0") != 0 || params.count(name + "*0*") != 0) {
    std::string charset;
    std::string bytes;
    for (int index = 0; index < kMaxContinuations; ++index) {
      const std::string piece = name + "*" + std::to_string(index);
      if (auto encoded = params.find(piece + "*"); encoded != params.end()) {
        std::string_view text = encoded->second;
        if (index == 0)
          text = TakeCharsetPrefix(text, &charset);
        bytes += PercentDecode(text);
      } else if (auto plain = params.find(piece); plain != params.end()) {
        bytes += plain->second;
      } else {
        break;
      }
    }
    return DecodeCharset(bytes, charset);
  }
  if (auto plain = params.find(name); plain != params.end()) {
    return DecodeHeaderText(plain->second);
  }
  return {};
}

}  // namespace tp::mime
