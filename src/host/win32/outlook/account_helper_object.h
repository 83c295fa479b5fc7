// The add-in's account helper (CAccountHelper) as the IOlkAccountHelper COM object that
// Outlook's account manager is initialised with.
#pragma once

#include <memory>

#include "host/outlook.h"
#include "host/win32/com_object.h"
#include "host/win32/com_ptr.h"
#include "host/win32/outlook/olk_interfaces.h"

namespace tp::host::win32 {

class AccountHelperObject final : public ComObject<AccountHelperObject, IOlkAccountHelper> {
 public:
  // Null when out of memory.
  static ComPtr<AccountHelperObject> Create(std::shared_ptr<OlkAccountHelper> helper);

  void* FindInterface(REFIID iid);

  STDMETHODIMP PlaceHolder1(LPVOID unused) override;
  STDMETHODIMP GetIdentity(LPWSTR identity, DWORD* count) override;
  // The held session queried for IMAPISession.
  STDMETHODIMP GetMapiSession(LPUNKNOWN* session) override;
  STDMETHODIMP HandsOffSession() override;

 private:
  explicit AccountHelperObject(std::shared_ptr<OlkAccountHelper> helper)
      : m_helper(std::move(helper)) {}
  ~AccountHelperObject() override = default;

  std::shared_ptr<OlkAccountHelper> m_helper;
};

}  // namespace tp::host::win32
