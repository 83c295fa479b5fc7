// libFuzzer target: clear-signed entities through the cutter, held against other readers. A
// cut the cutter accepts must be the part every reader shows: the MIME reader that reads the
// message for display, a reader that wants each delimiter alone on its line, and one that
// takes any line starting with the delimiter (both ending lines at a carriage return alone
// too) must all find exactly two parts before the closing delimiter, the first being the
// signed bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "formats/mime_header.h"
#include "formats/mime_parser.h"
#include "other_readers.h"
#include "smime/smime_cutter.h"

namespace {

void Require(bool condition) {
  if (!condition)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view entity(reinterpret_cast<const char*>(data), size);
  std::wstring problem;
  const auto cut = tp::CutDetachedSignature(entity, &problem);
  if (!cut) {
    Require(!problem.empty());
    return 0;
  }
  Require(cut->signedPart.data() >= entity.data() &&
          cut->signedPart.data() + cut->signedPart.size() <= entity.data() + entity.size());

  const tp::mime::MimePart shown = tp::mime::ParseMimeEntity(entity);
  Require(shown.children.size() == 2 && shown.children[0].entity == cut->signedPart);

  const tp::mime::HeaderBlock header = tp::mime::SplitHeaderBlock(entity);
  const tp::mime::HeaderField* type = tp::mime::FindField(header.fields, "Content-Type");
  Require(type != nullptr);
  const std::string boundary =
      tp::mime::ParseStructuredValue(tp::mime::Unfold(type->value)).params.at("boundary");
  for (const auto rule :
       {tp::testing::DelimiterRule::kWholeLine, tp::testing::DelimiterRule::kLineStart}) {
    const tp::testing::OtherReading other =
        tp::testing::DivideAsOthersDo(entity.substr(header.bodyOffset), boundary, rule);
    Require(other.closed && other.parts.size() == 2 && other.parts[0] == cut->signedPart);
  }
  return 0;
}
