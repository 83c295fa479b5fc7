// Every registry key and value that registering the add-in's COM server writes, in one table
// that registration and unregistration both walk, so that what one writes the other removes,
// and from which the installation packages' registry rows are made.
#pragma once

#include <cstdint>
#include <span>

namespace tp {

inline constexpr wchar_t kConnectProgId[] = L"TidepostOutlookAddin.Connect";
inline constexpr wchar_t kConnectClsidText[] = L"{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}";
inline constexpr wchar_t kTypeLibraryIdText[] = L"{3A9C7E52-D14B-4F6E-8B07-91E2C5D4A6F8}";
inline constexpr wchar_t kAddinsKeyPath[] = L"Software\\Microsoft\\Office\\Outlook\\Addins";

// Where an entry lives. The root of the first two depends on the registration's scope.
enum class RegistrationHive {
  // COM classes: HKLM "Software\Classes" per machine, HKCU "Software\Classes" per user (the
  // two halves of HKEY_CLASSES_ROOT).
  kClasses,
  // Outlook's add-ins: "Software\Microsoft\Office\Outlook\Addins" under HKLM per machine, the
  // same path under HKCU per user.
  kOutlookAddins,
  // Outlook's form regions under HKLM "Software\Microsoft\Office\Outlook\FormRegions", in
  // either scope; written when the user may, and never a reason to fail.
  kMachineFormRegions,
  // The type library and its interfaces, below the scope's classes like kClasses, written
  // and removed whole by the type library registrar (RegisterTypeLib and its per-user form);
  // listed for installation packages, and for unregistration while the other bitness still
  // uses the library.
  kTypeLibrary,
};

// Which of the two DLLs (64-bit and 32-bit) an entry belongs to.
enum class RegistrationBitness { kBoth, k64, k32 };

enum class RegistrationEntryKind {
  kOwnKey,          // a key of ours: created at registration, removed whole at unregistration
  kOwnKeyReplaced,  // the same, and removed whole before registration writes it again
  kSubkey,          // a key inside one of ours
  kText,            // a REG_SZ value
  kModulePath,      // a REG_SZ value holding the DLL's full path
  kModuleFolder,    // a REG_SZ value holding the DLL's folder, without a trailing backslash
  kDword,           // a REG_DWORD value
};

struct RegistrationEntry {
  RegistrationEntryKind kind;
  RegistrationHive hive;
  const wchar_t* key;   // below the hive's key
  const wchar_t* name;  // the value's name; "" is the key's default value
  const wchar_t* text;  // kText
  uint32_t number;      // kDword
  RegistrationBitness bitness;
};

// In registration order; every entry lies in or below an own key listed before it.
std::span<const RegistrationEntry> RegistrationEntries();

// The form-region keys that are ours, by case-sensitive name prefix: the base class, every
// branded class (including the S/MIME ones) and the older "Brisklet" classes. Unregistration
// removes every key so named from both hives, and no other.
std::span<const wchar_t* const> OwnFormRegionPrefixes();

}  // namespace tp
