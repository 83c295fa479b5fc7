// Registering and unregistering the COM server on the simulated registry: the exact keys of
// each scope, the keys of others left alone, rights that are missing, and an installation
// that fails half-way and is undone.
#include "addin/server_registration.h"

#include <gtest/gtest.h>

#include <set>

#include "addin/registration_table.h"
#include "base/text.h"
#include "platform/registry_values.h"
#include "support/test_host.h"

namespace tp {
namespace {

using host::RegRoot;

constexpr wchar_t kModule[] = L"C:\\Users\\Zo\u00EB\\Tidepost\\TidepostOutlookAddin.dll";
constexpr HResult kAccessDenied = static_cast<HResult>(0x80070005);
constexpr HResult kTypeLibRegistryAccess = static_cast<HResult>(0x8002801C);

// Where an expected value lives, as an installer reading the registry sees it.
enum class Where { kClasses, kAddins, kMachineFormRegions };

struct ExpectedValue {
  Where where;
  const wchar_t* key;
  const wchar_t* name;
  const wchar_t* text;  // null: the DWORD below
  uint32_t number;
};

// Everything a registration writes, spelled out.
const ExpectedValue kExpectedValues[] = {
    {Where::kClasses, L"TidepostOutlookAddin.Connect.1", L"", L"Connect Class", 0},
    {Where::kClasses, L"TidepostOutlookAddin.Connect.1\\CLSID", L"",
     L"{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}", 0},
    {Where::kClasses, L"TidepostOutlookAddin.Connect", L"", L"Connect Class", 0},
    {Where::kClasses, L"TidepostOutlookAddin.Connect\\CLSID", L"",
     L"{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}", 0},
    {Where::kClasses, L"TidepostOutlookAddin.Connect\\CurVer", L"",
     L"TidepostOutlookAddin.Connect.1", 0},
    {Where::kClasses, L"CLSID\\{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}", L"", L"Connect Class", 0},
    {Where::kClasses, L"CLSID\\{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}\\ProgID", L"",
     L"TidepostOutlookAddin.Connect.1", 0},
    {Where::kClasses, L"CLSID\\{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}\\VersionIndependentProgID",
     L"", L"TidepostOutlookAddin.Connect", 0},
    {Where::kClasses, L"CLSID\\{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}\\InprocServer32", L"",
     kModule, 0},
    {Where::kClasses, L"CLSID\\{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}\\InprocServer32",
     L"ThreadingModel", L"Apartment", 0},
    {Where::kClasses, L"CLSID\\{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}\\TypeLib", L"",
     L"{3A9C7E52-D14B-4F6E-8B07-91E2C5D4A6F8}", 0},
    {Where::kClasses, L"CLSID\\{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}\\Version", L"", L"1.0", 0},
    {Where::kAddins, L"TidepostOutlookAddin.Connect", L"Description",
     L"Jump into the world of rich, interactive email. Version: 1.13.1", 0},
    {Where::kAddins, L"TidepostOutlookAddin.Connect", L"FriendlyName", L"Tidepost", 0},
    {Where::kAddins, L"TidepostOutlookAddin.Connect", L"LoadBehavior", nullptr, 3},
    {Where::kAddins, L"TidepostOutlookAddin.Connect", L"CommandLineSafe", nullptr, 0},
    {Where::kMachineFormRegions, L"IPM.Note.Tidepost", L"Tidepost",
     L"=TidepostOutlookAddIn.Connect", 0},
};

// Keys that hold no value of their own.
const wchar_t* const kExpectedEmptyClassKeys[] = {
    L"CLSID\\{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}\\Programmable",
};

class ServerRegistrationTest : public testing::SimHostTest {
 protected:
  static RegRoot RootOf(Where where, RegistrationScope scope) {
    if (where == Where::kMachineFormRegions || scope == RegistrationScope::kMachine)
      return RegRoot::kLocalMachine;
    return RegRoot::kCurrentUser;
  }
  static std::wstring PathOf(Where where, const std::wstring& key) {
    switch (where) {
      case Where::kClasses:
        return L"Software\\Classes\\" + key;
      case Where::kAddins:
        return L"Software\\Microsoft\\Office\\Outlook\\Addins\\" + key;
      case Where::kMachineFormRegions:
        break;
    }
    return L"Software\\Microsoft\\Office\\Outlook\\FormRegions\\" + key;
  }

