// COM object identity.
#include "host/win32/com_ptr.h"

namespace tp::host::win32 {

bool SameObject(IUnknown* a, IUnknown* b) {
  if (a == nullptr || b == nullptr)
    return a == b;
  ComPtr<IUnknown> first;
  ComPtr<IUnknown> second;
  if (FAILED(a->QueryInterface(IID_IUnknown, first.ReceiveVoid())))
    return false;
  if (FAILED(b->QueryInterface(IID_IUnknown, second.ReceiveVoid())))
    return false;
  return first.get() == second.get();
}

}  // namespace tp::host::win32
