// The class factory.
#include "addin/com/class_factory.h"

#include <new>

namespace tp::addin {
namespace {
using host::win32::Expose;
using host::win32::QueryEntry;

constexpr QueryEntry kInterfaces[] = {
    Expose<ClassFactory, IClassFactory>(IID_IClassFactory),
};
}  // namespace

host::win32::ComPtr<ClassFactory> ClassFactory::Create(CreateInstanceFunction create) {
  return host::win32::ComPtr<ClassFactory>::Adopt(new (std::nothrow) ClassFactory(create));
}

void* ClassFactory::FindInterface(REFIID iid) {
  return host::win32::FindInTable(this, kInterfaces, iid);
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (object == nullptr)
    return E_POINTER;
  *object = nullptr;
  if (outer != nullptr)
    return CLASS_E_NOAGGREGATION;
  try {
    return m_create(iid, object);
  } catch (...) {
    return E_UNEXPECTED;
  }
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
  if (lock) {
    host::win32::LockModule();
  } else {
    host::win32::UnlockModule();
  }
  return S_OK;
}

}  // namespace tp::addin
