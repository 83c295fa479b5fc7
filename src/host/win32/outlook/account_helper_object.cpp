// The IOlkAccountHelper COM object.
#include "host/win32/outlook/account_helper_object.h"

#include <new>

#include "host/win32/outlook/mapi_objects.h"
#include "host/win32/outlook/outlook_ids.h"

namespace tp::host::win32 {
namespace {
constexpr QueryEntry kInterfaces[] = {
    Expose<AccountHelperObject, IOlkAccountHelper>(kIidOlkAccountHelper),
};
}  // namespace

ComPtr<AccountHelperObject> AccountHelperObject::Create(std::shared_ptr<OlkAccountHelper> helper) {
  return ComPtr<AccountHelperObject>::Adopt(new (std::nothrow)
                                                AccountHelperObject(std::move(helper)));
}

void* AccountHelperObject::FindInterface(REFIID iid) {
  return FindInTable(this, kInterfaces, iid);
}

STDMETHODIMP AccountHelperObject::PlaceHolder1(LPVOID /*unused*/) {
  return E_NOTIMPL;
}

STDMETHODIMP AccountHelperObject::GetIdentity(LPWSTR identity, DWORD* count) {
  try {
    if (count == nullptr)
      return E_INVALIDARG;
    uint32_t size = *count;
    const HResult result = m_helper->GetIdentity(identity, &size);
    *count = size;
    return result;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

STDMETHODIMP AccountHelperObject::GetMapiSession(LPUNKNOWN* session) {
  try {
    if (session == nullptr)
      return E_INVALIDARG;
    *session = nullptr;
    std::shared_ptr<MapiSession> held;
    const HResult result = m_helper->GetMapiSession(&held);
    if (hr::Failed(result))
      return result;
    auto* mapi = dynamic_cast<Win32MapiSession*>(held.get());
    if (mapi == nullptr || !mapi->session())
      return E_NOTIMPL;
    return mapi->session()->QueryInterface(kIidMapiSession, reinterpret_cast<void**>(session));
  } catch (...) {
    return E_UNEXPECTED;
  }
}

STDMETHODIMP AccountHelperObject::HandsOffSession() {
  return E_NOTIMPL;
}

}  // namespace tp::host::win32
