// The WOW64 table of redirected and shared keys, checked row by row against Windows 7's
// documented behaviour, and the simulated registry's 32-bit view built on it.
#include "host/registry_views.h"

#include <gtest/gtest.h>

#include "platform/registry_values.h"
#include "support/test_host.h"

namespace tp {
namespace {

using host::RegRoot;

TEST(RegistryViewsTest, KeysAreRedirectedOrSharedAsTheirNearestListedAncestor) {
  const struct {
    RegRoot root;
    const wchar_t* path;
    const wchar_t* in32BitView;  // as a 64-bit program names it
  } cases[] = {
      // HKLM\Software is redirected...
      {RegRoot::kLocalMachine, L"SOFTWARE", L"SOFTWARE\\Wow6432Node"},
      {RegRoot::kLocalMachine, L"Software\\Tidepost\\Tidepost",
       L"Software\\Wow6432Node\\Tidepost\\Tidepost"},
      {RegRoot::kLocalMachine, L"Software\\Microsoft\\Office\\Outlook\\Addins\\X.Connect",
       L"Software\\Wow6432Node\\Microsoft\\Office\\Outlook\\Addins\\X.Connect"},
      {RegRoot::kLocalMachine, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
       L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run"},
      {RegRoot::kLocalMachine, L"Software\\ClassesOfMine", L"Software\\Wow6432Node\\ClassesOfMine"},
      // ...but for its shared exceptions...
      {RegRoot::kLocalMachine, L"Software\\Policies\\Microsoft\\Office",
       L"Software\\Policies\\Microsoft\\Office"},
      {RegRoot::kLocalMachine, L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\x.exe",
       L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\x.exe"},
      {RegRoot::kLocalMachine, L"Software\\Clients\\Mail", L"Software\\Clients\\Mail"},
      // ...among them the classes, but for the class and interface keys.
      {RegRoot::kLocalMachine, L"Software\\Classes", L"Software\\Classes"},
      {RegRoot::kLocalMachine, L"Software\\Classes\\TidepostOutlookAddin.Connect\\CLSID",
       L"Software\\Classes\\TidepostOutlookAddin.Connect\\CLSID"},
      {RegRoot::kLocalMachine, L"Software\\Classes\\TypeLib\\{3A9C}\\1.0",
       L"Software\\Classes\\TypeLib\\{3A9C}\\1.0"},
      {RegRoot::kLocalMachine, L"Software\\Classes\\AppID\\{C4E7}",
       L"Software\\Classes\\AppID\\{C4E7}"},
      {RegRoot::kLocalMachine, L"Software\\Classes\\CLSID\\{6B1F}\\InprocServer32",
       L"Software\\Classes\\Wow6432Node\\CLSID\\{6B1F}\\InprocServer32"},
      {RegRoot::kLocalMachine, L"software\\classes\\clsid",
       L"software\\classes\\Wow6432Node\\clsid"},
      {RegRoot::kLocalMachine, L"Software\\Classes\\Interface\\{0DCB}",
       L"Software\\Classes\\Wow6432Node\\Interface\\{0DCB}"},
      {RegRoot::kLocalMachine, L"Software\\Classes\\CLSIDX", L"Software\\Classes\\CLSIDX"},
      // Outside Software, everything is shared.
      {RegRoot::kLocalMachine, L"System\\CurrentControlSet", L"System\\CurrentControlSet"},
      // HKCU is shared but for its class and interface keys.
      {RegRoot::kCurrentUser, L"Software\\Tidepost", L"Software\\Tidepost"},
      {RegRoot::kCurrentUser, L"Software\\Microsoft\\Office\\Outlook\\Addins\\X.Connect",
       L"Software\\Microsoft\\Office\\Outlook\\Addins\\X.Connect"},
      {RegRoot::kCurrentUser, L"Software\\Classes\\TidepostOutlookAddin.Connect",
       L"Software\\Classes\\TidepostOutlookAddin.Connect"},
      {RegRoot::kCurrentUser, L"Software\\Classes\\CLSID\\{6B1F}",
       L"Software\\Classes\\Wow6432Node\\CLSID\\{6B1F}"},
      {RegRoot::kCurrentUser, L"Software\\Classes\\Media Type\\x",
       L"Software\\Classes\\Wow6432Node\\Media Type\\x"},
      // HKEY_CLASSES_ROOT merges the two classes keys.
      {RegRoot::kClassesRoot, L"CLSID\\{6B1F}", L"Wow6432Node\\CLSID\\{6B1F}"},
      {RegRoot::kClassesRoot, L"TypeLib\\{3A9C}", L"TypeLib\\{3A9C}"},
      {RegRoot::kClassesRoot, L"", L""},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.path);
    EXPECT_EQ(host::PathInWow64View(test.root, test.path), test.in32BitView);
    EXPECT_EQ(host::IsRedirectedUnderWow64(test.root, test.path),
              std::wstring(test.path) != test.in32BitView);
  }
}

class SimRegistryViewsTest : public testing::SimHostTest {
 protected:
  std::optional<std::wstring> Read(host::RegView view, RegRoot root, const std::wstring& path) {
    std::unique_ptr<host::RegistryKey> key;
    if (sim().registry.ViewRoot(root, view).OpenSubKey(path, host::RegAccess::kRead, &key) !=
        host::kRegOk) {
      return std::nullopt;
    }
    return ReadStringValue(*key, L"");
  }
  void Write(host::RegView view, RegRoot root, const std::wstring& path, const wchar_t* text) {
    std::unique_ptr<host::RegistryKey> key;
    ASSERT_EQ(
        sim().registry.ViewRoot(root, view).CreateSubKey(path, host::RegAccess::kReadWrite, &key),
        host::kRegOk);
    ASSERT_EQ(WriteStringValue(*key, L"", text), host::kRegOk);
  }
};

TEST_F(SimRegistryViewsTest, TheThirtyTwoBitViewKeepsRedirectedKeysApartAndSharesTheRest) {
  using host::RegView;
  Write(RegView::k32, RegRoot::kLocalMachine, L"Software\\Classes\\CLSID\\{6B1F}", L"32");
  Write(RegView::k64, RegRoot::kLocalMachine, L"Software\\Classes\\CLSID\\{6B1F}", L"64");
  Write(RegView::k32, RegRoot::kLocalMachine, L"Software\\Classes\\Tidepost.Connect", L"shared");
  Write(RegView::k32, RegRoot::kLocalMachine, L"Software\\Tidepost", L"32 only");

  EXPECT_EQ(Read(RegView::k32, RegRoot::kLocalMachine, L"Software\\Classes\\CLSID\\{6B1F}"), L"32");
  EXPECT_EQ(Read(RegView::k64, RegRoot::kLocalMachine, L"Software\\Classes\\CLSID\\{6B1F}"), L"64");
  EXPECT_EQ(
      Read(RegView::k64, RegRoot::kLocalMachine, L"Software\\Classes\\Wow6432Node\\CLSID\\{6B1F}"),
      L"32");
  EXPECT_EQ(Read(RegView::k64, RegRoot::kLocalMachine, L"Software\\Classes\\Tidepost.Connect"),
            L"shared");
  EXPECT_EQ(Read(RegView::k64, RegRoot::kLocalMachine, L"Software\\Wow6432Node\\Tidepost"),
            L"32 only");
  EXPECT_EQ(Read(RegView::k64, RegRoot::kLocalMachine, L"Software\\Tidepost"), std::nullopt);

  // A key opened in the 32-bit view goes on resolving its subkeys there.
  std::unique_ptr<host::RegistryKey> classes;
  ASSERT_EQ(sim()
                .registry.ViewRoot(RegRoot::kLocalMachine, RegView::k32)
                .OpenSubKey(L"Software\\Classes", host::RegAccess::kReadWrite, &classes),
            host::kRegOk);
  EXPECT_EQ(classes->DeleteTree(L"CLSID\\{6B1F}"), host::kRegOk);
  EXPECT_EQ(Read(RegView::k32, RegRoot::kLocalMachine, L"Software\\Classes\\CLSID\\{6B1F}"),
            std::nullopt);
  EXPECT_EQ(Read(RegView::k64, RegRoot::kLocalMachine, L"Software\\Classes\\CLSID\\{6B1F}"), L"64");

  // The program under test sees its own view through Root.
  sim().registry.SetOwnView(RegView::k32);
  EXPECT_EQ(sim().registry.OwnView(), RegView::k32);
  EXPECT_EQ(ReadStringValue(*OpenRegistryKey(RegRoot::kLocalMachine, L"Software\\Tidepost",
                                             host::RegAccess::kRead),
                            L""),
            L"32 only");
}

}  // namespace
}  // namespace tp
