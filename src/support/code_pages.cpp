// Code-page conversions.
#include "support/code_pages.h"

#include "host/codec.h"
#include "host/host.h"
#include "support/text.h"

namespace tp {

std::wstring CodePageToWide(uint32_t codePage, std::string_view bytes) {
  if (codePage == host::kCodePageUtf8)
    return Utf8ToWide(bytes);
  if (codePage == kCodePageUtf16Le)
    return Utf16LeToWide(bytes);
  return host::codec().ToWide(codePage, bytes);
}

std::string WideToCodePage(uint32_t codePage, std::wstring_view text) {
  if (codePage == host::kCodePageUtf8)
    return WideToUtf8(text);
  if (codePage == kCodePageUtf16Le)
    return WideToUtf16Le(text);
  return host::codec().FromWide(codePage, text);
}

}  // namespace tp
