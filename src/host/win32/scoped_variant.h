// An owned VARIANT: cleared at the end of its scope, with the conversions the adapters need.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "host/win32/com_ptr.h"

namespace tp::host::win32 {

class ScopedVariant {
 public:
  ScopedVariant() noexcept { ::VariantInit(&m_value); }
  explicit ScopedVariant(std::wstring_view text);
  explicit ScopedVariant(int32_t number, VARTYPE type = VT_I4) noexcept;
  static ScopedVariant Bool(bool value) noexcept;
  ~ScopedVariant() { ::VariantClear(&m_value); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
  ScopedVariant(ScopedVariant&& other) noexcept;
  ScopedVariant& operator=(ScopedVariant&& other) noexcept;

  const VARIANT& get() const noexcept { return m_value; }
  VARTYPE type() const noexcept { return m_value.vt; }
  // Clears the value and gives its address to receive a new one.
  VARIANT* Receive() noexcept {
    ::VariantClear(&m_value);
    return &m_value;
  }

  // The value converted (VariantChangeType, through a reference when it is one); empty when
  // it does not convert.
  std::optional<std::wstring> AsString() const;
  std::optional<int32_t> AsInt() const;
  std::optional<bool> AsBool() const;
  // An object value (VT_DISPATCH or VT_UNKNOWN, also by reference); null otherwise.
  ComPtr<IUnknown> AsUnknown() const;
  ComPtr<IDispatch> AsDispatch() const;

  // The same conversions on a VARIANT owned elsewhere (a DISPPARAMS argument).
  static std::optional<std::wstring> ToString(const VARIANT& value);
  static std::optional<int32_t> ToInt(const VARIANT& value);
  static std::optional<bool> ToBool(const VARIANT& value);
  static ComPtr<IUnknown> ToUnknown(const VARIANT& value);
  static ComPtr<IDispatch> ToDispatch(const VARIANT& value);

 private:
  VARIANT m_value;
};

}  // namespace tp::host::win32
