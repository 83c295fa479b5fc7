// The packages' registry rows, installed into the simulated registry as Windows Installer
// writes them, against what DllRegisterServer writes for each bitness, and the settings
// against what the add-in reads.
#include "addin/package_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include <map>

#include "addin/registration_table.h"
#include "net/usage_statistics.h"
#include "platform/registry_values.h"
#include "support/test_host.h"

namespace tp {
namespace {

using host::RegRoot;
using host::RegView;

constexpr wchar_t kDll64[] = L"C:\\Program Files\\Tidepost\\TidepostOutlookAddin.dll";
constexpr wchar_t kDll32[] = L"C:\\Program Files (x86)\\Tidepost\\TidepostOutlookAddin.dll";

bool IsTypeLibraryKey(const std::wstring& key) {
  return key.find(L"\\TypeLib\\") != std::wstring::npos ||
         key.find(L"\\Interface\\") != std::wstring::npos;
}

class PackageRowsTest : public testing::SimHostTest {
 protected:
  // Writes the rows of the given components as Windows Installer writes a 64-bit component's
  // rows: into the 64-bit view, at the keys named.
  void Install(RegistrationScope scope, std::initializer_list<PackageComponent> components,
               const std::map<std::wstring, std::wstring>& properties, bool typeLibrary) {
    for (const PackageRow& row : PackageRows(scope)) {
      if (std::find(components.begin(), components.end(), row.component) == components.end() ||
          IsTypeLibraryKey(row.key) != typeLibrary) {
        continue;
      }
      SCOPED_TRACE(row.key + L" " + row.name);
      std::unique_ptr<host::RegistryKey> key;
      ASSERT_EQ(sim()
                    .registry.ViewRoot(row.root, RegView::k64)
                    .CreateSubKey(row.key, host::RegAccess::kReadWrite, &key),
                host::kRegOk);
      const wchar_t* dll = row.component == PackageComponent::kAddin32 ? kDll32 : kDll64;
      switch (row.kind) {
        case PackageValueKind::kOwnKey:
          break;
        case PackageValueKind::kText:
          ASSERT_EQ(WriteStringValue(*key, row.name, row.text), host::kRegOk);
          break;
        case PackageValueKind::kDword:
          ASSERT_EQ(WriteDwordValue(*key, row.name, row.number), host::kRegOk);
          break;
        case PackageValueKind::kDllPath:
          ASSERT_EQ(WriteStringValue(*key, row.name, dll), host::kRegOk);
          break;
        case PackageValueKind::kDllFolder: {
          const std::wstring path = dll;
          ASSERT_EQ(WriteStringValue(*key, row.name, path.substr(0, path.rfind(L'\\'))),
                    host::kRegOk);
          break;
        }
        case PackageValueKind::kProperty:
          ASSERT_EQ(WriteStringValue(*key, row.name, properties.at(row.text)), host::kRegOk);
          break;
        case PackageValueKind::kDwordProperty:
          ASSERT_EQ(WriteDwordValue(*key, row.name, std::stoul(properties.at(row.text))),
                    host::kRegOk);
          break;
      }
    }
  }

  // What DllRegisterServer of each DLL writes, without the type library (the simulated
  // registrar writes no keys).
  std::string RegisteredByBothDlls(RegistrationScope scope) {
    if (scope == RegistrationScope::kUser) {
      // A user without administrative rights: no machine-wide form-region entry.
      sim().registry.SetFault([](const host::RegOperation& operation) {
        return operation.root == RegRoot::kLocalMachine ? host::kRegAccessDenied : host::kRegOk;
      });
    }
    sim().registry.SetOwnView(RegView::k64);
    EXPECT_EQ(RegisterServer(kDll64, scope), hr::kOk);
    sim().registry.SetOwnView(RegView::k32);
    EXPECT_EQ(RegisterServer(kDll32, scope), hr::kOk);
    sim().registry.SetOwnView(RegView::k64);
    sim().registry.SetFault(nullptr);
    return sim().registry.tree().Serialize();
  }

