// MIME entity trees with bounded depth and part count.
#include "formats/mime_parser.h"

#include <optional>

#include "formats/mime_encoding.h"
#include "formats/occurrences.h"

namespace tp::mime {
namespace {

struct DelimiterLine {
  size_t afterLine = 0;  // just after its line end (or the end of the body)
  bool closing = false;  // "--boundary--"
};

bool IsBlank(char ch) {
  return ch == ' ' || ch == '\t';
}

// The delimiter line whose delimiter ends at `end`: optionally "--", transport padding
// (blanks), then a line end or the end of the body. Nothing when the line goes on otherwise.
std::optional<DelimiterLine> ReadDelimiterLine(std::string_view body, size_t end) {
  DelimiterLine line;
  size_t pos = end;
  line.closing = body.substr(pos, 2) == "--";
  if (line.closing)
    pos += 2;
  while (pos < body.size() && IsBlank(body[pos]))
    ++pos;
  if (pos < body.size() && body[pos] == '\r')
    ++pos;
  if (pos == body.size()) {
    line.afterLine = pos;
    return line;
  }
  if (body[pos] != '\n')
    return std::nullopt;
  line.afterLine = pos + 1;
  return line;
}

// Characters that some readers take otherwise than others in a boundary: control characters
// and 8-bit bytes (read in differing charsets), an encoded-word (decoded by some), and
// trailing blanks (which a delimiter line's transport padding would swallow).
bool HasDoubtfulCharacters(std::string_view boundary) {
  if (IsBlank(boundary.back()) || boundary.find("=?") != std::string_view::npos)
    return true;
  for (const char ch : boundary) {
    const auto byte = static_cast<unsigned char>(ch);
    if (byte < 0x20 || byte >= 0x7F)
      return true;
  }
  return false;
}

bool HasContinuedForm(const StructuredValue& value, const std::string& name) {
  const auto after = value.params.lower_bound(name + "*");
  return after != value.params.end() && after->first.rfind(name + "*", 0) == 0;
}

class Parser {
 public:
  explicit Parser(const MimeLimits& limits) : m_limits(limits) {}

  MimePart Parse(std::string_view entity, int depth, std::string_view defaultType) {
    ++m_parts;
    HeaderBlock block = SplitHeaderBlock(entity);
    MimePart part;
    part.entity = entity;
    part.fields = std::move(block.fields);
    if (const HeaderField* type = FindField(part.fields, "Content-Type")) {
      part.contentType = ParseStructuredValue(Unfold(type->value));
      if (CountFields(part.fields, "Content-Type") > 1)
        part.doubt = StructureDoubt::kContentTypeRepeated;
    }
    if (part.contentType.token.find('/') == std::string::npos) {
      part.contentType.token = std::string(defaultType);
    }
    part.body = entity.substr(block.bodyOffset);
    if (part.IsMultipart() && depth < m_limits.maxDepth)
      Divide(part, depth);
    return part;
  }

 private:
  static void Doubt(MimePart& part, StructureDoubt doubt) {
    if (part.doubt == StructureDoubt::kNone)
      part.doubt = doubt;
  }

