// Reading MAPI string properties.
#include "branding/mapi_text.h"

#include "formats/code_pages.h"
#include "host/codec.h"

namespace tp {

bool ReadTextProp(host::MapiMessage& message, host::PropTag tag, std::wstring* text) {
  host::PropValue value;
  if (hr::Failed(message.GetProp(tag, &value)))
    return false;
  switch (host::PropType(value.tag)) {
    case host::kPtUnicode:
      *text = value.text;
      return true;
    case host::kPtString8:
      *text = CodePageToWide(host::kCodePageAnsi, value.bytes);
      return true;
    default:
      return false;
  }
}

}  // namespace tp
