// The registration table. The module's AppID {C4E7A190-5B2D-4A3F-9E68-0D1B7F2C8E45} and the
// BriskletItem class {E5C93B27-8A41-4D6F-B2E0-6F1D4A9C3B75} have no entries of their own: an
// in-process server needs no AppID key, and BriskletItem objects are made only by the add-in
// itself, never by CLSID.
#include "addin/registration_table.h"

namespace tp {
namespace {

using Hive = RegistrationHive;
using Kind = RegistrationEntryKind;

constexpr RegistrationEntry OwnKey(Hive hive, const wchar_t* key) {
  return {Kind::kOwnKey, hive, key, nullptr, nullptr, 0};
}
constexpr RegistrationEntry OwnKeyReplaced(Hive hive, const wchar_t* key) {
  return {Kind::kOwnKeyReplaced, hive, key, nullptr, nullptr, 0};
}
constexpr RegistrationEntry Subkey(Hive hive, const wchar_t* key) {
  return {Kind::kSubkey, hive, key, nullptr, nullptr, 0};
}
constexpr RegistrationEntry Text(Hive hive, const wchar_t* key, const wchar_t* name,
                                 const wchar_t* text) {
  return {Kind::kText, hive, key, name, text, 0};
}
constexpr RegistrationEntry ModulePath(Hive hive, const wchar_t* key, const wchar_t* name) {
  return {Kind::kModulePath, hive, key, name, nullptr, 0};
}
constexpr RegistrationEntry Dword(Hive hive, const wchar_t* key, const wchar_t* name,
                                  uint32_t number) {
  return {Kind::kDword, hive, key, name, nullptr, number};
}

constexpr Hive kClasses = Hive::kClasses;
constexpr Hive kAddins = Hive::kOutlookAddins;
constexpr Hive kFormRegions = Hive::kMachineFormRegions;
constexpr wchar_t kDefault[] = L"";

constexpr wchar_t kProgId1[] = L"TidepostOutlookAddin.Connect.1";
constexpr wchar_t kClassName[] = L"Connect Class";
constexpr wchar_t kClassKey[] = L"CLSID\\{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}";

constexpr RegistrationEntry kEntries[] = {
    // The version-dependent ProgID.
    OwnKey(kClasses, kProgId1),
    Text(kClasses, kProgId1, kDefault, kClassName),
    Text(kClasses, L"TidepostOutlookAddin.Connect.1\\CLSID", kDefault, kConnectClsidText),

    // The version-independent ProgID, by which Outlook finds the add-in.
    OwnKey(kClasses, kConnectProgId),
    Text(kClasses, kConnectProgId, kDefault, kClassName),
    Text(kClasses, L"TidepostOutlookAddin.Connect\\CLSID", kDefault, kConnectClsidText),
    Text(kClasses, L"TidepostOutlookAddin.Connect\\CurVer", kDefault, kProgId1),

    // The Connect class ("CLSID" itself is shared and never removed).
    OwnKeyReplaced(kClasses, kClassKey),
    Text(kClasses, kClassKey, kDefault, kClassName),
    Text(kClasses, L"CLSID\\{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}\\ProgID", kDefault, kProgId1),
    Text(kClasses, L"CLSID\\{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}\\VersionIndependentProgID",
         kDefault, kConnectProgId),
    Subkey(kClasses, L"CLSID\\{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}\\Programmable"),
    ModulePath(kClasses, L"CLSID\\{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}\\InprocServer32",
               kDefault),
    Text(kClasses, L"CLSID\\{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}\\InprocServer32",
         L"ThreadingModel", L"Apartment"),
    Text(kClasses, L"CLSID\\{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}\\TypeLib", kDefault,
         kTypeLibraryIdText),
    Text(kClasses, L"CLSID\\{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}\\Version", kDefault, L"1.0"),

    // Outlook's add-in entry: load at start-up, loaded (Software\...\Addins is shared).
    OwnKeyReplaced(kAddins, kConnectProgId),
    Text(kAddins, kConnectProgId, L"Description",
         L"Jump into the world of rich, interactive email. Version: 1.13.1"),
    Text(kAddins, kConnectProgId, L"FriendlyName", L"Tidepost"),
    Dword(kAddins, kConnectProgId, L"LoadBehavior", 3),

    // The base branded class's form region, supplied by the add-in ("=" and its ProgID).
    OwnKey(kFormRegions, L"IPM.Note.Tidepost"),
    Text(kFormRegions, L"IPM.Note.Tidepost", L"Tidepost", L"=TidepostOutlookAddIn.Connect"),
};

constexpr const wchar_t* kFormRegionPrefixes[] = {
    L"IPM.Note.Tidepost",
    L"IPM.Note.SMIME.Tidepost.",
    L"IPM.Note.SMIME.MultipartSigned.Tidepost.",
    L"IPM.Note.Brisklet",
};

}  // namespace

std::span<const RegistrationEntry> RegistrationEntries() {
  return kEntries;
}

std::span<const wchar_t* const> OwnFormRegionPrefixes() {
  return kFormRegionPrefixes;
}

}  // namespace tp