  void Divide(MimePart& part, int depth) {
    const StructuredValue& type = part.contentType;
    if (HasContinuedForm(type, "boundary"))
      Doubt(part, StructureDoubt::kBoundaryContinued);
    const auto found = type.params.find("boundary");
    if (found == type.params.end() || found->second.empty() ||
        found->second.size() > kMaxBoundaryLength) {
      return;
    }
    const std::string& boundary = found->second;
    if (type.repeated.count("boundary") != 0)
      Doubt(part, StructureDoubt::kBoundaryRepeated);
    if (type.irregular.count("boundary") != 0)
      Doubt(part, StructureDoubt::kBoundaryIrregular);
    if (HasDoubtfulCharacters(boundary))
      Doubt(part, StructureDoubt::kBoundaryCharacters);

    const std::string_view childType =
        type.token == "multipart/digest" ? "message/rfc822" : "text/plain";
    const std::string delimiter = "--" + boundary;
    const std::string_view body = part.body;
    Occurrences occurrences(body, delimiter);
    size_t partStart = std::string_view::npos;  // of the part being read, after its delimiter
    bool closed = false;
    for (size_t at = occurrences.Next(); at != std::string_view::npos; at = occurrences.Next()) {
      if (at > 0 && body[at - 1] == '\r') {
        // A carriage return alone ends a line for some readers.
        Doubt(part, StructureDoubt::kDelimiterAfterCarriageReturn);
        continue;
      }
      if (at > 0 && body[at - 1] != '\n')
        continue;
      const std::optional<DelimiterLine> line = ReadDelimiterLine(body, at + delimiter.size());
      if (!line) {
        // The standard lets a line that merely starts with the delimiter end the part; most
        // readers want the delimiter alone on its line.
        Doubt(part, StructureDoubt::kLineStartsWithDelimiter);
        continue;
      }
      if (closed) {
        Doubt(part, StructureDoubt::kDelimiterAfterClose);
        continue;
      }
      if (partStart != std::string_view::npos)
        AddChild(part, partStart, at, depth, childType);
      partStart = std::string_view::npos;
      if (line->closing) {
        closed = true;  // the epilogue is still searched for delimiters
        continue;
      }
      if (m_parts >= m_limits.maxParts) {
        part.truncated = true;
        return;
      }
      partStart = line->afterLine;
    }
    if (!closed) {
      Doubt(part, StructureDoubt::kNoClosingDelimiter);
      if (partStart != std::string_view::npos) {
        AddChild(part, partStart, std::string_view::npos, depth, childType);
        part.truncated = true;
      }
    }
  }

  // The part from `start` to the delimiter at `delimiter` (npos: the end of the body), whose
  // line end before the delimiter belongs to the delimiter.
  void AddChild(MimePart& part, size_t start, size_t delimiter, int depth,
                std::string_view childType) {
    const std::string_view body = part.body;
    size_t end = delimiter == std::string_view::npos ? body.size() : delimiter;
    if (delimiter != std::string_view::npos) {
      if (end > start && body[end - 1] == '\n')
        --end;
      if (end > start && body[end - 1] == '\r')
        --end;
    }
    part.children.push_back(Parse(body.substr(start, end - start), depth + 1, childType));
  }

  const MimeLimits& m_limits;
  size_t m_parts = 0;
};

}  // namespace

const wchar_t* DescribeDoubt(StructureDoubt doubt) {
  switch (doubt) {
    case StructureDoubt::kNone:
      return L"nothing";
    case StructureDoubt::kContentTypeRepeated:
      return L"its Content-Type header is given more than once";
    case StructureDoubt::kBoundaryRepeated:
      return L"its boundary parameter is given more than once";
    case StructureDoubt::kBoundaryIrregular:
      return L"its boundary parameter is written irregularly";
    case StructureDoubt::kBoundaryContinued:
      return L"its boundary is also given in RFC 2231 pieces";
    case StructureDoubt::kBoundaryCharacters:
      return L"its boundary holds characters that readers take differently";
    case StructureDoubt::kLineStartsWithDelimiter:
      return L"a line starts with the delimiter but goes on otherwise";
    case StructureDoubt::kDelimiterAfterCarriageReturn:
      return L"a delimiter follows a carriage return without a line feed";
    case StructureDoubt::kNoClosingDelimiter:
      return L"its closing delimiter is missing";
    case StructureDoubt::kDelimiterAfterClose:
      return L"a delimiter follows its closing delimiter";
  }
  return L"an unknown doubt";
}

std::string MimePart::DecodedBody() const {
  const HeaderField* encoding = FindField(fields, "Content-Transfer-Encoding");
  if (encoding == nullptr || IsMultipart())
    return std::string(body);
  return DecodeTransferEncoding(Unfold(encoding->value), body);
}

MimePart ParseMimeEntity(std::string_view bytes, const MimeLimits& limits,
                         std::string_view defaultType) {
  Parser parser(limits);
  return parser.Parse(bytes, 0, defaultType);
}

}  // namespace tp::mime
