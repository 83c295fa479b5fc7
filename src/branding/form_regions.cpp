// Form region registration.
#include "branding/form_regions.h"

#include "branding/message_class.h"
#include "host/host.h"
#include "host/registry.h"
#include "platform/log.h"
#include "platform/registry_values.h"

namespace tp {

bool RegisterFormRegion(const std::wstring& formName) {
  const std::wstring messageClass = kMessageClassPrefix + formName;
  WriteLogFormat(L"In RegisterFormRegion for form %s", formName);
  const std::wstring path = std::wstring(kFormRegionsKeyPath) + L"\\" + messageClass;
  if (OpenRegistryKey(host::RegRoot::kLocalMachine, path, host::RegAccess::kRead) ||
      OpenRegistryKey(host::RegRoot::kCurrentUser, path, host::RegAccess::kRead)) {
    return true;
  }
  WriteLogFormat(L"Registering new form region %s", formName);
  std::unique_ptr<host::RegistryKey> regions;
  if (host::registry()
          .Root(host::RegRoot::kCurrentUser)
          .CreateSubKey(kFormRegionsKeyPath, host::RegAccess::kReadWrite, &regions) !=
      host::kRegOk) {
    return false;
  }
  std::unique_ptr<host::RegistryKey> key;
  if (regions->CreateSubKey(messageClass, host::RegAccess::kReadWrite, &key) != host::kRegOk) {
    return false;
  }
  (void)WriteStringValue(*key, formName, kFormRegionProgId);
  return true;
}

}  // namespace tp
