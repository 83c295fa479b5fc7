// Code-page conversions.
#include "support/code_pages.h"

#include <utility>

#include "host/codec.h"
#include "host/host.h"
#include "support/text.h"

namespace tp {

std::wstring CodePageToWide(uint32_t codePage, std::string_view bytes) {
  if (codePage == host::kCodePageUtf8)
    return Utf8ToWide(bytes);
  if (codePage == kCodePageUtf16Le)
    return Utf16LeToWide(bytes);
  if (codePage == kCodePageUtf16Be) {
    std::string swapped(bytes.substr(0, bytes.size() & ~size_t{1}));
    for (size_t i = 0; i + 1 < swapped.size(); i += 2)
      std::swap(swapped[i], swapped[i + 1]);
    return Utf16LeToWide(swapped);
  }
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
