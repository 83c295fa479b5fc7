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
  ::VariantInit(&value_);
  ScopedBstr bstr(text);
  if (!bstr)
    return;
  value_.vt = VT_BSTR;
  value_.bstrVal = bstr.Take();
}

ScopedVariant::ScopedVariant(int32_t number, VARTYPE type) noexcept {
  ::VariantInit(&value_);
  if (type == VT_INT) {
    value_.vt = VT_INT;
    value_.intVal = number;
  } else {
    value_.vt = VT_I4;
    value_.lVal = number;
  }
}

ScopedVariant ScopedVariant::Bool(bool value) noexcept {
  ScopedVariant result;
  result.value_.vt = VT_BOOL;
  result.value_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return result;
}

ScopedVariant::ScopedVariant(ScopedVariant&& other) noexcept {
  value_ = other.value_;
  ::VariantInit(&other.value_);
}

ScopedVariant& ScopedVariant::operator=(ScopedVariant&& other) noexcept {
  if (this != &other) {
    ::VariantClear(&value_);
    value_ = other.value_;
    ::VariantInit(&other.value_);
  }
  return *this;
}

std::optional<std::wstring> ScopedVariant::ToString(const VARIANT& value) {
  ScopedVariant converted;
  if (!Convert(value, VT_BSTR, converted.Receive()))
    return std::nullopt;
  return ScopedBstr::ToWide(converted.value_.bstrVal);
}

std::optional<int32_t> ScopedVariant::ToInt(const VARIANT& value) {
  ScopedVariant converted;
  if (!Convert(value, VT_I4, converted.Receive()))
    return std::nullopt;
  return static_cast<int32_t>(converted.value_.lVal);
}

std::optional<bool> ScopedVariant::ToBool(const VARIANT& value) {
  ScopedVariant converted;
  if (!Convert(value, VT_BOOL, converted.Receive()))
    return std::nullopt;
  return converted.value_.boolVal != VARIANT_FALSE;
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
  return ToString(value_);
}
std::optional<int32_t> ScopedVariant::AsInt() const {
  return ToInt(value_);
}
std::optional<bool> ScopedVariant::AsBool() const {
  return ToBool(value_);
}
ComPtr<IUnknown> ScopedVariant::AsUnknown() const {
  return ToUnknown(value_);
}
ComPtr<IDispatch> ScopedVariant::AsDispatch() const {
  return ToDispatch(value_);
}

}  // namespace tp::host::win32
