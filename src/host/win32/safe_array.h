// An owned SAFEARRAY, and scoped access to the elements of one.
#pragma once

#include "host/win32/unique_resource.h"

namespace tp::host::win32 {

struct SafeArrayTraits {
  using Handle = SAFEARRAY*;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle array) { return array != nullptr; }
  static void Close(Handle array) { ::SafeArrayDestroy(array); }
};
using UniqueSafeArray = UniqueResource<SafeArrayTraits>;

// The elements of a one-dimensional array of VARIANT, locked while in scope.
class SafeArrayVariants {
 public:
  // Empty (valid() false) unless `array` is a one-dimensional array of VARIANT.
  explicit SafeArrayVariants(SAFEARRAY* array);
  ~SafeArrayVariants();
  SafeArrayVariants(const SafeArrayVariants&) = delete;
  SafeArrayVariants& operator=(const SafeArrayVariants&) = delete;

  bool valid() const { return m_data != nullptr; }
  size_t size() const { return m_size; }
  const VARIANT& operator[](size_t index) const { return m_data[index]; }

 private:
  SAFEARRAY* m_array = nullptr;
  VARIANT* m_data = nullptr;
  size_t m_size = 0;
};

}  // namespace tp::host::win32
