// Outlook's account manager.
#include "host/win32/outlook/account_manager.h"

#include "host/win32/outlook/account_helper_object.h"
#include "host/win32/outlook/mapi_api.h"
#include "host/win32/outlook/outlook_ids.h"

namespace tp::host::win32 {
namespace {

class Win32OlkAccount final : public OlkAccount {
 public:
  explicit Win32OlkAccount(ComPtr<IOlkAccount> account) : m_account(std::move(account)) {}

  HResult GetProp(PropTag tag, std::wstring* value) override {
    AcctVariant read{};
    const HRESULT result = m_account->GetProp(tag, &read);
    if (FAILED(result))
      return ToHResult(result);
    // Strings and binaries belong to the account until FreeMemory.
    if (read.dwType == PT_UNICODE) {
      std::wstring text = read.Val.pwsz != nullptr ? std::wstring(read.Val.pwsz) : std::wstring();
      if (read.Val.pwsz != nullptr)
        m_account->FreeMemory(reinterpret_cast<BYTE*>(read.Val.pwsz));
      *value = std::move(text);
      return hr::kOk;
    }
    if (read.dwType == PT_BINARY && read.Val.bin.pb != nullptr) {
      m_account->FreeMemory(read.Val.bin.pb);
    }
    return ToHResult(DISP_E_TYPEMISMATCH);
  }

 private:
  ComPtr<IOlkAccount> m_account;
};

class Win32AccountEnum final : public OlkAccountEnum {
 public:
  explicit Win32AccountEnum(ComPtr<IOlkEnum> accounts) : m_accounts(std::move(accounts)) {}

  HResult GetCount(uint32_t* count) override {
    DWORD found = 0;
    const HRESULT result = m_accounts->GetCount(&found);
    if (SUCCEEDED(result))
      *count = found;
    return ToHResult(result);
  }
  HResult Reset() override { return ToHResult(m_accounts->Reset()); }
  HResult GetNext(std::shared_ptr<OlkAccount>* account) override {
    ComPtr<IUnknown> next;
    const HRESULT result = m_accounts->GetNext(next.Receive());
    if (FAILED(result) || !next)
      return ToHResult(result);
    ComPtr<IOlkAccount> olkAccount;
    if (SUCCEEDED(next.As(kIidOlkAccount, &olkAccount)) && olkAccount) {
      *account = std::make_shared<Win32OlkAccount>(std::move(olkAccount));
    }
    return ToHResult(result);
  }

 private:
  ComPtr<IOlkEnum> m_accounts;
};

class Win32AccountManager final : public OlkAccountManager {
 public:
  explicit Win32AccountManager(ComPtr<IOlkAccountManager> manager)
      : m_manager(std::move(manager)) {}

  HResult Init(std::shared_ptr<OlkAccountHelper> helper, uint32_t flags) override {
    ComPtr<AccountHelperObject> object = AccountHelperObject::Create(std::move(helper));
    if (!object)
      return hr::kOutOfMemory;
    return ToHResult(m_manager->Init(object.get(), flags));
  }

  HResult EnumerateMailAccounts(std::shared_ptr<OlkAccountEnum>* accounts) override {
    ComPtr<IOlkEnum> found;
    const HRESULT result =
        m_manager->EnumerateAccounts(&kClsidOlkMail, nullptr, 0, found.Receive());
    if (FAILED(result))
      return ToHResult(result);
    if (!found)
      return ToHResult(E_POINTER);
    *accounts = std::make_shared<Win32AccountEnum>(std::move(found));
    return hr::kOk;
  }

 private:
  ComPtr<IOlkAccountManager> m_manager;
};

}  // namespace

std::shared_ptr<OlkAccountManager> MakeAccountManager(ComPtr<IOlkAccountManager> manager) {
  if (!manager)
    return nullptr;
  return std::make_shared<Win32AccountManager>(std::move(manager));
}

}  // namespace tp::host::win32
