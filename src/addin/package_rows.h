// The registry rows of the Windows Installer packages, made from the registration table (so
// that a package writes what DllRegisterServer writes) and the settings an installer writes.
// Every row is written by a 64-bit component, so a row of the 32-bit view names its key with
// "Wow6432Node" where WOW64 redirects it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "addin/server_registration.h"
#include "host/registry.h"

namespace tp {

// The package's components that hold registry rows.
enum class PackageComponent {
  kAddin64,         // the 64-bit DLL, its view's rows and the rows both views share
  kAddin32,         // the 32-bit DLL and its view's rows
  kInstallationId,  // the installation's id ("activeGuid")
  kSender,          // "sender", when the SENDER property is given
  kCampaign,        // "campaign", when the CAMPAIGN property is given
};

enum class PackageValueKind {
  kOwnKey,         // no value: the key is created, and removed whole at uninstallation
  kText,           // REG_SZ `text`
  kDword,          // REG_DWORD `number`
  kDllPath,        // REG_SZ: the installed DLL of the row's component
  kDllFolder,      // REG_SZ: that DLL's folder
  kProperty,       // REG_SZ: the installer property named `text`
  kDwordProperty,  // REG_DWORD: the installer property named `text` (default `number`)
};

struct PackageRow {
  PackageComponent component;
  host::RegRoot root;  // kLocalMachine or kCurrentUser
  std::wstring key;    // as a 64-bit program names it
  std::wstring name;   // "" is the key's default value
  PackageValueKind kind;
  std::wstring text;
  uint32_t number = 0;
};

// Per machine: HKEY_LOCAL_MACHINE in both views. Per user: HKEY_CURRENT_USER only (no
// machine-wide form-region entry), the 32-bit class under "Software\Classes\Wow6432Node".
std::vector<PackageRow> PackageRows(RegistrationScope scope);

// The installer properties the rows read, with their defaults ("" when none).
inline constexpr wchar_t kLoadBehaviorProperty[] = L"LOADBEHAVIOR";
inline constexpr wchar_t kInstallationIdProperty[] = L"INSTALLATIONID";
inline constexpr wchar_t kSenderProperty[] = L"SENDER";
inline constexpr wchar_t kCampaignProperty[] = L"CAMPAIGN";

}  // namespace tp
