// Cutting clear-signed S/MIME entities.
#include "net/smime_cutter.h"

#include <vector>

#include "net/base64.h"

namespace tp {
namespace {

constexpr std::string_view kContentType = "content-type";
constexpr std::string_view kBoundary = "boundary=";
constexpr std::string_view kHeaderEnd = "\r\n\r\n";

char LowerAscii(char ch) {
  return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
}

bool StartsWithIgnoreAsciiCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size())
    return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (LowerAscii(text[i]) != prefix[i])
      return false;
  }
  return true;
}

// Finds a delimiter in linear time whatever the text (Knuth-Morris-Pratt): a boundary of
// dashes in a body of dashes must not cost boundary length times body length.
class DelimiterSearch {
 public:
  explicit DelimiterSearch(std::string_view pattern)
      : pattern_(pattern), fallback_(pattern.size()) {
    size_t matched = 0;
    for (size_t i = 1; i < pattern_.size(); ++i) {
      while (matched > 0 && pattern_[i] != pattern_[matched])
        matched = fallback_[matched - 1];
      if (pattern_[i] == pattern_[matched])
        ++matched;
      fallback_[i] = matched;
    }
  }

  size_t Find(std::string_view text, size_t from) const {
    size_t matched = 0;
    for (size_t i = from; i < text.size(); ++i) {
      while (matched > 0 && text[i] != pattern_[matched])
        matched = fallback_[matched - 1];
      if (text[i] == pattern_[matched])
        ++matched;
      if (matched == pattern_.size())
        return i + 1 - matched;
    }
    return std::string_view::npos;
  }

 private:
  std::string_view pattern_;
  std::vector<size_t> fallback_;  // longest proper prefix that is also a suffix, per length
};

bool IsParameterSeparator(char ch) {
  return ch == ';' || ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
}

// The boundary parameter of the entity's header block: its value and where the value ends
// (after a closing quote). The name must stand alone ("xboundary=" is another parameter).
struct BoundaryValue {
  std::string_view value;
  size_t end = 0;
};

size_t FindIgnoreAsciiCase(std::string_view text, std::string_view lowerNeedle, size_t from) {
  for (size_t i = from; i + lowerNeedle.size() <= text.size(); ++i) {
    if (StartsWithIgnoreAsciiCase(text.substr(i), lowerNeedle))
      return i;
  }
  return std::string_view::npos;
}

std::optional<BoundaryValue> FindBoundary(std::string_view header, std::wstring* problem) {
  size_t at = FindIgnoreAsciiCase(header, kBoundary, 0);
  while (at != std::string_view::npos && (at == 0 || !IsParameterSeparator(header[at - 1])))
    at = FindIgnoreAsciiCase(header, kBoundary, at + 1);
  if (at == std::string_view::npos) {
    *problem = L"its Content-Type has no boundary parameter";
    return std::nullopt;
  }
  const size_t start = at + kBoundary.size();
  BoundaryValue boundary;
  if (start < header.size() && header[start] == '"') {
    const size_t close = header.find('"', start + 1);
    if (close == std::string_view::npos) {
      *problem = L"its boundary has no closing quote";
      return std::nullopt;
    }
    boundary.value = header.substr(start + 1, close - start - 1);
    boundary.end = close + 1;
  } else {
    size_t end = start;
    while (end < header.size() && !IsParameterSeparator(header[end]) && header[end] != '"')
      ++end;
    boundary.value = header.substr(start, end - start);
    boundary.end = end;
  }
  if (boundary.value.empty()) {
    *problem = L"its boundary is empty";
    return std::nullopt;
  }
  if (boundary.value.size() > kMaximumBoundaryLength) {
    *problem = L"its boundary is longer than 200 characters";
    return std::nullopt;
  }
  return boundary;
}

}  // namespace

bool StartsLikeMimeEntity(std::string_view data) {
  return StartsWithIgnoreAsciiCase(data, kContentType);
}

std::optional<DetachedSignature> CutDetachedSignature(std::string_view entity,
                                                      std::wstring* problem) {
  if (entity.size() < kMinimumSignedEntitySize) {
    *problem = L"shorter than 100 bytes";
    return std::nullopt;
  }
  // The entity is read as zero-terminated text.
  const std::string_view text = entity.substr(0, entity.find('\0'));
  if (!StartsLikeMimeEntity(text)) {
    *problem = L"it does not start with its Content-Type header";
    return std::nullopt;
  }
  // The boundary is a parameter of the entity's own header, never a text in its body.
  const std::string_view header = text.substr(0, text.find(kHeaderEnd));
  const std::optional<BoundaryValue> boundary = FindBoundary(header, problem);
  if (!boundary)
    return std::nullopt;

  const std::string delimiter = "--" + std::string(boundary->value);
  const DelimiterSearch search(delimiter);
  const size_t first = search.Find(text, boundary->end);
  if (first == std::string_view::npos) {
    *problem = L"its boundary never occurs";
    return std::nullopt;
  }
  size_t start = first + delimiter.size();
  if (start < text.size() && text[start] == '\r')
    ++start;
  if (start < text.size() && text[start] == '\n')
    ++start;
  const size_t second = search.Find(text, start);
  if (second == std::string_view::npos) {
    *problem = L"its signed part has no closing delimiter";
    return std::nullopt;
  }
  size_t end = second;
  if (end > start && text[end - 1] == '\n')
    --end;
  if (end > start && text[end - 1] == '\r')
    --end;

  const size_t headerEnd = text.find(kHeaderEnd, end);
  if (headerEnd == std::string_view::npos) {
    *problem = L"its signature part has no header block";
    return std::nullopt;
  }
  const size_t signatureStart = headerEnd + kHeaderEnd.size();
  const size_t third = search.Find(text, signatureStart);
  if (third == std::string_view::npos) {
    *problem = L"its signature part has no closing delimiter";
    return std::nullopt;
  }
  DetachedSignature cut;
  cut.signedPart = text.substr(start, end - start);
  cut.signature = Base64DecodeLenient(text.substr(signatureStart, third - signatureStart));
  return cut;
}

}  // namespace tp
