// The base of the COM objects this module implements: an interlocked reference count, the
// module lock, and QueryInterface from a small table of the interfaces the class exposes.
// A class derives from ComObject<Class, Interface...>, makes its destructor private, is made
// with `new (std::nothrow)` and dies by `delete this` when its last reference goes.
#pragma once

#include <span>

#include "host/win32/module_lock.h"
#include "host/win32/win32_api.h"

namespace tp::host::win32 {

// One row of a QueryInterface table: the interface id and the cast to that interface.
struct QueryEntry {
  const IID* iid;
  void* (*cast)(void* object);
};

// A table row exposing `Interface` of `Object` under `iid`.
template <class Object, class Interface>
constexpr QueryEntry Expose(const IID& iid) {
  return QueryEntry{&iid, [](void* object) -> void* {
                      return static_cast<Interface*>(static_cast<Object*>(object));
                    }};
}

// Looks `iid` up in the table; IUnknown is the first row's interface.
void* FindInTable(void* object, std::span<const QueryEntry> table, REFIID iid);

// The interfaces have no virtual destructor (COM objects die by Release); ComObject has one.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
template <class Derived, class... Interfaces>
class ComObject : public Interfaces... {
 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  // The derived class answers `void* FindInterface(REFIID)`, normally FindInTable over its
  // table; null for an interface it does not have.
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr)
      return E_POINTER;
    *object = static_cast<Derived*>(this)->FindInterface(iid);
    if (*object == nullptr)
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override {
    return static_cast<ULONG>(::InterlockedIncrement(&m_references));
  }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG left = ::InterlockedDecrement(&m_references);
    if (left == 0)
      delete this;
    return static_cast<ULONG>(left);
  }

 protected:
  // Starts with one reference, owned by the creator.
  ComObject() { LockModule(); }
  virtual ~ComObject() { UnlockModule(); }

 private:
  volatile LONG m_references = 1;
};
#pragma GCC diagnostic pop

}  // namespace tp::host::win32
