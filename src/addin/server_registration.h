// Registering the add-in's COM server, as an installer does through the DLL's registration
// exports: the COM classes and the type library, Outlook's add-in entry and the form-region
// entry, for every user of the machine or for the current user only; and removing them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/hresult.h"
#include "host/registry.h"

namespace tp {

enum class RegistrationScope { kMachine, kUser };

// DllInstall's command line: "user", whole and in any letter case, asks for a per-user
// installation; anything else, or none, for a machine-wide one.
RegistrationScope ScopeOfInstallCommand(std::optional<std::wstring_view> commandLine);

// DllRegisterServer. Returns the first failure of the classes, the add-in entry or the type
// library (registration stops there); the form-region entry is written when the user may
// write it, and its failure changes nothing.
HResult RegisterServer(const std::wstring& modulePath, RegistrationScope scope);

// DllUnregisterServer. Removes the scope's classes, add-in entry and type library, then every
// form-region key of ours from both hives. On 64-bit Windows, while the other bitness's DLL
// is still registered in the scope (the other view's class names a DLL), what the two views
// share stays: the ProgIDs, the type library's shared key, the per-user add-in entry and the
// user's form regions. Removing what is not there succeeds. Returns the first failure of the
// first part.
HResult UnregisterServer(const std::wstring& modulePath, RegistrationScope scope);

// Removes every form-region key of ours (OwnFormRegionPrefixes) under `root`, and no other.
void RemoveOwnFormRegions(host::RegRoot root);

// DllInstall: registration that is undone when it fails (the registration failure is
// returned), or unregistration.
HResult InstallServer(bool install, const std::wstring& modulePath, RegistrationScope scope);

}  // namespace tp
