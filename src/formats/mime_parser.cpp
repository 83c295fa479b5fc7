// MIME entity trees with bounded depth and part count.
#include "formats/mime_parser.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "formats/mime_encoding.h"

namespace tp::mime {
namespace {

// Longer boundaries than this (the standard allows 70) mark the multipart as malformed.
constexpr size_t kMaxBoundary = 200;

struct Delimiter {
  size_t start = 0;      // the first '-' of the delimiter line
  size_t afterLine = 0;  // just after its line end
  bool closing = false;  // "--boundary--"
};

class DelimiterFinder {
 public:
  explicit DelimiterFinder(std::string delimiter)
      : delimiter_(std::move(delimiter)), searcher_(delimiter_.begin(), delimiter_.end()) {}
  // The searcher points into delimiter_.
  DelimiterFinder(const DelimiterFinder&) = delete;
  DelimiterFinder& operator=(const DelimiterFinder&) = delete;

  // The next delimiter line at or after `from`: the delimiter at the start of a line,
  // optionally "--", optional blanks, then a line end or the end of the body.
  std::optional<Delimiter> Find(std::string_view body, size_t from) const {
    while (from < body.size()) {
      const auto found =
          std::search(body.begin() + static_cast<std::ptrdiff_t>(from), body.end(), searcher_);
      if (found == body.end())
        return std::nullopt;
      const size_t start = static_cast<size_t>(found - body.begin());
      from = start + 1;
      if (start != 0 && body[start - 1] != '\n')
        continue;
      Delimiter delimiter;
      delimiter.start = start;
      size_t pos = start + delimiter_.size();
      delimiter.closing = body.substr(pos, 2) == "--";
      if (delimiter.closing)
        pos += 2;
      while (pos < body.size() && (body[pos] == ' ' || body[pos] == '\t'))
        ++pos;
      if (pos < body.size() && body[pos] == '\r')
        ++pos;
      if (pos == body.size()) {
        delimiter.afterLine = pos;
        return delimiter;
      }
      if (body[pos] == '\n') {
        delimiter.afterLine = pos + 1;
        return delimiter;
      }
    }
    return std::nullopt;
  }

 private:
  std::string delimiter_;
  std::boyer_moore_horspool_searcher<std::string::const_iterator> searcher_;
};

class Parser {
 public:
  explicit Parser(const MimeLimits& limits) : limits_(limits) {}

  MimePart Parse(std::string_view entity, int depth, std::string_view defaultType) {
    ++parts_;
    HeaderBlock block = SplitHeaderBlock(entity);
    MimePart part;
    part.fields = std::move(block.fields);
    if (const HeaderField* type = FindField(part.fields, "Content-Type")) {
      part.contentType = ParseStructuredValue(Unfold(type->value));
    }
    if (part.contentType.token.find('/') == std::string::npos) {
      part.contentType.token = std::string(defaultType);
    }
    part.body = entity.substr(block.bodyOffset);
    if (part.IsMultipart() && depth < limits_.maxDepth)
      Divide(part, depth);
    return part;
  }

 private:
  void Divide(MimePart& part, int depth) {
    const auto boundary = part.contentType.params.find("boundary");
    if (boundary == part.contentType.params.end() || boundary->second.empty() ||
        boundary->second.size() > kMaxBoundary) {
      return;
    }
    const std::string_view childType =
        part.contentType.token == "multipart/digest" ? "message/rfc822" : "text/plain";
    const DelimiterFinder finder("--" + boundary->second);
    const std::string_view body = part.body;
    std::optional<Delimiter> current = finder.Find(body, 0);
    while (current && !current->closing) {
      if (parts_ >= limits_.maxParts) {
        part.truncated = true;
        return;
      }
      const size_t contentStart = current->afterLine;
      std::optional<Delimiter> next = finder.Find(body, contentStart);
      size_t contentEnd = body.size();
      if (next) {
        // The line end before a delimiter belongs to the delimiter.
        contentEnd = next->start;
        if (contentEnd > contentStart && body[contentEnd - 1] == '\n')
          --contentEnd;
        if (contentEnd > contentStart && body[contentEnd - 1] == '\r')
          --contentEnd;
      } else {
        part.truncated = true;
      }
      part.children.push_back(
          Parse(body.substr(contentStart, contentEnd - contentStart), depth + 1, childType));
      current = next;
    }
  }

  const MimeLimits& limits_;
  size_t parts_ = 0;
};

}  // namespace

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
