// Filling g_accountProviderDomains.
#include "branding/account_provider_map.h"

#include <map>
#include <memory>

#include "base/text.h"
#include "branding/account_helper.h"
#include "branding/mail_provider.h"
#include "host/host.h"

namespace tp {

bool BuildAccountProviderMap(host::OutlookNamespace& nameSpace) {
  std::shared_ptr<host::OlkAccountManager> manager;
  if (hr::Failed(host::outlook().CreateAccountManager(&manager)) || !manager)
    return false;
  std::shared_ptr<host::MapiSession> session = nameSpace.MapiObject();
  if (!session)
    return false;
  auto helper = std::make_shared<CAccountHelper>(nameSpace.CurrentProfileName(), session);
  if (hr::Failed(manager->Init(helper, host::kAcctInitNoSyncMapiAccounts)))
    return false;
  std::shared_ptr<host::OlkAccountEnum> accounts;
  if (hr::Failed(manager->EnumerateMailAccounts(&accounts)) || !accounts)
    return false;
  uint32_t count = 0;
  if (hr::Failed(accounts->GetCount(&count)) || hr::Failed(accounts->Reset()))
    return false;

  std::map<std::wstring, std::wstring> providers;
  for (uint32_t index = 0; index < count; ++index) {
    std::shared_ptr<host::OlkAccount> account;
    if (hr::Failed(accounts->GetNext(&account)) || !account)
      break;
    std::wstring server;
    std::wstring name;
    if (hr::Failed(account->GetProp(host::kPropInetServer, &server)))
      server.clear();
    if (hr::Failed(account->GetProp(host::kPropAccountName, &name)))
      name.clear();
    const std::wstring marker = ClassifyIncomingServer(ToLower(server));
    if (!marker.empty())
      providers[ToLower(name)] = marker;
  }
  g_accountProviderDomains = std::move(providers);
  return true;
}

}  // namespace tp
