// COM server registration over the registry and type library ports.
#include "addin/server_registration.h"

#include <memory>

#include "addin/registration_table.h"
#include "branding/form_regions.h"
#include "host/host.h"
#include "host/registry.h"
#include "host/type_library.h"
#include "support/registry_values.h"
#include "support/text.h"

namespace tp {
namespace {

struct HiveLocation {
  host::RegRoot root;
  const wchar_t* path;
};

HiveLocation Locate(RegistrationHive hive, RegistrationScope scope) {
  const host::RegRoot scopeRoot = scope == RegistrationScope::kUser ? host::RegRoot::kCurrentUser
                                                                    : host::RegRoot::kLocalMachine;
  switch (hive) {
    case RegistrationHive::kClasses:
      return {scopeRoot, L"Software\\Classes"};
    case RegistrationHive::kOutlookAddins:
      return {scopeRoot, L"Software\\Microsoft\\Office\\Outlook\\Addins"};
    case RegistrationHive::kMachineFormRegions:
      break;
  }
  return {host::RegRoot::kLocalMachine, kFormRegionsKeyPath};
}

std::wstring PathOf(const HiveLocation& location, const wchar_t* key) {
  return std::wstring(location.path) + L"\\" + key;
}

bool IsOwnKey(const RegistrationEntry& entry) {
  return entry.kind == RegistrationEntryKind::kOwnKey ||
         entry.kind == RegistrationEntryKind::kOwnKeyReplaced;
}

host::RegStatus WriteEntry(const RegistrationEntry& entry, RegistrationScope scope,
                           const std::wstring& modulePath) {
  const HiveLocation location = Locate(entry.hive, scope);
  host::RegistryKey& root = host::registry().Root(location.root);
  const std::wstring path = PathOf(location, entry.key);
  if (entry.kind == RegistrationEntryKind::kOwnKeyReplaced) {
    const host::RegStatus removed = root.DeleteTree(path);
    if (removed != host::kRegOk && removed != host::kRegNotFound)
      return removed;
  }
  std::unique_ptr<host::RegistryKey> key;
  const host::RegStatus created = root.CreateSubKey(path, host::RegAccess::kReadWrite, &key);
  if (created != host::kRegOk)
    return created;
  switch (entry.kind) {
    case RegistrationEntryKind::kText:
      return WriteStringValue(*key, entry.name, entry.text);
    case RegistrationEntryKind::kModulePath:
      return WriteStringValue(*key, entry.name, modulePath);
    case RegistrationEntryKind::kDword:
      return WriteDwordValue(*key, entry.name, entry.number);
    case RegistrationEntryKind::kOwnKey:
    case RegistrationEntryKind::kOwnKeyReplaced:
    case RegistrationEntryKind::kSubkey:
      break;
  }
  return host::kRegOk;
}

// The classes and the add-in entry, up to the first failure.
HResult WriteClassEntries(RegistrationScope scope, const std::wstring& modulePath) {
  for (const RegistrationEntry& entry : RegistrationEntries()) {
    if (entry.hive == RegistrationHive::kMachineFormRegions)
      continue;
    const host::RegStatus status = WriteEntry(entry, scope, modulePath);
    if (status != host::kRegOk)
      return hr::FromWin32(status);
  }
  return hr::kOk;
}

// The form-region entry: it needs the right to write under HKEY_LOCAL_MACHINE, which a
// per-user installation may not have; Outlook then finds the add-in's form regions through
// the per-user keys that the add-in writes as it brands mail.
void WriteFormRegionEntries(RegistrationScope scope, const std::wstring& modulePath) {
  for (const RegistrationEntry& entry : RegistrationEntries()) {
    if (entry.hive == RegistrationHive::kMachineFormRegions)
      (void)WriteEntry(entry, scope, modulePath);
  }
}

HResult RemoveClassEntries(RegistrationScope scope) {
  HResult result = hr::kOk;
  for (const RegistrationEntry& entry : RegistrationEntries()) {
    if (!IsOwnKey(entry) || entry.hive == RegistrationHive::kMachineFormRegions)
      continue;
    const HiveLocation location = Locate(entry.hive, scope);
    const host::RegStatus status =
        host::registry().Root(location.root).DeleteTree(PathOf(location, entry.key));
    if (status != host::kRegOk && status != host::kRegNotFound && hr::Succeeded(result))
      result = hr::FromWin32(status);
  }
  return result;
}

bool IsOwnFormRegion(const std::wstring& name) {
  for (const wchar_t* prefix : OwnFormRegionPrefixes()) {
    if (name.starts_with(prefix))
      return true;
  }
  return false;
}

// Removes our keys from one hive's form regions. A key that cannot be removed is passed over,
// so that the walk always ends.
void RemoveFormRegions(host::RegRoot root) {
  std::unique_ptr<host::RegistryKey> regions;
  if (host::registry().Root(root).OpenSubKey(kFormRegionsKeyPath, host::RegAccess::kReadWrite,
                                             &regions) != host::kRegOk) {
    return;
  }
  uint32_t index = 0;
  std::wstring name;
  while (regions->EnumSubKey(index, &name) == host::kRegOk) {
    if (IsOwnFormRegion(name) && regions->DeleteTree(name) == host::kRegOk)
      continue;  // the next key has moved to this index
    ++index;
  }
}

}  // namespace

RegistrationScope ScopeOfInstallCommand(std::optional<std::wstring_view> commandLine) {
  if (commandLine && EqualsIgnoreAsciiCase(*commandLine, L"user"))
    return RegistrationScope::kUser;
  return RegistrationScope::kMachine;
}

HResult RegisterServer(const std::wstring& modulePath, RegistrationScope scope) {
  HResult result = WriteClassEntries(scope, modulePath);
  if (hr::Succeeded(result)) {
    result = host::typeLibraries().Register(modulePath, scope == RegistrationScope::kUser);
  }
  WriteFormRegionEntries(scope, modulePath);
  return result;
}

HResult UnregisterServer(const std::wstring& modulePath, RegistrationScope scope) {
  HResult result = RemoveClassEntries(scope);
  const HResult library =
      host::typeLibraries().Unregister(modulePath, scope == RegistrationScope::kUser);
  if (hr::Succeeded(result))
    result = library;
  RemoveFormRegions(host::RegRoot::kLocalMachine);
  RemoveFormRegions(host::RegRoot::kCurrentUser);
  return result;
}

HResult InstallServer(bool install, const std::wstring& modulePath, RegistrationScope scope) {
  if (!install)
    return UnregisterServer(modulePath, scope);
  const HResult result = RegisterServer(modulePath, scope);
  if (hr::Failed(result))
    (void)UnregisterServer(modulePath, scope);
  return result;
}

}  // namespace tp