  std::optional<host::RegValue> Value(RegRoot root, const std::wstring& path,
                                      const std::wstring& name) {
    std::unique_ptr<host::RegistryKey> key = OpenRegistryKey(root, path, host::RegAccess::kRead);
    host::RegValue value;
    if (!key || key->QueryValue(name, &value) != host::kRegOk)
      return std::nullopt;
    return value;
  }
  bool KeyExists(RegRoot root, const std::wstring& path) {
    return OpenRegistryKey(root, path, host::RegAccess::kRead) != nullptr;
  }

  void ExpectRegistered(RegistrationScope scope) {
    for (const ExpectedValue& expected : kExpectedValues) {
      const std::wstring path = PathOf(expected.where, expected.key);
      SCOPED_TRACE(path + L" " + expected.name);
      const std::optional<host::RegValue> value =
          Value(RootOf(expected.where, scope), path, expected.name);
      ASSERT_TRUE(value.has_value());
      if (expected.text != nullptr) {
        EXPECT_EQ(value->type, host::RegType::kString);
        // REG_SZ with its terminating zero.
        EXPECT_EQ(value->data, WideToUtf16Le(expected.text) + std::string(2, '\0'));
      } else {
        EXPECT_EQ(value->type, host::RegType::kDword);
        EXPECT_EQ(value->data, std::string(reinterpret_cast<const char*>(&expected.number), 4));
      }
    }
    for (const wchar_t* key : kExpectedEmptyClassKeys) {
      EXPECT_TRUE(KeyExists(RootOf(Where::kClasses, scope), PathOf(Where::kClasses, key)));
    }
  }

  // Every key below `path` ("" for the whole root), by its path from there.
  std::set<std::wstring> KeysBelow(RegRoot root, const std::wstring& path) {
    std::set<std::wstring> keys;
    std::vector<std::wstring> pending{L""};
    while (!pending.empty()) {
      const std::wstring current = pending.back();
      pending.pop_back();
      std::unique_ptr<host::RegistryKey> key;
      const std::wstring full = current.empty() ? path : path + L"\\" + current;
      if (sim().registry.Root(root).OpenSubKey(full, host::RegAccess::kRead, &key) !=
          host::kRegOk) {
        continue;
      }
      std::wstring name;
      for (uint32_t index = 0; key->EnumSubKey(index, &name) == host::kRegOk; ++index) {
        const std::wstring child = current.empty() ? name : current + L"\\" + name;
        keys.insert(child);
        pending.push_back(child);
      }
    }
    return keys;
  }

  std::string Snapshot() { return sim().registry.tree().Serialize(); }

  void CreateKey(RegRoot root, const std::wstring& path, const std::wstring& value = L"") {
    std::unique_ptr<host::RegistryKey> key;
    ASSERT_EQ(sim().registry.Root(root).CreateSubKey(path, host::RegAccess::kReadWrite, &key),
              host::kRegOk);
    if (!value.empty()) {
      ASSERT_EQ(WriteStringValue(*key, L"", value), host::kRegOk);
    }
  }

  // Keys of other programs beside ours, in every place ours go: the shared parents
  // therefore exist before registration.
  void CreateStrangers() {
    for (RegRoot root : {RegRoot::kLocalMachine, RegRoot::kCurrentUser}) {
      CreateKey(root, L"Software\\Classes\\CLSID\\{00000000-1111-2222-3333-444444444444}",
                L"Other Class");
      CreateKey(root, L"Software\\Classes\\TidepostOutlookAddin.Other", L"Other Class");
      CreateKey(root, L"Software\\Microsoft\\Office\\Outlook\\Addins\\Other.Connect", L"x");
      for (const wchar_t* region :
           {L"IPM.Note", L"IPM.Note.Other", L"ipm.note.tidepost.lumen", L"IPM.Note.tidepostal",
            L"IPM.Note.SMIME", L"IPM.Note.SMIME.Other", L"IPM.Post.Tidepost.Acme"}) {
        CreateKey(root, PathOf(Where::kMachineFormRegions, region), L"=Other.Connect");
      }
    }
  }

