// The data folder, the access-time value and the registry string cache.
#include "platform/settings.h"

#include <gtest/gtest.h>

#include "host/registry.h"
#include "platform/data_folder.h"
#include "platform/registry_values.h"
#include "support/test_host.h"

namespace tp {
namespace {

using host::RegAccess;
using host::RegRoot;

class SettingsTest : public testing::SimHostTest {
 protected:
  std::unique_ptr<host::RegistryKey> Key(RegRoot root, const std::wstring& path) {
    return OpenRegistryKey(root, path, RegAccess::kReadWrite);
  }
  std::unique_ptr<host::RegistryKey> CreateKey(RegRoot root, const std::wstring& path) {
    std::unique_ptr<host::RegistryKey> key;
    EXPECT_EQ(sim().registry.Root(root).CreateSubKey(path, RegAccess::kReadWrite, &key),
              host::kRegOk);
    return key;
  }
};

TEST_F(SettingsTest, DataFolderAndSubfolderAreCreatedOnceAndReused) {
  const std::wstring sep(1, sim().files.Separator());
  const std::wstring expected = DataFolder().wstring() + sep;
  EXPECT_EQ(GetDataFilePath(nullptr, nullptr), expected);
  EXPECT_EQ(GetDataFilePath(nullptr, L"a.txt"), expected + L"a.txt");
  EXPECT_EQ(GetDataFilePath(L"provider_icons", L"x.ico"),
            expected + L"provider_icons" + sep + L"x.ico");
  EXPECT_TRUE(std::filesystem::is_directory(DataFolder() / "provider_icons"));
  // Existing folders are no error.
  EXPECT_EQ(GetDataFilePath(L"provider_icons", nullptr), expected + L"provider_icons" + sep);
}

TEST_F(SettingsTest, AccessTimeCreatesThePerUserKeyWhenMissing) {
  sim().clock.SetUnixTime(1767225600);
  RecordOutlookAccess();
  auto key = Key(RegRoot::kCurrentUser, L"Software\\Tidepost\\Addon");
  ASSERT_TRUE(key);
  EXPECT_EQ(ReadStringValue(*key, L"AP_accessed_outlook"), L"1767225600");
  EXPECT_FALSE(Key(RegRoot::kLocalMachine, L"SOFTWARE\\Tidepost"));
}

TEST_F(SettingsTest, AccessTimeOverwritesAndWrapsToASignedLowWord) {
  CreateKey(RegRoot::kCurrentUser, L"Software\\Tidepost\\Addon");
  sim().clock.SetUnixTime(int64_t{3000000000});  // past 2038: the low 32 bits go negative
  RecordOutlookAccess();
  auto key = Key(RegRoot::kCurrentUser, L"Software\\Tidepost\\Addon");
  EXPECT_EQ(ReadStringValue(*key, L"AP_accessed_outlook"), L"-1294967296");
}

TEST_F(SettingsTest, CacheRoundTripsAndLogsEachStepOnALineOfItsOwn) {
  std::wstring value;
  EXPECT_FALSE(GetCachedValue(L"SendersListUpdateTime", &value));
  SetCachedValue(L"SendersListUpdateTime", L"1767225600");
  ASSERT_TRUE(GetCachedValue(L"SendersListUpdateTime", &value));
  EXPECT_EQ(value, L"1767225600");
  EXPECT_EQ(LogMessages(),
            (std::vector<std::wstring>{L"Caching SendersListUpdateTime=1767225600",
                                       L"Item SendersListUpdateTime found in cache=1767225600"}));
}

TEST_F(SettingsTest, CacheTreatsOtherTypesAsAbsentAndFindsEmptyText) {
  auto key = CreateKey(RegRoot::kCurrentUser, L"Software\\Tidepost\\TidepostComServerCache");
  WriteDwordValue(*key, L"Number", 7);
  WriteStringValue(*key, L"Empty", L"");
  std::wstring value = L"unchanged";
  EXPECT_FALSE(GetCachedValue(L"Number", &value));
  EXPECT_EQ(value, L"unchanged");
  EXPECT_TRUE(GetCachedValue(L"Empty", &value));
  EXPECT_EQ(value, L"");
}

TEST_F(SettingsTest, CacheWriteThatCannotCreateTheKeyDoesNothing) {
  sim().registry.SetFault([](const host::RegOperation& op) {
    return op.name == L"CreateKey" ? host::kRegAccessDenied : host::kRegOk;
  });
  SetCachedValue(L"a", L"b");
  EXPECT_TRUE(LogMessages().empty());
}

}  // namespace
}  // namespace tp
