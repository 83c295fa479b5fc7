// Fake account management objects: accounts with properties, their enumerator, and an account
// manager that records what the add-in asks of it (and what the add-in's helper answers),
// made by a class factory that a test registers for CLSID_OlkAccountManager.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fake_dispatch.h"
#include "host/win32/outlook/olk_interfaces.h"

namespace tp::testing {

using host::win32::AcctVariant;
using host::win32::IOlkAccount;
using host::win32::IOlkAccountHelper;
using host::win32::IOlkAccountManager;
using host::win32::IOlkEnum;

class FakeOlkAccount final : public ComObject<FakeOlkAccount, IOlkAccount> {
 public:
  static ComPtr<FakeOlkAccount> Create(std::map<DWORD, std::wstring> props);
  void* FindInterface(REFIID iid);
  // Strings handed out and not yet given back to FreeMemory.
  int outstanding() const { return m_outstanding; }

  STDMETHODIMP GetLastError(HRESULT result, LPWSTR* message) override;
  STDMETHODIMP Slot1() override { return E_NOTIMPL; }
  STDMETHODIMP Slot2() override { return E_NOTIMPL; }
  STDMETHODIMP Slot3() override { return E_NOTIMPL; }
  STDMETHODIMP Slot4() override { return E_NOTIMPL; }
  STDMETHODIMP Slot5() override { return E_NOTIMPL; }
  STDMETHODIMP Slot6() override { return E_NOTIMPL; }
  STDMETHODIMP GetAccountInfo(CLSID* type, DWORD* count, CLSID** categories) override;
  STDMETHODIMP GetProp(DWORD tag, AcctVariant* value) override;
  STDMETHODIMP SetProp(DWORD tag, AcctVariant* value) override;
  STDMETHODIMP Slot7() override { return E_NOTIMPL; }
  STDMETHODIMP Slot8() override { return E_NOTIMPL; }
  STDMETHODIMP Slot9() override { return E_NOTIMPL; }
  STDMETHODIMP FreeMemory(BYTE* memory) override;
  STDMETHODIMP Slot10() override { return E_NOTIMPL; }
  STDMETHODIMP SaveChanges(DWORD flags) override;

 private:
  explicit FakeOlkAccount(std::map<DWORD, std::wstring> props) : m_props(std::move(props)) {}
  ~FakeOlkAccount() override = default;

  std::map<DWORD, std::wstring> m_props;
  int m_outstanding = 0;
};

class FakeOlkEnum final : public ComObject<FakeOlkEnum, IOlkEnum> {
 public:
  static ComPtr<FakeOlkEnum> Create(std::vector<ComPtr<IUnknown>> accounts);
  void* FindInterface(REFIID iid);

  STDMETHODIMP GetCount(DWORD* count) override;
  STDMETHODIMP Reset() override;
  STDMETHODIMP GetNext(LPUNKNOWN* account) override;
  STDMETHODIMP Skip(DWORD count) override;

 private:
  explicit FakeOlkEnum(std::vector<ComPtr<IUnknown>> accounts) : m_accounts(std::move(accounts)) {}
  ~FakeOlkEnum() override = default;

  std::vector<ComPtr<IUnknown>> m_accounts;
  size_t m_next = 0;
};

// What a fake account manager saw; shared with the test, which outlives the manager.
struct AccountManagerRecord {
  int managersMade = 0;
  std::vector<DWORD> initFlags;
  std::wstring identity;  // the helper's GetIdentity during Init
  HRESULT identityResult = E_FAIL;
  HRESULT sessionResult = E_FAIL;          // the helper's GetMapiSession during Init
  ComPtr<IUnknown> session;                // what it gave
  bool enumeratedMail = false;             // EnumerateAccounts(CLSID_OlkMail, ...)
  std::vector<ComPtr<IUnknown>> accounts;  // what each manager's enumerator lists
};

class FakeAccountManager final : public ComObject<FakeAccountManager, IOlkAccountManager> {
 public:
  static ComPtr<FakeAccountManager> Create(std::shared_ptr<AccountManagerRecord> record);
  void* FindInterface(REFIID iid);

  STDMETHODIMP GetLastError(HRESULT result, LPWSTR* message) override;
  STDMETHODIMP Init(IOlkAccountHelper* helper, DWORD flags) override;
  STDMETHODIMP DisplayAccountList(HWND, DWORD, LPCWSTR, DWORD, const CLSID*,
                                  const CLSID*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Slot1() override { return E_NOTIMPL; }
  STDMETHODIMP Slot2() override { return E_NOTIMPL; }
  STDMETHODIMP Slot3() override { return E_NOTIMPL; }
  STDMETHODIMP Slot4() override { return E_NOTIMPL; }
  STDMETHODIMP Slot5() override { return E_NOTIMPL; }
  STDMETHODIMP FindAccount(DWORD, AcctVariant*, IOlkAccount**) override { return E_NOTIMPL; }
  STDMETHODIMP Slot6() override { return E_NOTIMPL; }
  STDMETHODIMP Slot7() override { return E_NOTIMPL; }
  STDMETHODIMP Slot8() override { return E_NOTIMPL; }
  STDMETHODIMP DeleteAccount(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP Slot9() override { return E_NOTIMPL; }
  STDMETHODIMP SaveChanges(DWORD, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetOrder(const CLSID*, DWORD*, DWORD**) override { return E_NOTIMPL; }
  STDMETHODIMP SetOrder(const CLSID*, DWORD*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP EnumerateAccounts(const CLSID* category, const CLSID* type, DWORD flags,
                                 IOlkEnum** accounts) override;
  STDMETHODIMP Slot10() override { return E_NOTIMPL; }
  STDMETHODIMP Slot11() override { return E_NOTIMPL; }
  STDMETHODIMP FreeMemory(BYTE*) override { return E_NOTIMPL; }
  STDMETHODIMP Advise(IUnknown*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP Unadvise(DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP Slot12() override { return E_NOTIMPL; }
  STDMETHODIMP Slot13() override { return E_NOTIMPL; }
  STDMETHODIMP Slot14() override { return E_NOTIMPL; }

 private:
  explicit FakeAccountManager(std::shared_ptr<AccountManagerRecord> record)
      : m_record(std::move(record)) {}
  ~FakeAccountManager() override = default;

  std::shared_ptr<AccountManagerRecord> m_record;
  bool m_initialised = false;
};

// Makes a new FakeAccountManager for each CreateInstance, all sharing one record.
class FakeAccountManagerFactory final : public ComObject<FakeAccountManagerFactory, IClassFactory> {
 public:
  static ComPtr<FakeAccountManagerFactory> Create(std::shared_ptr<AccountManagerRecord> record);
  void* FindInterface(REFIID iid);
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }

 private:
  explicit FakeAccountManagerFactory(std::shared_ptr<AccountManagerRecord> record)
      : m_record(std::move(record)) {}
  ~FakeAccountManagerFactory() override = default;

  std::shared_ptr<AccountManagerRecord> m_record;
};

}  // namespace tp::testing
