// The sender-icon worker against the stand-in: what a pass fetches and records, answers that
// are not icons, the two-weekly full reload, and names that must never reach a request.
#include "net/sender_icons.h"
#include "net/brand_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "branding/branding_list.h"
#include "platform/settings.h"
#include "service_fixture.h"
#include "standin/builtin_icon.h"

namespace tp {
namespace {

using standin::Fault;

constexpr int64_t kWeek = 604800;

class SenderIconsTest : public testing::ServiceTest {
 protected:
  ~SenderIconsTest() override { PublishBrandNameList({}); }

  // Starts a worker, waits for the end of its first pass over the names, and stops it.
  void RunOnePass() {
    const int before = RecordingsOfNames();
    SenderIconCache::Timing timing;
    timing.firstDelayMs = 0;
    timing.namesRetryMs = 10;
    timing.requestTimeoutMs = 10000;
    SenderIconCache cache(timing);
    cache.StartIconDownloads();
    ASSERT_TRUE(WaitUntil([&] { return RecordingsOfNames() > before; }));
  }
  int RecordingsOfNames() {
    const std::vector<std::wstring> calls = sim().registry.Calls();
    return static_cast<int>(std::count(
        calls.begin(), calls.end(),
        L"SetValue HKCU\\Software\\Tidepost\\TidepostComServerCache CachedSendersIcons"));
  }
  std::filesystem::path IconFolder() const { return DataFolder() / "provider_icons"; }
  std::vector<std::string> IconFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(IconFolder()))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  void PutIcon(const std::string& name) {
    std::filesystem::create_directories(IconFolder());
    testing::WriteFileBytes(IconFolder() / (name + ".ico"), standin::BuiltinIcon(name));
  }
  int64_t Now() { return sim().clock.UnixTime(); }
};

TEST_F(SenderIconsTest, APassFetchesWhatIsMissingAndRecordsEachIconOnce) {
  server.AddIcon("Acme");
  server.AddIcon("Gamma");
  // The worker waits for the names, then fetches every icon on the first run.
  SenderIconCache::Timing timing;
  timing.firstDelayMs = 0;
  timing.namesRetryMs = 10;
  {
    SenderIconCache cache(timing);
    cache.StartIconDownloads();
    ASSERT_TRUE(WaitUntil([&] {
      return LogHas(L"Senders list not loaded yet so no branding info. Waiting for 30 seconds");
    }));
    PublishBrandNameList({L"Acme", L"Beta", L"Gamma"});
    ASSERT_TRUE(WaitUntil([&] { return RecordingsOfNames() == 1; }));
  }
  EXPECT_EQ(Targets(),
            (std::vector<std::string>{"/ams/brandingicon/Acme.ico", "/ams/brandingicon/Beta.ico",
                                      "/ams/brandingicon/Gamma.ico"}));
  EXPECT_TRUE(LogHas(L"Error retrieving icon Beta: HTTP code=404"));
  EXPECT_EQ(Cached(L"CachedSendersIcons"), L"|Acme|,|Gamma|,");
  EXPECT_EQ(Cached(L"ReloadAllSendersIcons"), std::to_wstring(Now() + kWeek));
  EXPECT_EQ(IconFiles(), (std::vector<std::string>{"Acme.ico", "Gamma.ico"}));
  EXPECT_EQ(testing::ReadFileBytes(IconFolder() / "Gamma.ico"), standin::BuiltinIcon("Gamma"));

  // Next run: the failed icon is tried again and a recorded one whose file went is fetched
  // again, without being recorded twice.
  server.ClearRequests();
  server.AddIcon("Beta");
  std::filesystem::remove(IconFolder() / "Gamma.ico");
  RunOnePass();
  EXPECT_EQ(Targets(), (std::vector<std::string>{"/ams/brandingicon/Beta.ico",
                                                 "/ams/brandingicon/Gamma.ico"}));
  EXPECT_EQ(Cached(L"CachedSendersIcons"), L"|Acme|,|Gamma|,|Beta|,");
  EXPECT_EQ(IconFiles(), (std::vector<std::string>{"Acme.ico", "Beta.ico", "Gamma.ico"}));
}

TEST_F(SenderIconsTest, AnAnswerThatIsNotAnIconKeepsThePreviousIconAndIsNotRecorded) {
  PutIcon("Acme");
  server.AddIcon("Beta");
  server.AddFault("/ams/brandingicon/Acme", Fault::kHtmlPage);
  PublishBrandNameList({L"Acme", L"Beta"});
  RunOnePass();
  EXPECT_TRUE(LogHas(L"Icon file Acme header is not that of an Icon file type"));
  EXPECT_EQ(Cached(L"CachedSendersIcons"), L"|Beta|,");
  EXPECT_EQ(testing::ReadFileBytes(IconFolder() / "Acme.ico"), standin::BuiltinIcon("Acme"));
  EXPECT_EQ(IconFiles(), (std::vector<std::string>{"Acme.ico", "Beta.ico"}));
}

TEST_F(SenderIconsTest, AFullReloadComesAWeekAfterTheRecordedTime) {
  PutIcon("Acme");
  PutIcon("Beta");
  server.AddIcon("Acme");
  server.AddIcon("Beta");
  PublishBrandNameList({L"Acme", L"Beta"});
  SetCachedValue(L"CachedSendersIcons", L"|Acme|,|Beta|,");
  // The value holds the time of the last reload plus a week: one second short of due.
  const std::wstring notDue = std::to_wstring(Now() - kWeek + 1);
  SetCachedValue(L"ReloadAllSendersIcons", notDue);
  RunOnePass();
  EXPECT_TRUE(server.Requests().empty());
  EXPECT_EQ(Cached(L"ReloadAllSendersIcons"), notDue);

  SetCachedValue(L"ReloadAllSendersIcons", std::to_wstring(Now() - kWeek));
  RunOnePass();
  EXPECT_EQ(Targets(),
            (std::vector<std::string>{"/ams/brandingicon/Acme.ico", "/ams/brandingicon/Beta.ico"}));
  EXPECT_EQ(Cached(L"CachedSendersIcons"), L"|Acme|,|Beta|,");
  EXPECT_EQ(Cached(L"ReloadAllSendersIcons"), std::to_wstring(Now() + kWeek));
}

TEST_F(SenderIconsTest, NamesThatCannotBeFileNamesNeverReachARequestOrAFile) {
  PublishBrandNameList({L"", L""});
  RunOnePass();
  EXPECT_TRUE(server.Requests().empty());
  EXPECT_EQ(Cached(L"CachedSendersIcons"), L"");

  server.AddIcon("Ok");
  PublishBrandNameList({L"..\\up", L"a/b", L"c:d", L"..", L"x..y", L"Ok"});
  RunOnePass();
  EXPECT_EQ(Targets(), std::vector<std::string>{"/ams/brandingicon/Ok.ico"});
  for (const wchar_t* name : {L"..\\up", L"a/b", L"c:d", L"..", L"x..y"}) {
    EXPECT_TRUE(
        LogHas(std::wstring(L"Icon ") + name + L" not retrieved: the name cannot be a file name"))
        << name;
  }
  EXPECT_EQ(Cached(L"CachedSendersIcons"), L"|Ok|,");
  EXPECT_EQ(IconFiles(), std::vector<std::string>{"Ok.ico"});
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder().path())) {
    if (entry.path().extension() == ".ico") {
      EXPECT_EQ(entry.path().parent_path(), IconFolder());
    }
  }
}

