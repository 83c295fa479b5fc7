// libFuzzer target: the linear neutralising must give exactly the text and the styles of the
// literal restart-from-the-start algorithm, on any UTF-8 text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "literal_neutraliser.h"
#include "page/markup_neutraliser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring input =
      tp::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));
  std::wstring linear = input;
  std::vector<std::wstring> styles;
  tp::NeutraliseMarkup(&linear, &styles);
  std::wstring literal = input;
  std::wstring literalStyles;
  tp::testing::LiteralNeutraliseMarkup(&literal, &literalStyles);
  std::wstring joined;
  for (const std::wstring& style : styles)
    joined += style;
  if (linear != literal || joined != literalStyles)
    std::abort();
  return 0;
}
