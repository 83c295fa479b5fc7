// The statistics identity from the registry, the account hash, and the reported-events cache
// with its "StatsCache.ini" file.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "host/registry.h"
#include "net/stats_cache.h"
#include "net/usage_statistics.h"
#include "platform/registry_values.h"
#include "support/test_host.h"

namespace tp {
namespace {

using host::RegRoot;

constexpr int64_t kTwoDays = 172800;

class StatisticsTest : public testing::SimHostTest {
 protected:
  void SetValue(RegRoot root, const wchar_t* path, const wchar_t* name, const wchar_t* value) {
    std::unique_ptr<host::RegistryKey> key;
    ASSERT_EQ(sim().registry.Root(root).CreateSubKey(path, host::RegAccess::kWrite, &key),
              host::kRegOk);
    ASSERT_EQ(WriteStringValue(*key, name, value), host::kRegOk);
  }
  void WriteCacheFile(int64_t savedAt, const std::string& lines) {
    std::filesystem::create_directories(DataFolder());
    testing::WriteFileBytes(DataFolder() / "StatsCache.ini",
                            std::to_string(savedAt) + "\n" + lines);
  }
  int64_t Now() { return sim().clock.UnixTime(); }
};

TEST_F(StatisticsTest, TheSenderIsTheMachinesUnlessTheUserNamesOne) {
  StatisticsIdentity bare = ReadStatisticsIdentity();
  EXPECT_EQ(bare.sender, L"tidepost");
  EXPECT_EQ(bare.campaign, L"");
  EXPECT_EQ(bare.userId, L"");
  EXPECT_EQ(bare.installId, L"");
  EXPECT_EQ(bare.version, L"1.13.1.0");

  const wchar_t* kKey = L"SOFTWARE\\Tidepost\\Tidepost";
  SetValue(RegRoot::kLocalMachine, kKey, L"sender", L"a");
  SetValue(RegRoot::kCurrentUser, kKey, L"sender", L"");
  SetValue(RegRoot::kLocalMachine, kKey, L"campaign", L"winter");
  SetValue(RegRoot::kLocalMachine, L"Software\\Tidepost", L"activeGuid",
           L"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}");
  SetValue(RegRoot::kCurrentUser, L"Software\\Tidepost", L"activeGuid", L"{{user}}");
  StatisticsIdentity machine = ReadStatisticsIdentity();
  EXPECT_EQ(machine.sender, L"a");
  EXPECT_EQ(machine.campaign, L"winter");
  EXPECT_EQ(machine.installId, L"0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0");
  EXPECT_EQ(machine.userId, L"user");

  SetValue(RegRoot::kCurrentUser, kKey, L"sender", L"b");
  sim().resources.moduleVersion = std::nullopt;
  StatisticsIdentity user = ReadStatisticsIdentity();
  EXPECT_EQ(user.sender, L"b");
  EXPECT_EQ(user.version, L"");
}

TEST_F(StatisticsTest, TheAccountHashIsTheBase64OfItsSha1) {
  EXPECT_EQ(HashAccountIdentity(L"user@gmail.com"), L"WkzQFn/Scw2uRDD9WqpMeaicGNQ=");
  EXPECT_EQ(HashAccountIdentity(L"").size(), 28u);
}

TEST_F(StatisticsTest, AMessageIsReportedOnlyAtARisingLevel) {
  StatsCache cache;
  std::vector<bool> reported;
  for (int kind : {0, 0, 1, 0, 2, 2})
    reported.push_back(cache.ShouldReportEmailEvent(L"m", kind));
  EXPECT_EQ(reported, (std::vector<bool>{true, false, true, false, true, false}));
  EXPECT_TRUE(cache.ShouldReportEmailEvent(L"other", 2));
}

TEST_F(StatisticsTest, TheCacheFileIsUsedForTwoDaysAndItsBadLinesAreSkipped) {
  StatsCache cache;
  cache.LoadStatsCache();  // no file
  EXPECT_EQ(cache.size(), 0u);

  WriteCacheFile(Now() - kTwoDays, "abc\nkept=2\r\nempty=\nlast=1");
  cache.LoadStatsCache();
  EXPECT_EQ(cache.size(), 3u);
  EXPECT_EQ(cache.ReportedKind(L"abc"), std::nullopt);
  EXPECT_EQ(cache.ReportedKind(L"kept"), 2);
  EXPECT_EQ(cache.ReportedKind(L"empty"), 0);
  EXPECT_EQ(cache.ReportedKind(L"last"), 1);
  EXPECT_FALSE(cache.ShouldReportEmailEvent(L"kept", 2));

  for (int64_t savedAt : {Now() - kTwoDays - 1, Now() + 1}) {
    WriteCacheFile(savedAt, "kept=2\n");
    cache.LoadStatsCache();
    EXPECT_EQ(cache.size(), 0u) << savedAt;
  }
}

TEST_F(StatisticsTest, ASaveStampsTheFileAnewAndReplacesAnOldOne) {
  WriteCacheFile(Now() - kTwoDays - 1, "old=2\n");
  StatsCache cache;
  cache.LoadStatsCache();
  EXPECT_TRUE(cache.ShouldReportEmailEvent(L"new", 1));
  cache.SaveStatsCache();
  const std::string saved = testing::ReadFileBytes(DataFolder() / "StatsCache.ini");
  EXPECT_TRUE(saved.starts_with(std::to_string(Now()))) << saved;

  sim().clock.Advance(kTwoDays * 1000);
  StatsCache next;
  next.LoadStatsCache();
  EXPECT_EQ(next.size(), 1u);
  EXPECT_EQ(next.ReportedKind(L"new"), 1);
  EXPECT_EQ(next.ReportedKind(L"old"), std::nullopt);
}

}  // namespace
}  // namespace tp
