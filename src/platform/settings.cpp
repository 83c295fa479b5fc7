// The access-time value and the registry string cache.
#include "platform/settings.h"

#include <memory>

#include "base/format.h"
#include "host/clock.h"
#include "host/host.h"
#include "host/registry.h"
#include "platform/log.h"
#include "platform/registry_values.h"

namespace tp {

void RecordOutlookAccess() {
  const std::wstring now =
      Format(L"%ld", static_cast<int32_t>(static_cast<uint32_t>(host::clock().UnixTime())));
  // Always per user: the key and its parents are created when missing, never a machine-wide
  // key instead.
  std::unique_ptr<host::RegistryKey> key;
  if (host::registry()
          .Root(host::RegRoot::kCurrentUser)
          .CreateSubKey(kAddonKeyPath, host::RegAccess::kReadWrite, &key) != host::kRegOk) {
    return;
  }
  (void)WriteStringValue(*key, kAccessedValueName, now);
}

bool GetCachedValue(const std::wstring& name, std::wstring* value) {
  std::unique_ptr<host::RegistryKey> key =
      OpenRegistryKey(host::RegRoot::kCurrentUser, kCacheKeyPath, host::RegAccess::kReadWrite);
  if (!key) {
    return false;
  }
  host::RegValue raw;
  if (key->QueryValue(name, &raw) != host::kRegOk || raw.type != host::RegType::kString) {
    return false;
  }
  *value = StringFromRegData(raw.data);
  WriteLog(Format(L"Item %s found in cache=%s", name, *value));
  return true;
}

void SetCachedValue(const std::wstring& name, const std::wstring& value) {
  std::unique_ptr<host::RegistryKey> key;
  if (host::registry()
          .Root(host::RegRoot::kCurrentUser)
          .CreateSubKey(kCacheKeyPath, host::RegAccess::kReadWrite, &key) != host::kRegOk) {
    return;
  }
  (void)WriteStringValue(*key, name, value);
  WriteLog(Format(L"Caching %s=%s", name, value));
}

}  // namespace tp
