// The registration table. The module's AppID {C4E7A190-5B2D-4A3F-9E68-0D1B7F2C8E45} and the
// BriskletItem class {E5C93B27-8A41-4D6F-B2E0-6F1D4A9C3B75} have no entries of their own: an
// in-process server needs no AppID key, and BriskletItem objects are made only by the add-in
// itself, never by CLSID.
#include "addin/registration_table.h"

namespace tp {
namespace {

using Hive = RegistrationHive;
using Kind = RegistrationEntryKind;

using Bitness = RegistrationBitness;

constexpr RegistrationEntry OwnKey(Hive hive, const wchar_t* key) {
  return {Kind::kOwnKey, hive, key, nullptr, nullptr, 0, Bitness::kBoth};
}
constexpr RegistrationEntry OwnKeyReplaced(Hive hive, const wchar_t* key) {
  return {Kind::kOwnKeyReplaced, hive, key, nullptr, nullptr, 0, Bitness::kBoth};
}
constexpr RegistrationEntry Subkey(Hive hive, const wchar_t* key,
                                   Bitness bitness = Bitness::kBoth) {
  return {Kind::kSubkey, hive, key, nullptr, nullptr, 0, bitness};
}
constexpr RegistrationEntry Text(Hive hive, const wchar_t* key, const wchar_t* name,
                                 const wchar_t* text) {
  return {Kind::kText, hive, key, name, text, 0, Bitness::kBoth};
}
constexpr RegistrationEntry ModulePath(Hive hive, const wchar_t* key, const wchar_t* name,
                                       Bitness bitness = Bitness::kBoth) {
  return {Kind::kModulePath, hive, key, name, nullptr, 0, bitness};
}
constexpr RegistrationEntry ModuleFolder(Hive hive, const wchar_t* key, const wchar_t* name) {
  return {Kind::kModuleFolder, hive, key, name, nullptr, 0, Bitness::kBoth};
}
constexpr RegistrationEntry Dword(Hive hive, const wchar_t* key, const wchar_t* name,
                                  uint32_t number) {
  return {Kind::kDword, hive, key, name, nullptr, number, Bitness::kBoth};
}

constexpr Hive kClasses = Hive::kClasses;
constexpr Hive kAddins = Hive::kOutlookAddins;
constexpr Hive kFormRegions = Hive::kMachineFormRegions;
constexpr Hive kTypeLibrary = Hive::kTypeLibrary;
constexpr wchar_t kDefault[] = L"";

constexpr wchar_t kProgId1[] = L"TidepostOutlookAddin.Connect.1";
constexpr wchar_t kClassName[] = L"Connect Class";
constexpr wchar_t kClassKey[] = L"CLSID\\{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}";
constexpr wchar_t kLibraryKey[] = L"TypeLib\\{3A9C7E52-D14B-4F6E-8B07-91E2C5D4A6F8}";
constexpr wchar_t kLibraryVersionKey[] = L"TypeLib\\{3A9C7E52-D14B-4F6E-8B07-91E2C5D4A6F8}\\1.0";
constexpr wchar_t kIConnectKey[] = L"Interface\\{0DCB784F-D38C-40C0-86BD-352DB1F76872}";
constexpr wchar_t kIBriskletItemKey[] = L"Interface\\{91B0AD06-0AD7-4F9C-851B-9D4DD996BCC8}";
constexpr wchar_t kIFormRegionsKey[] = L"Interface\\{03BECBD9-B45E-42A7-873B-D4D084C5AA37}";
// PSOAInterface: OLE Automation's marshaller for interfaces described by a type library.
constexpr wchar_t kAutomationProxy[] = L"{00020424-0000-0000-C000-000000000046}";

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

    // Outlook's add-in entry: load at start-up, loaded; never when Outlook is started for
    // automation.
    OwnKeyReplaced(kAddins, kConnectProgId),
    Text(kAddins, kConnectProgId, L"Description",
         L"Jump into the world of rich, interactive email. Version: 1.13.1"),
    Text(kAddins, kConnectProgId, L"FriendlyName", L"Tidepost"),
    Dword(kAddins, kConnectProgId, L"LoadBehavior", 3),
    Dword(kAddins, kConnectProgId, L"CommandLineSafe", 0),

