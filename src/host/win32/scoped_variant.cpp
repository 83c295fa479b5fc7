// VARIANT ownership and conversions.
#include "host/win32/scoped_variant.h"

#include "host/win32/scoped_bstr.h"

namespace tp::host::win32 {
namespace {

// VariantChangeType into `type`, following a reference; false when it does not convert.
bool Convert(const VARIANT& value, VARTYPE type, VARIANT* converted) {
  ::VariantInit(converted);
  return SUCCEEDED(::VariantChangeType(converted, const_cast<VARIANT*>(&value), 0, type));
}

}  // namespace

ScopedVariant::ScopedVariant(std::wstring_view text) {
  ::VariantInit(&m_value);
  ScopedBstr bstr(text);
  if (!bstr)
    return;
  m_value.vt = VT_BSTR;
  m_value.bstrVal = bstr.Take();
}

ScopedVariant::ScopedVariant(int32_t number, VARTYPE type) noexcept {
  ::VariantInit(&m_value);
  if (type == VT_INT) {
    m_value.vt = VT_INT;
    m_value.intVal = number;
  } else {
    m_value.vt = VT_I4;
    m_value.lVal = number;
  }
}

ScopedVariant ScopedVariant::Bool(bool value) noexcept {
  ScopedVariant result;
  result.m_value.vt = VT_BOOL;
  result.m_value.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return result;
}

ScopedVariant::ScopedVariant(ScopedVariant&& other) noexcept {
  m_value = other.m_value;
  ::VariantInit(&other.m_value);
}

ScopedVariant& ScopedVariant::operator=(ScopedVariant&& other) noexcept {
  if (this != &other) {
    ::VariantClear(&m_value);
    m_value = other.m_value;
    ::VariantInit(&other.m_value);
  }
  return *this;
}

std::optional<std::wstring> ScopedVariant::ToString(const VARIANT& value) {
  ScopedVariant converted;
  if (!Convert(value, VT_BSTR, converted.Receive()))
    return std::nullopt;
  return ScopedBstr::ToWide(converted.m_value.bstrVal);
}

std::optional<int32_t> ScopedVariant::ToInt(const VARIANT& value) {
  ScopedVariant converted;
  if (!Convert(value, VT_I4, converted.Receive()))
    return std::nullopt;
  return static_cast<int32_t>(converted.m_value.lVal);
}

std::optional<bool> ScopedVariant::ToBool(const VARIANT& value) {
  ScopedVariant converted;
  if (!Convert(value, VT_BOOL, converted.Receive()))
    return std::nullopt;
  return converted.m_value.boolVal != VARIANT_FALSE;
}

ComPtr<IUnknown> ScopedVariant::ToUnknown(const VARIANT& value) {
  IUnknown* object = nullptr;
  switch (value.vt) {
    case VT_UNKNOWN:
      object = value.punkVal;
      break;
    case VT_DISPATCH:
      object = value.pdispVal;
      break;
    case VT_UNKNOWN | VT_BYREF:
      object = value.ppunkVal != nullptr ? *value.ppunkVal : nullptr;
      break;
    case VT_DISPATCH | VT_BYREF:
      object = value.ppdispVal != nullptr ? *value.ppdispVal : nullptr;
      break;
    case VT_VARIANT | VT_BYREF:
      return value.pvarVal != nullptr ? ToUnknown(*value.pvarVal) : nullptr;
    default:
      return nullptr;
  }
  return ComPtr<IUnknown>(object);
}

ComPtr<IDispatch> ScopedVariant::ToDispatch(const VARIANT& value) {
  ComPtr<IUnknown> object = ToUnknown(value);
  ComPtr<IDispatch> dispatch;
  if (object)
    (void)object.As(IID_IDispatch, &dispatch);
  return dispatch;
}

std::optional<std::wstring> ScopedVariant::AsString() const {
  return ToString(m_value);
}
std::optional<int32_t> ScopedVariant::AsInt() const {
  return ToInt(m_value);
}
std::optional<bool> ScopedVariant::AsBool() const {
  return ToBool(m_value);
}
ComPtr<IUnknown> ScopedVariant::AsUnknown() const {
  return ToUnknown(m_value);
}
ComPtr<IDispatch> ScopedVariant::AsDispatch() const {
  return ToDispatch(m_value);
}

}  // namespace tp::host::win32
