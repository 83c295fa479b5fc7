// COM server registration over the registry and type library ports.
#include "addin/server_registration.h"

#include <algorithm>
#include <initializer_list>
#include <memory>

#include "addin/registration_table.h"
#include "base/text.h"
#include "branding/form_regions.h"
#include "host/host.h"
#include "host/registry.h"
#include "host/registry_views.h"
#include "host/type_library.h"
#include "platform/registry_values.h"

namespace tp {
namespace {

struct HiveLocation {
  host::RegRoot root;
  const wchar_t* path;
};

host::RegRoot ScopeRoot(RegistrationScope scope) {
  return scope == RegistrationScope::kUser ? host::RegRoot::kCurrentUser
                                           : host::RegRoot::kLocalMachine;
}

HiveLocation Locate(RegistrationHive hive, RegistrationScope scope) {
  switch (hive) {
    case RegistrationHive::kClasses:
    case RegistrationHive::kTypeLibrary:
      return {ScopeRoot(scope), L"Software\\Classes"};
    case RegistrationHive::kOutlookAddins:
      return {ScopeRoot(scope), kAddinsKeyPath};
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

host::RegView OtherView(host::RegView view) {
  return view == host::RegView::k64 ? host::RegView::k32 : host::RegView::k64;
}

// True when the entry belongs to the DLL of this program's bitness.
bool IsThisBitness(const RegistrationEntry& entry) {
  switch (entry.bitness) {
    case RegistrationBitness::kBoth:
      return true;
    case RegistrationBitness::k64:
      return host::registry().OwnView() == host::RegView::k64;
    case RegistrationBitness::k32:
      return host::registry().OwnView() == host::RegView::k32;
  }
  return false;
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
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
    case RegistrationEntryKind::kModuleFolder:
      return WriteStringValue(*key, entry.name, FolderOf(modulePath));
    case RegistrationEntryKind::kDword:
      return WriteDwordValue(*key, entry.name, entry.number);
    case RegistrationEntryKind::kOwnKey:
    case RegistrationEntryKind::kOwnKeyReplaced:
    case RegistrationEntryKind::kSubkey:
      break;
  }
  return host::kRegOk;
}

// The classes and the add-in entry, up to the first failure. The type library's keys are the
// registrar's to write.
HResult WriteClassEntries(RegistrationScope scope, const std::wstring& modulePath) {
  for (const RegistrationEntry& entry : RegistrationEntries()) {
    if (entry.hive == RegistrationHive::kMachineFormRegions ||
        entry.hive == RegistrationHive::kTypeLibrary) {
      continue;
    }
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

// Removes a key of ours with all below it; its absence is no failure.
host::RegStatus RemoveKey(const HiveLocation& location, const wchar_t* key) {
  const host::RegStatus status =
      host::registry().Root(location.root).DeleteTree(PathOf(location, key));
  return status == host::kRegNotFound ? host::kRegOk : status;
}

// Removes the own keys of the given hives that WOW64 redirects (`redirected`) or shares
// between the 64-bit and the 32-bit program (`!redirected`), of this bitness.
HResult RemoveOwnKeys(RegistrationScope scope, std::initializer_list<RegistrationHive> hives,
                      bool redirected) {
  HResult result = hr::kOk;
  for (const RegistrationEntry& entry : RegistrationEntries()) {
    if (!IsOwnKey(entry) || !IsThisBitness(entry) ||
        std::find(hives.begin(), hives.end(), entry.hive) == hives.end()) {
      continue;
    }
    const HiveLocation location = Locate(entry.hive, scope);
    if (host::IsRedirectedUnderWow64(location.root, PathOf(location, entry.key)) != redirected)
      continue;
    const host::RegStatus status = RemoveKey(location, entry.key);
    if (status != host::kRegOk && hr::Succeeded(result))
      result = hr::FromWin32(status);
  }
  return result;
}

// True when the other bitness's view still names a DLL for the Connect class: what both
// views share must then stay. (Where the registry has one view, this program's class key is
// gone by the time this is asked.)
bool OtherBitnessIsRegistered(RegistrationScope scope) {
  host::Registry& registry = host::registry();
  std::unique_ptr<host::RegistryKey> server;
  if (registry.ViewRoot(ScopeRoot(scope), OtherView(registry.OwnView()))
          .OpenSubKey(
              std::wstring(L"Software\\Classes\\CLSID\\") + kConnectClsidText + L"\\InprocServer32",
              host::RegAccess::kRead, &server) != host::kRegOk) {
    return false;
  }
  const std::optional<std::wstring> path = ReadStringValue(*server, L"");
  return path && !path->empty();
}

// While the other bitness uses the type library, only this bitness's part of it goes: its
// path under the library's shared key, and this view's interface keys.
HResult RemoveThisBitnessOfTypeLibrary(RegistrationScope scope) {
  HResult result = RemoveOwnKeys(scope, {RegistrationHive::kTypeLibrary}, true);
  for (const RegistrationEntry& entry : RegistrationEntries()) {
    if (entry.hive != RegistrationHive::kTypeLibrary ||
        entry.bitness == RegistrationBitness::kBoth || !IsThisBitness(entry)) {
      continue;
    }
    const host::RegStatus status = RemoveKey(Locate(entry.hive, scope), entry.key);
    if (status != host::kRegOk && hr::Succeeded(result))
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
  // This view's keys first: where the registry has one view, the question below then finds
  // no class left.
  HResult result =
      RemoveOwnKeys(scope, {RegistrationHive::kClasses, RegistrationHive::kOutlookAddins}, true);
  const bool otherBitness = OtherBitnessIsRegistered(scope);
  HResult library = hr::kOk;
  if (otherBitness) {
    library = RemoveThisBitnessOfTypeLibrary(scope);
  } else {
    const HResult shared =
        RemoveOwnKeys(scope, {RegistrationHive::kClasses, RegistrationHive::kOutlookAddins}, false);
    if (hr::Succeeded(result))
      result = shared;
    library = host::typeLibraries().Unregister(modulePath, scope == RegistrationScope::kUser);
  }
  if (hr::Succeeded(result))
    result = library;
  // The machine's form regions as this view holds them; the user's (shared by both views)
  // while the other bitness may still show them.
  RemoveOwnFormRegions(host::RegRoot::kLocalMachine);
  if (!otherBitness)
    RemoveOwnFormRegions(host::RegRoot::kCurrentUser);
  return result;
}

void RemoveOwnFormRegions(host::RegRoot root) {
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

HResult InstallServer(bool install, const std::wstring& modulePath, RegistrationScope scope) {
  if (!install)
    return UnregisterServer(modulePath, scope);
  const HResult result = RegisterServer(modulePath, scope);
  if (hr::Failed(result))
    (void)UnregisterServer(modulePath, scope);
  return result;
}

}  // namespace tp