  // The form-region keys the add-in writes for the current user as it brands mail.
  void CreateBrandedFormRegions(RegRoot root) {
    for (const wchar_t* region :
         {L"IPM.Note.Tidepost.Acme", L"IPM.Note.Tidepost.Kestrel",
          L"IPM.Note.SMIME.Tidepost.Acme.SMIME",
          L"IPM.Note.SMIME.MultipartSigned.Tidepost.Acme.SMIME.MultipartSigned",
          L"IPM.Note.Brisklet.Lumen", L"IPM.Note.Tidepost"}) {
      CreateKey(root, PathOf(Where::kMachineFormRegions, region) + L"\\Sub");
    }
  }

  void DenyLocalMachine() {
    sim().registry.SetFault([](const host::RegOperation& operation) {
      return operation.root == RegRoot::kLocalMachine ? host::kRegAccessDenied : host::kRegOk;
    });
  }
};

TEST(RegistrationScopeTest, OnlyTheWholeWordUserInAnyCaseIsPerUser) {
  const struct {
    std::optional<std::wstring_view> commandLine;
    RegistrationScope scope;
  } cases[] = {
      {L"user", RegistrationScope::kUser},         {L"USER", RegistrationScope::kUser},
      {L"uSeR", RegistrationScope::kUser},         {L"user ", RegistrationScope::kMachine},
      {L" user", RegistrationScope::kMachine},     {L"users", RegistrationScope::kMachine},
      {L"use", RegistrationScope::kMachine},       {L"", RegistrationScope::kMachine},
      {std::nullopt, RegistrationScope::kMachine},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(ScopeOfInstallCommand(test.commandLine), test.scope)
        << std::wstring(test.commandLine.value_or(L"(none)"));
  }
}

TEST(RegistrationTableTest, EveryEntryLiesInAnOwnKeyListedBeforeIt) {
  std::vector<const RegistrationEntry*> ownKeys;
  for (const RegistrationEntry& entry : RegistrationEntries()) {
    const std::wstring key = entry.key;
    SCOPED_TRACE(key);
    if (entry.kind == RegistrationEntryKind::kOwnKey ||
        entry.kind == RegistrationEntryKind::kOwnKeyReplaced) {
      ownKeys.push_back(&entry);
      continue;
    }
    bool inside = false;
    for (const RegistrationEntry* own : ownKeys) {
      const std::wstring ownKey = own->key;
      inside |= own->hive == entry.hive && (key == ownKey || key.starts_with(ownKey + L"\\"));
    }
    EXPECT_TRUE(inside);
  }
  // The form-region keys are removed by prefix; the table's own must be among them.
  for (const RegistrationEntry* own : ownKeys) {
    if (own->hive != RegistrationHive::kMachineFormRegions)
      continue;
    bool matched = false;
    for (const wchar_t* prefix : OwnFormRegionPrefixes())
      matched |= std::wstring(own->key).starts_with(prefix);
    EXPECT_TRUE(matched) << own->key;
  }
}

TEST_F(ServerRegistrationTest, PerMachineWritesTheClassesAndOutlooksEntriesUnderLocalMachine) {
  EXPECT_EQ(RegisterServer(kModule, RegistrationScope::kMachine), hr::kOk);
  ExpectRegistered(RegistrationScope::kMachine);
  EXPECT_TRUE(sim().typeLibraries.IsRegistered(kModule, false));
  EXPECT_FALSE(sim().typeLibraries.IsRegistered(kModule, true));

  // Nothing else: no key for the user, none through HKEY_CLASSES_ROOT (which would land
  // with the user's own classes when the user has a copy of the key).
  EXPECT_TRUE(KeysBelow(RegRoot::kCurrentUser, L"").empty());
  EXPECT_TRUE(KeysBelow(RegRoot::kClassesRoot, L"").empty());
  const std::set<std::wstring> classes = {
      L"Software\\Classes\\CLSID",
      L"Software\\Classes\\CLSID\\{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}",
      L"Software\\Classes\\CLSID\\{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}\\InprocServer32",
      L"Software\\Classes\\CLSID\\{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}\\ProgID",
      L"Software\\Classes\\CLSID\\{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}\\Programmable",
      L"Software\\Classes\\CLSID\\{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}\\TypeLib",
      L"Software\\Classes\\CLSID\\{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}\\Version",
      L"Software\\Classes\\CLSID\\{6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}\\"
      L"VersionIndependentProgID",
      L"Software\\Classes\\TidepostOutlookAddin.Connect",
      L"Software\\Classes\\TidepostOutlookAddin.Connect\\CLSID",
      L"Software\\Classes\\TidepostOutlookAddin.Connect\\CurVer",
      L"Software\\Classes\\TidepostOutlookAddin.Connect.1",
      L"Software\\Classes\\TidepostOutlookAddin.Connect.1\\CLSID",
  };
  std::set<std::wstring> expected;
  for (const std::wstring& key : classes)
    expected.insert(key);
  for (const wchar_t* key :
       {L"Software\\Microsoft", L"Software\\Microsoft\\Office",
        L"Software\\Microsoft\\Office\\Outlook", L"Software\\Microsoft\\Office\\Outlook\\Addins",
        L"Software\\Microsoft\\Office\\Outlook\\Addins\\TidepostOutlookAddin.Connect",
        L"Software\\Microsoft\\Office\\Outlook\\FormRegions",
        L"Software\\Microsoft\\Office\\Outlook\\FormRegions\\IPM.Note.Tidepost"}) {
    expected.insert(key);
  }
  std::set<std::wstring> written = KeysBelow(RegRoot::kLocalMachine, L"");
  written.erase(L"Software");
  written.erase(L"Software\\Classes");
  EXPECT_EQ(written, expected);
}

TEST_F(ServerRegistrationTest, PerUserWritesForTheUserAndTheFormRegionOnlyWhenAllowed) {
  EXPECT_EQ(InstallServer(true, kModule, RegistrationScope::kUser), hr::kOk);
  ExpectRegistered(RegistrationScope::kUser);
  EXPECT_TRUE(sim().typeLibraries.IsRegistered(kModule, true));
  EXPECT_FALSE(KeyExists(RegRoot::kLocalMachine, L"Software\\Classes"));
  EXPECT_FALSE(KeyExists(RegRoot::kLocalMachine, L"Software\\Microsoft\\Office\\Outlook\\Addins"));
  EXPECT_EQ(InstallServer(false, kModule, RegistrationScope::kUser), hr::kOk);

  // A user without administrative rights: everything but the machine's form-region entry.
  const std::string uninstalled = Snapshot();
  const std::set<std::wstring> machine = KeysBelow(RegRoot::kLocalMachine, L"");
  DenyLocalMachine();
  EXPECT_EQ(InstallServer(true, kModule, RegistrationScope::kUser), hr::kOk);
  EXPECT_TRUE(KeyExists(RegRoot::kCurrentUser, PathOf(Where::kAddins, kConnectProgId)));
  EXPECT_TRUE(
      KeyExists(RegRoot::kCurrentUser, PathOf(Where::kClasses, L"TidepostOutlookAddin.Connect")));
  sim().registry.SetFault(nullptr);
  EXPECT_EQ(KeysBelow(RegRoot::kLocalMachine, L""), machine);

  DenyLocalMachine();
  EXPECT_EQ(InstallServer(false, kModule, RegistrationScope::kUser), hr::kOk);
  sim().registry.SetFault(nullptr);
  EXPECT_EQ(Snapshot(), uninstalled);
  EXPECT_FALSE(sim().typeLibraries.IsRegistered(kModule, true));
}

TEST_F(ServerRegistrationTest, PerMachineWithoutRightsFailsAndLeavesNothing) {
  DenyLocalMachine();
  const std::string before = Snapshot();
  EXPECT_EQ(RegisterServer(kModule, RegistrationScope::kMachine), kAccessDenied);
  EXPECT_EQ(InstallServer(true, kModule, RegistrationScope::kMachine), kAccessDenied);
  EXPECT_EQ(Snapshot(), before);
  EXPECT_FALSE(sim().typeLibraries.IsRegistered(kModule, false));
  EXPECT_EQ(sim().typeLibraries.Calls(),
            (std::vector<std::wstring>{std::wstring(L"Unregister machine ") + kModule}))
      << "the type library is not registered after the classes failed";
}

TEST_F(ServerRegistrationTest, UnregistrationRemovesOursFromBothHivesAndNothingElse) {
  CreateStrangers();
  const std::string strangersOnly = Snapshot();
  CreateBrandedFormRegions(RegRoot::kCurrentUser);
  CreateBrandedFormRegions(RegRoot::kLocalMachine);
  ASSERT_EQ(RegisterServer(kModule, RegistrationScope::kMachine), hr::kOk);
  ASSERT_EQ(RegisterServer(kModule, RegistrationScope::kUser), hr::kOk);
  EXPECT_TRUE(KeyExists(RegRoot::kLocalMachine,
                        L"Software\\Classes\\CLSID\\{00000000-1111-2222-3333-444444444444}"));

  EXPECT_EQ(UnregisterServer(kModule, RegistrationScope::kMachine), hr::kOk);
  // The user's own installation stays; only its form regions are gone with the machine's.
  EXPECT_TRUE(
      KeyExists(RegRoot::kCurrentUser, PathOf(Where::kClasses, L"TidepostOutlookAddin.Connect")));
  EXPECT_FALSE(KeyExists(RegRoot::kCurrentUser,
                         PathOf(Where::kMachineFormRegions, L"IPM.Note.Tidepost.Acme")));
  EXPECT_FALSE(
      KeyExists(RegRoot::kLocalMachine, PathOf(Where::kClasses, L"TidepostOutlookAddin.Connect")));

  EXPECT_EQ(UnregisterServer(kModule, RegistrationScope::kUser), hr::kOk);
  EXPECT_EQ(Snapshot(), strangersOnly);
  EXPECT_FALSE(sim().typeLibraries.IsRegistered(kModule, false));
  EXPECT_FALSE(sim().typeLibraries.IsRegistered(kModule, true));

  // Unregistering what is not there succeeds.
  EXPECT_EQ(UnregisterServer(kModule, RegistrationScope::kMachine), hr::kOk);
  EXPECT_EQ(Snapshot(), strangersOnly);
}

// Both DLLs registered on 64-bit Windows, then one unregistered: what the two views share
// stays for the other, and goes with the last one.
TEST_F(ServerRegistrationTest, UnregisteringOneBitnessKeepsWhatTheOtherStillUses) {
  using host::RegView;
  constexpr wchar_t kModule32[] = L"C:\\Program Files (x86)\\Tidepost\\TidepostOutlookAddin.dll";
  const std::wstring progId = L"Software\\Classes\\TidepostOutlookAddin.Connect";
  const std::wstring classKey = L"Software\\Classes\\CLSID\\" + std::wstring(kConnectClsidText);
  const std::wstring addinKey = PathOf(Where::kAddins, kConnectProgId);
  const std::wstring library = L"Software\\Classes\\TypeLib\\" + std::wstring(kTypeLibraryIdText);
  const std::wstring iconnect =
      L"Software\\Classes\\Interface\\{0DCB784F-D38C-40C0-86BD-352DB1F76872}";
  auto exists = [&](RegView view, RegRoot root, const std::wstring& path) {
    std::unique_ptr<host::RegistryKey> key;
    return sim().registry.ViewRoot(root, view).OpenSubKey(path, host::RegAccess::kRead, &key) ==
           host::kRegOk;
  };
  // What each bitness's type library registration writes (the simulated registrar writes
  // nothing).
  auto plantTypeLibrary = [&](RegView view, RegRoot root) {
    std::unique_ptr<host::RegistryKey> key;
    host::RegistryKey& classes = sim().registry.ViewRoot(root, view);
    const wchar_t* platform = view == RegView::k64 ? L"win64" : L"win32";
    ASSERT_EQ(
        classes.CreateSubKey(library + L"\\1.0\\0\\" + platform, host::RegAccess::kReadWrite, &key),
        host::kRegOk);
    ASSERT_EQ(classes.CreateSubKey(iconnect + L"\\TypeLib", host::RegAccess::kReadWrite, &key),
              host::kRegOk);
  };

  for (RegistrationScope scope : {RegistrationScope::kMachine, RegistrationScope::kUser}) {
    for (RegView first : {RegView::k64, RegView::k32}) {
      const RegView second = first == RegView::k64 ? RegView::k32 : RegView::k64;
      const RegRoot root =
          scope == RegistrationScope::kUser ? RegRoot::kCurrentUser : RegRoot::kLocalMachine;
      SCOPED_TRACE(::testing::Message() << "scope " << static_cast<int>(scope) << ", first "
                                        << (first == RegView::k64 ? "64" : "32"));
      CreateStrangers();
      // The parents of ours in either view, which are never removed.
      for (RegView view : {RegView::k64, RegView::k32}) {
        for (const wchar_t* parent :
             {L"Software\\Classes\\CLSID", L"Software\\Classes\\Interface",
              L"Software\\Classes\\TypeLib", L"Software\\Microsoft\\Office\\Outlook\\Addins",
              L"Software\\Microsoft\\Office\\Outlook\\FormRegions"}) {
          std::unique_ptr<host::RegistryKey> key;
          ASSERT_EQ(sim()
                        .registry.ViewRoot(root, view)
                        .CreateSubKey(parent, host::RegAccess::kReadWrite, &key),
                    host::kRegOk);
        }
      }
      const std::string strangersOnly = Snapshot();
      for (RegView view : {RegView::k64, RegView::k32}) {
        sim().registry.SetOwnView(view);
        ASSERT_EQ(RegisterServer(view == RegView::k64 ? kModule : kModule32, scope), hr::kOk);
        plantTypeLibrary(view, root);
      }
      CreateBrandedFormRegions(RegRoot::kCurrentUser);
      sim().typeLibraries.ClearCalls();

      sim().registry.SetOwnView(first);
      EXPECT_EQ(UnregisterServer(first == RegView::k64 ? kModule : kModule32, scope), hr::kOk);
      // This view's own keys are gone...
      EXPECT_FALSE(exists(first, root, classKey));
      EXPECT_TRUE(exists(second, root, classKey));
      EXPECT_FALSE(exists(first, root, iconnect));
      EXPECT_TRUE(exists(second, root, iconnect));
      EXPECT_FALSE(
          exists(first, root,
                 library + (first == RegView::k64 ? L"\\1.0\\0\\win64" : L"\\1.0\\0\\win32")));
      // ...and what both share stays: the ProgIDs, the library, the user's add-in entry
      // (the machine's is one per view) and the user's form regions.
      EXPECT_TRUE(exists(first, root, progId));
      EXPECT_TRUE(exists(second, root, progId + L".1"));
      EXPECT_TRUE(
          exists(second, root,
                 library + (second == RegView::k64 ? L"\\1.0\\0\\win64" : L"\\1.0\\0\\win32")));
      EXPECT_TRUE(exists(second, root, addinKey));
      EXPECT_EQ(exists(first, root, addinKey), scope == RegistrationScope::kUser);
      EXPECT_TRUE(exists(first, RegRoot::kCurrentUser,
                         PathOf(Where::kMachineFormRegions, L"IPM.Note.Tidepost.Acme")));
      EXPECT_TRUE(sim().typeLibraries.Calls().empty()) << "the library is not unregistered";

      // The last one takes everything of ours.
      sim().registry.SetOwnView(second);
      EXPECT_EQ(UnregisterServer(second == RegView::k64 ? kModule : kModule32, scope), hr::kOk);
      EXPECT_EQ(sim().typeLibraries.Calls().size(), 1u);
      EXPECT_FALSE(exists(second, RegRoot::kCurrentUser,
                          PathOf(Where::kMachineFormRegions, L"IPM.Note.Tidepost.Acme")));
      // The registrar removes the rest of the library (here, by hand).
      EXPECT_EQ(sim().registry.ViewRoot(root, second).DeleteTree(iconnect), host::kRegOk);
      EXPECT_EQ(sim().registry.ViewRoot(root, second).DeleteTree(library), host::kRegOk);
      EXPECT_EQ(Snapshot(), strangersOnly);
      sim().registry.SetOwnView(RegView::k64);
    }
  }
}

TEST_F(ServerRegistrationTest, AFormRegionKeyThatCannotBeRemovedDoesNotStopTheWalk) {
  CreateBrandedFormRegions(RegRoot::kCurrentUser);
  const std::wstring stuck = PathOf(Where::kMachineFormRegions, L"IPM.Note.Tidepost.Acme");
  sim().registry.SetFault([&](const host::RegOperation& operation) {
    return operation.name == L"DeleteTree" && operation.keyPath == stuck ? host::kRegAccessDenied
                                                                         : host::kRegOk;
  });
  EXPECT_EQ(UnregisterServer(kModule, RegistrationScope::kUser), hr::kOk)
      << "form-region failures never change the result";
  sim().registry.SetFault(nullptr);
  EXPECT_EQ(KeysBelow(RegRoot::kCurrentUser, PathOf(Where::kMachineFormRegions, L"")),
            (std::set<std::wstring>{L"IPM.Note.Tidepost.Acme", L"IPM.Note.Tidepost.Acme\\Sub"}));
}

TEST_F(ServerRegistrationTest, RegistrationReplacesTheClassAndAddinKeysWhole) {
  const std::wstring classKey =
      PathOf(Where::kClasses, L"CLSID\\" + std::wstring(kConnectClsidText));
  const std::wstring addinKey = PathOf(Where::kAddins, kConnectProgId);
  CreateKey(RegRoot::kLocalMachine, classKey + L"\\LocalServer32", L"C:\\old\\server.exe");
  CreateKey(RegRoot::kLocalMachine, addinKey + L"\\Stale");
  ASSERT_EQ(RegisterServer(kModule, RegistrationScope::kMachine), hr::kOk);
  EXPECT_FALSE(KeyExists(RegRoot::kLocalMachine, classKey + L"\\LocalServer32"));
  EXPECT_FALSE(KeyExists(RegRoot::kLocalMachine, addinKey + L"\\Stale"));
  ExpectRegistered(RegistrationScope::kMachine);
}

TEST_F(ServerRegistrationTest, InstallationUndoesAFailureHalfWay) {
  CreateStrangers();
  CreateBrandedFormRegions(RegRoot::kCurrentUser);
  const std::string before = Snapshot();
  // The registry refuses the class's server path, after the ProgIDs were written.
  const std::wstring server =
      PathOf(Where::kClasses, L"CLSID\\" + std::wstring(kConnectClsidText)) + L"\\InprocServer32";
  sim().registry.SetFault([&](const host::RegOperation& operation) {
    return operation.name == L"SetValue" && operation.keyPath == server ? host::kRegAccessDenied
                                                                        : host::kRegOk;
  });
  EXPECT_EQ(RegisterServer(kModule, RegistrationScope::kMachine), kAccessDenied);
  EXPECT_TRUE(
      KeyExists(RegRoot::kLocalMachine, PathOf(Where::kClasses, L"TidepostOutlookAddin.Connect.1")))
      << "registration alone leaves what it wrote";

  EXPECT_EQ(InstallServer(true, kModule, RegistrationScope::kMachine), kAccessDenied);
  sim().registry.SetFault(nullptr);
  // Undone: every key of ours, the branded classes' form regions included, and nothing else.
  EXPECT_FALSE(KeyExists(RegRoot::kCurrentUser,
                         PathOf(Where::kMachineFormRegions, L"IPM.Note.Tidepost.Acme")));
  EXPECT_FALSE(KeyExists(RegRoot::kLocalMachine,
                         PathOf(Where::kClasses, L"TidepostOutlookAddin.Connect.1")));
  EXPECT_FALSE(KeyExists(RegRoot::kLocalMachine, PathOf(Where::kAddins, kConnectProgId)));
  EXPECT_FALSE(sim().typeLibraries.IsRegistered(kModule, false));
  CreateBrandedFormRegions(RegRoot::kCurrentUser);  // all the undoing removed
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(ServerRegistrationTest, ATypeLibraryFailureFailsTheInstallationAndIsUndone) {
  CreateStrangers();
  sim().typeLibraries.SetFault([](const std::wstring& call, bool) {
    return call == L"Register" ? kTypeLibRegistryAccess : hr::kOk;
  });
  const std::string before = Snapshot();
  EXPECT_EQ(InstallServer(true, kModule, RegistrationScope::kUser), kTypeLibRegistryAccess);
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(sim().typeLibraries.Calls(),
            (std::vector<std::wstring>{std::wstring(L"Register user ") + kModule,
                                       std::wstring(L"Unregister user ") + kModule}));

  // Unregistration reports the library's failure, after removing everything else.
  ASSERT_EQ(RegisterServer(kModule, RegistrationScope::kMachine), kTypeLibRegistryAccess);
  sim().typeLibraries.SetFault([](const std::wstring& call, bool) {
    return call == L"Unregister" ? kTypeLibRegistryAccess : hr::kOk;
  });
  EXPECT_EQ(UnregisterServer(kModule, RegistrationScope::kMachine), kTypeLibRegistryAccess);
  EXPECT_FALSE(KeyExists(RegRoot::kLocalMachine, PathOf(Where::kAddins, kConnectProgId)));
}

}  // namespace
}  // namespace tp
