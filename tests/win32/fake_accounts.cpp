// Fake account management objects.
#include "fake_accounts.h"

#include <new>

#include "host/win32/outlook/mapi_api.h"
#include "host/win32/outlook/outlook_ids.h"

namespace tp::testing {

using host::win32::kIidOlkAccount;
using host::win32::kIidOlkAccountManager;
using host::win32::kIidOlkEnum;

constexpr HRESULT kAccountPropertyNotFound = static_cast<HRESULT>(0x800C8101);

// --- FakeOlkAccount -----------------------------------------------------------------------

ComPtr<FakeOlkAccount> FakeOlkAccount::Create(std::map<DWORD, std::wstring> props) {
  return ComPtr<FakeOlkAccount>::Adopt(new (std::nothrow) FakeOlkAccount(std::move(props)));
}

void* FakeOlkAccount::FindInterface(REFIID iid) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kIidOlkAccount)) {
    return static_cast<IOlkAccount*>(this);
  }
  return nullptr;
}

STDMETHODIMP FakeOlkAccount::GetLastError(HRESULT, LPWSTR*) {
  return E_NOTIMPL;
}

STDMETHODIMP FakeOlkAccount::GetAccountInfo(CLSID*, DWORD*, CLSID**) {
  return E_NOTIMPL;
}

STDMETHODIMP FakeOlkAccount::GetProp(DWORD tag, AcctVariant* value) {
  auto found = m_props.find(tag);
  if (found == m_props.end())
    return kAccountPropertyNotFound;
  auto* copy = new wchar_t[found->second.size() + 1];
  std::copy(found->second.c_str(), found->second.c_str() + found->second.size() + 1, copy);
  value->dwType = PT_UNICODE;
  value->Val.pwsz = copy;
  ++m_outstanding;
  return S_OK;
}

STDMETHODIMP FakeOlkAccount::SetProp(DWORD, AcctVariant*) {
  return E_NOTIMPL;
}

STDMETHODIMP FakeOlkAccount::FreeMemory(BYTE* memory) {
  delete[] reinterpret_cast<wchar_t*>(memory);
  --m_outstanding;
  return S_OK;
}

STDMETHODIMP FakeOlkAccount::SaveChanges(DWORD) {
  return E_NOTIMPL;
}

// --- FakeOlkEnum --------------------------------------------------------------------------

ComPtr<FakeOlkEnum> FakeOlkEnum::Create(std::vector<ComPtr<IUnknown>> accounts) {
  return ComPtr<FakeOlkEnum>::Adopt(new (std::nothrow) FakeOlkEnum(std::move(accounts)));
}

void* FakeOlkEnum::FindInterface(REFIID iid) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kIidOlkEnum)) {
    return static_cast<IOlkEnum*>(this);
  }
  return nullptr;
}

STDMETHODIMP FakeOlkEnum::GetCount(DWORD* count) {
  *count = static_cast<DWORD>(m_accounts.size());
  return S_OK;
}

STDMETHODIMP FakeOlkEnum::Reset() {
  m_next = 0;
  return S_OK;
}

STDMETHODIMP FakeOlkEnum::GetNext(LPUNKNOWN* account) {
  *account = nullptr;
  if (m_next >= m_accounts.size())
    return S_FALSE;
  *account = m_accounts[m_next++].get();
  (*account)->AddRef();
  return S_OK;
}

STDMETHODIMP FakeOlkEnum::Skip(DWORD count) {
  m_next += count;
  return S_OK;
}

// --- FakeAccountManager -------------------------------------------------------------------

ComPtr<FakeAccountManager> FakeAccountManager::Create(
    std::shared_ptr<AccountManagerRecord> record) {
  return ComPtr<FakeAccountManager>::Adopt(new (std::nothrow)
                                               FakeAccountManager(std::move(record)));
}

void* FakeAccountManager::FindInterface(REFIID iid) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kIidOlkAccountManager)) {
    return static_cast<IOlkAccountManager*>(this);
  }
  return nullptr;
}

STDMETHODIMP FakeAccountManager::GetLastError(HRESULT, LPWSTR*) {
  return E_NOTIMPL;
}

STDMETHODIMP FakeAccountManager::Init(IOlkAccountHelper* helper, DWORD flags) {
  m_record->initFlags.push_back(flags);
  if (helper == nullptr)
    return E_INVALIDARG;
  // Ask the helper what Outlook's account manager asks it: the size of the profile name,
  // the name, and the session.
  DWORD size = 0;
  (void)helper->GetIdentity(nullptr, &size);
  std::wstring identity(size, L'\0');
  m_record->identityResult = helper->GetIdentity(identity.data(), &size);
  if (SUCCEEDED(m_record->identityResult) && size > 0)
    identity.resize(size - 1);
  m_record->identity = identity;
  IUnknown* session = nullptr;
  m_record->sessionResult = helper->GetMapiSession(&session);
  m_record->session = ComPtr<IUnknown>::Adopt(session);
  m_initialised = true;
  return S_OK;
}

STDMETHODIMP FakeAccountManager::EnumerateAccounts(const CLSID* category, const CLSID*, DWORD,
                                                   IOlkEnum** accounts) {
  *accounts = nullptr;
  if (!m_initialised)
    return static_cast<HRESULT>(0x800C8005);  // E_OLK_NOT_INITIALIZED
  m_record->enumeratedMail =
      category != nullptr && IsEqualCLSID(*category, host::win32::kClsidOlkMail);
  *accounts = FakeOlkEnum::Create(m_record->accounts).Detach();
  return S_OK;
}

// --- FakeAccountManagerFactory ------------------------------------------------------------

ComPtr<FakeAccountManagerFactory> FakeAccountManagerFactory::Create(
    std::shared_ptr<AccountManagerRecord> record) {
  return ComPtr<FakeAccountManagerFactory>::Adopt(new (std::nothrow)
                                                      FakeAccountManagerFactory(std::move(record)));
}

void* FakeAccountManagerFactory::FindInterface(REFIID iid) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
    return static_cast<IClassFactory*>(this);
  }
  return nullptr;
}

STDMETHODIMP FakeAccountManagerFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  *object = nullptr;
  if (outer != nullptr)
    return CLASS_E_NOAGGREGATION;
  ++m_record->managersMade;
  ComPtr<FakeAccountManager> manager = FakeAccountManager::Create(m_record);
  return manager->QueryInterface(iid, object);
}

}  // namespace tp::testing
