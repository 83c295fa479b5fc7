// The class factory of the add-in's COM classes: one factory object per class, made by
// DllGetClassObject from the class table.
#pragma once

#include "host/win32/com_object.h"
#include "host/win32/com_ptr.h"

namespace tp::addin {

// Makes one instance and queries it for `iid`.
using CreateInstanceFunction = HRESULT (*)(REFIID iid, void** object);

class ClassFactory final : public host::win32::ComObject<ClassFactory, IClassFactory> {
 public:
  // Null when out of memory.
  static host::win32::ComPtr<ClassFactory> Create(CreateInstanceFunction create);

  void* FindInterface(REFIID iid);

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  STDMETHODIMP LockServer(BOOL lock) override;

 private:
  explicit ClassFactory(CreateInstanceFunction create) : m_create(create) {}
  ~ClassFactory() override = default;

  CreateInstanceFunction m_create;
};

}  // namespace tp::addin
