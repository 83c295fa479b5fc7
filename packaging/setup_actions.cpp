// TidepostSetup.dll: the custom actions of the Windows Installer packages, which msiexec runs
// from the package's Binary table.
//   MakeInstallationId: INSTALLATIONID, from an earlier installation (PREVIOUSINSTALLATIONID,
//     found by the package's registry search) or a new GUID.
//   SetFolderPaths: Folder64Path and Folder32Path, the two DLLs' folders without the
//     trailing backslash of directory properties.
//   RemoveUserFormRegions: removes the form-region keys of the branded classes that the
//     add-in registered for the uninstalling user as it branded mail; not when the removal is
//     an upgrade's (UPGRADINGPRODUCTCODE, or the mark below).
//   MarkUpgrade, ClearUpgradeMark: a volatile key that the upgrading package sets around
//     RemoveExistingProducts, for installers that start the older product's removal without
//     UPGRADINGPRODUCTCODE (Wine's).
#include <windows.h>

#include <msi.h>
#include <msiquery.h>
#include <objbase.h>

#include <string>

#include "addin/server_registration.h"
#include "host/host.h"
#include "host/win32/win32_registry.h"

namespace {

// Under HKEY_CURRENT_USER, volatile: gone at the latest when the user logs off.
constexpr wchar_t kUpgradeMarkKey[] = L"Software\\Tidepost Upgrade";

std::wstring Property(MSIHANDLE install, const wchar_t* name) {
  DWORD length = 0;
  wchar_t empty[1] = L"";
  if (::MsiGetPropertyW(install, name, empty, &length) != ERROR_MORE_DATA)
    return std::wstring();
  std::wstring value(length + 1, L'\0');
  length = static_cast<DWORD>(value.size());
  if (::MsiGetPropertyW(install, name, value.data(), &length) != ERROR_SUCCESS)
    return std::wstring();
  value.resize(length);
  return value;
}

UINT SetProperty(MSIHANDLE install, const wchar_t* name, const std::wstring& value) {
  return ::MsiSetPropertyW(install, name, value.c_str()) == ERROR_SUCCESS ? ERROR_SUCCESS
                                                                          : ERROR_INSTALL_FAILURE;
}

}  // namespace

extern "C" __declspec(dllexport) UINT __stdcall MakeInstallationId(MSIHANDLE install) {
  if (!Property(install, L"INSTALLATIONID").empty())
    return ERROR_SUCCESS;
  std::wstring id = Property(install, L"PREVIOUSINSTALLATIONID");
  if (id.empty()) {
    GUID guid;
    wchar_t text[39];
    if (FAILED(::CoCreateGuid(&guid)) || ::StringFromGUID2(guid, text, 39) == 0)
      return ERROR_INSTALL_FAILURE;
    id = text;
  }
  return SetProperty(install, L"INSTALLATIONID", id);
}

extern "C" __declspec(dllexport) UINT __stdcall SetFolderPaths(MSIHANDLE install) {
  for (const auto& [folder, path] :
       {std::pair{L"Folder64", L"Folder64Path"}, std::pair{L"Folder32", L"Folder32Path"}}) {
    std::wstring value = Property(install, folder);
    while (!value.empty() && value.back() == L'\\')
      value.pop_back();
    if (SetProperty(install, path, value) != ERROR_SUCCESS)
      return ERROR_INSTALL_FAILURE;
  }
  return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) UINT __stdcall MarkUpgrade(MSIHANDLE) {
  HKEY key = nullptr;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, kUpgradeMarkKey, 0, nullptr, REG_OPTION_VOLATILE,
                        KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return ERROR_INSTALL_FAILURE;
  }
  ::RegCloseKey(key);
  return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) UINT __stdcall ClearUpgradeMark(MSIHANDLE) {
  ::RegDeleteKeyW(HKEY_CURRENT_USER, kUpgradeMarkKey);
  return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) UINT __stdcall RemoveUserFormRegions(MSIHANDLE install) {
  HKEY mark = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kUpgradeMarkKey, 0, KEY_READ, &mark) == ERROR_SUCCESS) {
    ::RegCloseKey(mark);
    return ERROR_SUCCESS;  // the user's data stays through an upgrade
  }
  if (!Property(install, L"UPGRADINGPRODUCTCODE").empty())
    return ERROR_SUCCESS;
  // Only the registry is needed: the rest of the host stays empty.
  tp::host::win32::Win32Registry registry;
  tp::host::Host host;
  host.registry = &registry;
  const tp::host::ScopedHost scoped(host);
  tp::RemoveOwnFormRegions(tp::host::RegRoot::kCurrentUser);
  return ERROR_SUCCESS;
}