    // The base branded class's form region, supplied by the add-in ("=" and its ProgID).
    OwnKey(kFormRegions, L"IPM.Note.Tidepost"),
    Text(kFormRegions, L"IPM.Note.Tidepost", L"Tidepost", L"=TidepostOutlookAddIn.Connect"),

    // The type library, one path per bitness under the key both share.
    OwnKey(kTypeLibrary, kLibraryKey),
    Text(kTypeLibrary, kLibraryVersionKey, kDefault, L"BriskletOutlookAddinLib 1.0 Type Library"),
    // LIBFLAG_FHASDISKIMAGE, as the library's attributes say.
    Text(kTypeLibrary, L"TypeLib\\{3A9C7E52-D14B-4F6E-8B07-91E2C5D4A6F8}\\1.0\\FLAGS", kDefault,
         L"8"),
    ModuleFolder(kTypeLibrary, L"TypeLib\\{3A9C7E52-D14B-4F6E-8B07-91E2C5D4A6F8}\\1.0\\HELPDIR",
                 kDefault),
    ModulePath(kTypeLibrary, L"TypeLib\\{3A9C7E52-D14B-4F6E-8B07-91E2C5D4A6F8}\\1.0\\0\\win64",
               kDefault, Bitness::k64),
    ModulePath(kTypeLibrary, L"TypeLib\\{3A9C7E52-D14B-4F6E-8B07-91E2C5D4A6F8}\\1.0\\0\\win32",
               kDefault, Bitness::k32),

    // Its dual interfaces, marshalled by OLE Automation's proxy.
    OwnKey(kTypeLibrary, kIConnectKey),
    Text(kTypeLibrary, kIConnectKey, kDefault, L"IConnect"),
    Text(kTypeLibrary, L"Interface\\{0DCB784F-D38C-40C0-86BD-352DB1F76872}\\ProxyStubClsid",
         kDefault, kAutomationProxy),
    Text(kTypeLibrary, L"Interface\\{0DCB784F-D38C-40C0-86BD-352DB1F76872}\\ProxyStubClsid32",
         kDefault, kAutomationProxy),
    Text(kTypeLibrary, L"Interface\\{0DCB784F-D38C-40C0-86BD-352DB1F76872}\\TypeLib", kDefault,
         kTypeLibraryIdText),
    Text(kTypeLibrary, L"Interface\\{0DCB784F-D38C-40C0-86BD-352DB1F76872}\\TypeLib", L"Version",
         L"1.0"),
    OwnKey(kTypeLibrary, kIBriskletItemKey),
    Text(kTypeLibrary, kIBriskletItemKey, kDefault, L"IBriskletItem"),
    Text(kTypeLibrary, L"Interface\\{91B0AD06-0AD7-4F9C-851B-9D4DD996BCC8}\\ProxyStubClsid",
         kDefault, kAutomationProxy),
    Text(kTypeLibrary, L"Interface\\{91B0AD06-0AD7-4F9C-851B-9D4DD996BCC8}\\ProxyStubClsid32",
         kDefault, kAutomationProxy),
    Text(kTypeLibrary, L"Interface\\{91B0AD06-0AD7-4F9C-851B-9D4DD996BCC8}\\TypeLib", kDefault,
         kTypeLibraryIdText),
    Text(kTypeLibrary, L"Interface\\{91B0AD06-0AD7-4F9C-851B-9D4DD996BCC8}\\TypeLib", L"Version",
         L"1.0"),
    OwnKey(kTypeLibrary, kIFormRegionsKey),
    Text(kTypeLibrary, kIFormRegionsKey, kDefault, L"IFormRegions"),
    Text(kTypeLibrary, L"Interface\\{03BECBD9-B45E-42A7-873B-D4D084C5AA37}\\ProxyStubClsid",
         kDefault, kAutomationProxy),
    Text(kTypeLibrary, L"Interface\\{03BECBD9-B45E-42A7-873B-D4D084C5AA37}\\ProxyStubClsid32",
         kDefault, kAutomationProxy),
    Text(kTypeLibrary, L"Interface\\{03BECBD9-B45E-42A7-873B-D4D084C5AA37}\\TypeLib", kDefault,
         kTypeLibraryIdText),
    Text(kTypeLibrary, L"Interface\\{03BECBD9-B45E-42A7-873B-D4D084C5AA37}\\TypeLib", L"Version",
         L"1.0"),
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