  void Clear() { ASSERT_TRUE(sim().registry.tree().Deserialize("# Tidepost registry\n", nullptr)); }
};

TEST_F(PackageRowsTest, EachPackageWritesWhatBothDllsRegisterInTheirViews) {
  for (RegistrationScope scope : {RegistrationScope::kMachine, RegistrationScope::kUser}) {
    SCOPED_TRACE(scope == RegistrationScope::kUser ? "per user" : "per machine");
    const std::string registered = RegisteredByBothDlls(scope);
    Clear();
    Install(scope, {PackageComponent::kAddin64, PackageComponent::kAddin32},
            {{kLoadBehaviorProperty, L"3"}}, false);
    EXPECT_EQ(sim().registry.tree().Serialize(), registered);
    Clear();
  }
}

TEST_F(PackageRowsTest, EachPackageWritesItsTypeLibraryForBothBitnessesAndItsScopeOnly) {
  for (RegistrationScope scope : {RegistrationScope::kMachine, RegistrationScope::kUser}) {
    const RegRoot root =
        scope == RegistrationScope::kUser ? RegRoot::kCurrentUser : RegRoot::kLocalMachine;
    Install(scope, {PackageComponent::kAddin64, PackageComponent::kAddin32}, {}, true);
    const std::wstring library = L"Software\\Classes\\TypeLib\\" + std::wstring(kTypeLibraryIdText);
    std::unique_ptr<host::RegistryKey> key;
    for (const auto& [view, platform, dll] :
         {std::tuple{RegView::k64, L"win64", kDll64}, std::tuple{RegView::k32, L"win32", kDll32}}) {
      host::RegistryKey& classes = sim().registry.ViewRoot(root, view);
      ASSERT_EQ(
          classes.OpenSubKey(library + L"\\1.0\\0\\" + platform, host::RegAccess::kRead, &key),
          host::kRegOk);
      EXPECT_EQ(ReadStringValue(*key, L""), dll);
      ASSERT_EQ(classes.OpenSubKey(L"Software\\Classes\\Interface\\{0DCB784F-D38C-40C0-86BD-"
                                   L"352DB1F76872}\\TypeLib",
                                   host::RegAccess::kRead, &key),
                host::kRegOk);
      EXPECT_EQ(ReadStringValue(*key, L""), kTypeLibraryIdText);
    }
    EXPECT_EQ(
        sim().registry.tree().Serialize().find(root == RegRoot::kLocalMachine ? "HKCU" : "HKLM"),
        std::string::npos)
        << "nothing outside the package's own hive";
    Clear();
  }
}

TEST_F(PackageRowsTest, TheSettingsAreWhereTheAddinOfEitherBitnessReadsThem) {
  const std::map<std::wstring, std::wstring> properties = {
      {kInstallationIdProperty, L"{12345678-9ABC-DEF0-1234-56789ABCDEF0}"},
      {kSenderProperty, L"newsletter"},
      {kCampaignProperty, L"spring"}};
  for (RegistrationScope scope : {RegistrationScope::kMachine, RegistrationScope::kUser}) {
    Install(
        scope,
        {PackageComponent::kInstallationId, PackageComponent::kSender, PackageComponent::kCampaign},
        properties, false);
    for (RegView view : {RegView::k64, RegView::k32}) {
      SCOPED_TRACE(::testing::Message() << static_cast<int>(scope) << static_cast<int>(view));
      sim().registry.SetOwnView(view);
      const StatisticsIdentity identity = ReadStatisticsIdentity();
      EXPECT_EQ(identity.sender, L"newsletter");
      EXPECT_EQ(identity.campaign, L"spring");
      EXPECT_EQ(scope == RegistrationScope::kUser ? identity.userId : identity.installId,
                L"12345678-9ABC-DEF0-1234-56789ABCDEF0");
    }
    sim().registry.SetOwnView(RegView::k64);
    Clear();
  }
}

}  // namespace
}  // namespace tp
