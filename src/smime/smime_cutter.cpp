// Cutting clear-signed S/MIME entities with the MIME reader.
#include "smime/smime_cutter.h"

#include "base/format.h"
#include "base/text.h"
#include "formats/base64.h"
#include "formats/mime_parser.h"

namespace tp {
namespace {

constexpr std::string_view kContentType = "content-type";

bool StartsWithIgnoreAsciiCase(std::string_view text, std::string_view lowerPrefix) {
  if (text.size() < lowerPrefix.size())
    return false;
  for (size_t i = 0; i < lowerPrefix.size(); ++i) {
    const char ch = text[i];
    if ((ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch) != lowerPrefix[i])
      return false;
  }
  return true;
}

bool IsSignatureType(const std::string& type) {
  return type == "application/pkcs7-signature" || type == "application/x-pkcs7-signature";
}

// The entity without the zero bytes that may pad its end; nothing when one stands inside it
// (a reader of zero-terminated text would stop there).
std::optional<std::string_view> WithoutEndPadding(std::string_view entity) {
  const size_t last = entity.find_last_not_of('\0');
  const std::string_view text = entity.substr(0, last == std::string_view::npos ? 0 : last + 1);
  if (text.find('\0') != std::string_view::npos)
    return std::nullopt;
  return text;
}

// Why the top of the entity is not a multipart/signed entity that every reader divides as
// this one does; empty when it is.
std::wstring ProblemWithTop(const mime::MimePart& top) {
  if (top.doubt == mime::StructureDoubt::kContentTypeRepeated)
    return mime::DescribeDoubt(top.doubt);
  if (top.contentType.token != "multipart/signed")
    return Format(L"its type is %s, not multipart/signed", Utf8ToWide(top.contentType.token));
  const auto boundary = top.contentType.params.find("boundary");
  if (boundary == top.contentType.params.end()) {
    return top.doubt == mime::StructureDoubt::kBoundaryContinued
               ? mime::DescribeDoubt(top.doubt)
               : L"its Content-Type has no boundary parameter";
  }
  if (boundary->second.empty())
    return L"its boundary is empty";
  if (boundary->second.size() > mime::kMaxBoundaryLength)
    return L"its boundary is longer than 200 characters";
  if (top.doubt != mime::StructureDoubt::kNone)
    return mime::DescribeDoubt(top.doubt);
  if (top.children.size() != 2) {
    if (top.children.size() < 2)
      return top.children.empty() ? L"it has no part" : L"it has one part only";
    return Format(L"it has %u parts where a signed entity has two",
                  static_cast<unsigned>(top.children.size()));
  }
  const mime::MimePart& signature = top.children[1];
  if (!IsSignatureType(signature.contentType.token)) {
    return Format(L"its second part is %s, not a PKCS #7 signature",
                  Utf8ToWide(signature.contentType.token));
  }
  return {};
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
  if (!StartsLikeMimeEntity(entity)) {
    *problem = L"it does not start with its Content-Type header";
    return std::nullopt;
  }
  const std::optional<std::string_view> text = WithoutEndPadding(entity);
  if (!text) {
    *problem = L"it holds a zero byte";
    return std::nullopt;
  }
  // Only the entity's own division counts: its parts are not divided further.
  mime::MimeLimits limits;
  limits.maxDepth = 1;
  const mime::MimePart top = mime::ParseMimeEntity(*text, limits);
  *problem = ProblemWithTop(top);
  if (!problem->empty())
    return std::nullopt;
  DetachedSignature cut;
  cut.signedPart = top.children[0].entity;
  // Signatures are written in Base64 whatever the part says (and Outlook's are).
  cut.signature = Base64DecodeLenient(top.children[1].body);
  return cut;
}

}  // namespace tp
