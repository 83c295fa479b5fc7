// Outlook's account management interfaces, declared in their published vtable order.
// Members the add-in never calls keep their slot under a placeholder name.
#pragma once

#include "host/win32/win32_api.h"

namespace tp::host::win32 {

struct AcctBin {
  DWORD cb;
  BYTE* pb;
};

// ACCT_VARIANT: dwType is PT_LONG, PT_UNICODE or PT_BINARY.
struct AcctVariant {
  DWORD dwType;
  union {
    DWORD dw;
    WCHAR* pwsz;
    AcctBin bin;
  } Val;
};

// COM interfaces have no virtual destructor; objects die by Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

struct IOlkErrorUnknown : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetLastError(HRESULT result, LPWSTR* message) = 0;
};

struct IOlkAccountHelper : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE PlaceHolder1(LPVOID unused) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetIdentity(LPWSTR identity, DWORD* count) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetMapiSession(LPUNKNOWN* session) = 0;
  virtual HRESULT STDMETHODCALLTYPE HandsOffSession() = 0;
};

struct IOlkEnum : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetCount(DWORD* count) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
  // S_FALSE at the end.
  virtual HRESULT STDMETHODCALLTYPE GetNext(LPUNKNOWN* account) = 0;
  virtual HRESULT STDMETHODCALLTYPE Skip(DWORD count) = 0;
};

struct IOlkAccount : public IOlkErrorUnknown {
  virtual HRESULT STDMETHODCALLTYPE Slot1() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot2() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot3() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot4() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot5() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot6() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetAccountInfo(CLSID* type, DWORD* categoryCount,
                                                   CLSID** categories) = 0;
  // A string or binary value is freed with FreeMemory.
  virtual HRESULT STDMETHODCALLTYPE GetProp(DWORD tag, AcctVariant* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetProp(DWORD tag, AcctVariant* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot7() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot8() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot9() = 0;
  virtual HRESULT STDMETHODCALLTYPE FreeMemory(BYTE* memory) = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot10() = 0;
  virtual HRESULT STDMETHODCALLTYPE SaveChanges(DWORD flags) = 0;
};

struct IOlkAccountManager : public IOlkErrorUnknown {
  virtual HRESULT STDMETHODCALLTYPE Init(IOlkAccountHelper* helper, DWORD flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE DisplayAccountList(HWND window, DWORD flags, LPCWSTR title,
                                                       DWORD categoryCount, const CLSID* categories,
                                                       const CLSID* type) = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot1() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot2() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot3() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot4() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot5() = 0;
  virtual HRESULT STDMETHODCALLTYPE FindAccount(DWORD tag, AcctVariant* value,
                                                IOlkAccount** account) = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot6() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot7() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot8() = 0;
  virtual HRESULT STDMETHODCALLTYPE DeleteAccount(DWORD accountId) = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot9() = 0;
  virtual HRESULT STDMETHODCALLTYPE SaveChanges(DWORD accountId, DWORD flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetOrder(const CLSID* category, DWORD* count,
                                             DWORD** accounts) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetOrder(const CLSID* category, DWORD* count,
                                             DWORD* accounts) = 0;
  virtual HRESULT STDMETHODCALLTYPE EnumerateAccounts(const CLSID* category, const CLSID* type,
                                                      DWORD flags, IOlkEnum** accounts) = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot10() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot11() = 0;
  virtual HRESULT STDMETHODCALLTYPE FreeMemory(BYTE* memory) = 0;
  virtual HRESULT STDMETHODCALLTYPE Advise(IUnknown* notify, DWORD* cookie) = 0;
  virtual HRESULT STDMETHODCALLTYPE Unadvise(DWORD* cookie) = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot12() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot13() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot14() = 0;
};

#pragma GCC diagnostic pop

}  // namespace tp::host::win32
