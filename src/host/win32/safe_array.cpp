// Scoped access to SAFEARRAY elements.
#include "host/win32/safe_array.h"

namespace tp::host::win32 {

SafeArrayVariants::SafeArrayVariants(SAFEARRAY* array) {
  if (array == nullptr || ::SafeArrayGetDim(array) != 1)
    return;
  VARTYPE type = VT_EMPTY;
  if (FAILED(::SafeArrayGetVartype(array, &type)) || type != VT_VARIANT)
    return;
  LONG lower = 0;
  LONG upper = -1;
  if (FAILED(::SafeArrayGetLBound(array, 1, &lower)) ||
      FAILED(::SafeArrayGetUBound(array, 1, &upper))) {
    return;
  }
  void* data = nullptr;
  if (FAILED(::SafeArrayAccessData(array, &data)))
    return;
  m_array = array;
  m_data = static_cast<VARIANT*>(data);
  m_size = upper >= lower ? static_cast<size_t>(upper - lower + 1) : 0;
}

SafeArrayVariants::~SafeArrayVariants() {
  if (m_array != nullptr)
    ::SafeArrayUnaccessData(m_array);
}

}  // namespace tp::host::win32
