// Reading MAPI string properties, whichever string type the store answers with.
#pragma once

#include <string>

#include "host/mapi.h"

namespace tp {

// The text of a string property: a Unicode value as it is, an 8-bit value converted from the
// system code page. False when the read fails or gives no string.
bool ReadTextProp(host::MapiMessage& message, host::PropTag tag, std::wstring* text);

}  // namespace tp
