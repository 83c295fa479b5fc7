// An owned BSTR and its conversions to and from wide strings.
#pragma once

#include <string>
#include <string_view>

#include "host/win32/unique_resource.h"

namespace tp::host::win32 {

struct BstrTraits {
  using Handle = BSTR;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle text) { return text != nullptr; }
  static void Close(Handle text) { ::SysFreeString(text); }
};

class ScopedBstr : public UniqueResource<BstrTraits> {
 public:
  ScopedBstr() = default;
  // Copies the text, embedded zeros included; empty (null) when out of memory.
  explicit ScopedBstr(std::wstring_view text)
      : UniqueResource(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}

  // The text; a null BSTR is the empty text.
  static std::wstring ToWide(BSTR text) {
    return text == nullptr ? std::wstring() : std::wstring(text, ::SysStringLen(text));
  }
};

}  // namespace tp::host::win32