TEST_F(SenderIconsTest, AStopThatGivesUpWritesNoIconAndNoRecordAfterwards) {
  server.AddIcon("Acme");
  PublishBrandNameList({L"Acme"});
  gate.Close(kPatience);
  SenderIconCache::Timing timing;
  timing.firstDelayMs = 0;
  SenderIconCache cache(timing);
  cache.StartIconDownloads();
  ASSERT_TRUE(gate.WaitForArrivals(1, kPatience));
  cache.StopIconDownloads(100);
  // It gave up with the worker still waiting for the icon.
  EXPECT_EQ(RunningWorkers(), 1);

  // The icon now arrives, whole and valid, at a worker that was told to stop.
  gate.Open();
  ASSERT_TRUE(WaitForWorkers());
  EXPECT_FALSE(std::filesystem::exists(IconFolder() / "Acme.ico"));
  EXPECT_FALSE(std::filesystem::exists(IconFolder() / "Acme.ico.download"));
  EXPECT_EQ(RecordingsOfNames(), 0);
  EXPECT_EQ(Cached(L"CachedSendersIcons"), L"");
}

// A brand name may hold any character a name may, commas included: the name is asked for
// whole, and recorded in the form every version of the add-in reads ("|name|,").
TEST_F(SenderIconsTest, ANameWithACommaIsFetchedWholeAndRecordedReadably) {
  server.AddIcon("Acme, Inc.");
  server.AddIcon("Beta");
  PublishBrandNameList({L"Acme, Inc.", L"Beta"});
  RunOnePass();
  EXPECT_EQ(Targets(), (std::vector<std::string>{"/ams/brandingicon/Acme%2C%20Inc..ico",
                                                 "/ams/brandingicon/Beta.ico"}));
  const std::wstring recorded = Cached(L"CachedSendersIcons");
  EXPECT_EQ(recorded, L"|Acme, Inc.|,|Beta|,");
  // Read as before: a recorded name is found by "|name|"; the parts of a comma-split name
  // are not.
  EXPECT_NE(recorded.find(L"|Acme, Inc.|"), std::wstring::npos);
  EXPECT_EQ(recorded.find(L"|Acme|"), std::wstring::npos);
  EXPECT_EQ(recorded.find(L"| Inc.|"), std::wstring::npos);
  EXPECT_EQ(IconFiles(), (std::vector<std::string>{"Acme, Inc..ico", "Beta.ico"}));
}

// New names (a newer senders list) end the hour's pause: their icons come at once, and only
// theirs.
TEST_F(SenderIconsTest, NewNamesAreFetchedWithoutWaitingForTheNextHour) {
  server.AddIcon("Acme");
  server.AddIcon("Beta");
  PublishBrandNameList({L"Acme"});
  SenderIconCache::Timing timing;
  timing.firstDelayMs = 0;
  timing.namesRetryMs = 10;
  timing.requestTimeoutMs = 10000;
  SenderIconCache cache(timing);
  cache.StartIconDownloads();
  ASSERT_TRUE(WaitUntil([&] { return RecordingsOfNames() == 1; }));
  PublishBrandNameList({L"Acme", L"Beta"});
  ASSERT_TRUE(WaitUntil([&] { return RecordingsOfNames() == 2; }));
  cache.StopIconDownloads(static_cast<uint32_t>(kPatience.count()));
  EXPECT_EQ(Targets(),
            (std::vector<std::string>{"/ams/brandingicon/Acme.ico", "/ams/brandingicon/Beta.ico"}));
  EXPECT_EQ(Cached(L"CachedSendersIcons"), L"|Acme|,|Beta|,");
}

}  // namespace
}  // namespace tp
