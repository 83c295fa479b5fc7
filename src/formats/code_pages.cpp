// Code-page conversions.
#include "formats/code_pages.h"

#include <utility>

#include "base/seven_bit_cjk.h"
#include "base/text.h"
#include "host/codec.h"
#include "host/host.h"

namespace tp {

namespace {

constexpr uint32_t kGbk = 936;
constexpr uint32_t kUnifiedHangul = 949;
constexpr uint32_t kIso8859Hebrew = 28598;
constexpr uint32_t kEucJpTable = 20932;  // the EUC-JP that MultiByteToWideChar converts
constexpr uint32_t kGb18030 = 54936;

}  // namespace

std::wstring CodePageToWide(uint32_t codePage, std::string_view bytes) {
  host::TextCodec& codec = host::codec();
  switch (codePage) {
    case host::kCodePageUtf8:
      return Utf8ToWide(bytes);
    case kCodePageUtf16Le:
      return Utf16LeToWide(bytes);
    case kCodePageUtf16Be: {
      std::string swapped(bytes.substr(0, bytes.size() & ~size_t{1}));
      for (size_t i = 0; i + 1 < swapped.size(); i += 2)
        std::swap(swapped[i], swapped[i + 1]);
      return Utf16LeToWide(swapped);
    }
    // The 7-bit forms of East Asian mail, read in their 8-bit EUC form.
    case 50220:
    case 50221:
    case 50222:
      return codec.ToWide(kEucJpTable, Iso2022JpToEucJp(bytes));
    case 50225:
      return codec.ToWide(kUnifiedHangul, Iso2022KrToEucKr(bytes));
    case 52936:
      return codec.ToWide(kGbk, HzToGb2312(bytes));
    // MLang's numbers for code pages that MultiByteToWideChar knows under another: EUC-JP,
    // EUC-CN (GB 2312 within GBK), EUC-KR (KS X 1001 within Unified Hangul), and ISO 8859-8
    // in logical order (the same characters as in visual order).
    case 51932:
      return codec.ToWide(kEucJpTable, bytes);
    case 51936:
      return codec.ToWide(kGbk, bytes);
    case 51949:
      return codec.ToWide(kUnifiedHangul, bytes);
    case 38598:
      return codec.ToWide(kIso8859Hebrew, bytes);
    default:
      break;
  }
  std::wstring text = codec.ToWide(codePage, bytes);
  // A platform without GB 18030 still reads its two-byte part, which is GBK.
  if (text.empty() && codePage == kGb18030)
    text = codec.ToWide(kGbk, bytes);
  return text;
}

std::string WideToCodePage(uint32_t codePage, std::wstring_view text) {
  if (codePage == host::kCodePageUtf8)
    return WideToUtf8(text);
  if (codePage == kCodePageUtf16Le)
    return WideToUtf16Le(text);
  return host::codec().FromWide(codePage, text);
}

}  // namespace tp
