// The senders-list worker against the stand-in: the first download at once, the copy kept on
// disk and loaded at start, failed cycles that change nothing, and a stop that gives up on a
// request in flight.
#include "net/senders_list.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ostream>
#include <string>

#include "base/text.h"
#include "service_fixture.h"

namespace tp {
namespace {

using standin::Fault;

constexpr uint32_t kHour = 3600 * 1000;

// An envelope whose senders element fills its first half with white space, so that a body
// cut in two still parses (missing end tags are tolerated) but has lost its branding.
std::string Envelope(const std::string& brandingJson) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<content><data><senders><sender/>" +
         std::string(2000, ' ') + "</senders><branding><![CDATA[" + brandingJson +
         "]]></branding></data></content>\r\n";
}

constexpr char kCachedJson[] = "{'branding':[{'name':'Cached','domain':'cached.example'}]}";
constexpr char kServedJson[] = "{'branding':[{'name':'Acm\xC3\xA9','domain':'acme.example'}]}";

class SendersListTest : public testing::ServiceTest {
 protected:
  static SendersListDownloader::Timing Quick() {
    SendersListDownloader::Timing timing;
    timing.cycleMs = kHour;  // one cycle per test
    timing.requestTimeoutMs = 10000;
    return timing;
  }
  std::filesystem::path CachePath() const { return DataFolder() / "sendersList.xml"; }
  void WriteCache(const std::string& bytes) {
    std::filesystem::create_directories(DataFolder());
    testing::WriteFileBytes(CachePath(), bytes);
  }
};

TEST_F(SendersListTest, TheFirstDownloadComesAtOnceAndIsPublishedAndKept) {
  const std::string served = Envelope(kServedJson);
  server.SetSendersList(served);
  SendersListDownloader downloader(Quick());
  downloader.StartSendersList();
  ASSERT_TRUE(WaitUntil([] { return !Cached(L"SendersListUpdateTime").empty(); }));
  EXPECT_EQ(Cached(L"SendersListUpdateTime"), std::to_wstring(sim().clock.UnixTime()));
  EXPECT_EQ(downloader.BrandingJson(), Utf8ToWide(kServedJson));
  EXPECT_EQ(testing::ReadFileBytes(CachePath()), served);
  downloader.StopSendersList(host::kInfinite);

  EXPECT_EQ(Targets(), std::vector<std::string>{"/ams/GetSendersInfo?sigdata="});
  EXPECT_EQ(server.Requests()[0].Header("User-Agent"),
            "Mozilla/5.0 (Windows NT 10.0) SimpleWinInetHTTPClient/0.1");
  EXPECT_TRUE(LogHas(L"Starting bgDownloadSendersListThread"));
  EXPECT_TRUE(LogHas(L"End of bgDownloadSendersListThread"));
}

TEST_F(SendersListTest, TheCopyOnDiskServesAtOnceUnlessItIsNotAnEnvelope) {
  SendersListDownloader::Timing later = Quick();
  later.firstDelayMs = kHour;
  WriteCache("\xEF\xBB\xBF" + Envelope(kCachedJson));
  {
    SendersListDownloader downloader(later);
    downloader.StartSendersList();
    EXPECT_EQ(downloader.BrandingJson(), Utf8ToWide(kCachedJson));
  }
  WriteCache("<html>not a senders list</html>");
  {
    SendersListDownloader downloader(later);
    downloader.StartSendersList();
    EXPECT_EQ(downloader.BrandingJson(), L"");
  }
  EXPECT_TRUE(server.Requests().empty());
}

struct FailedCycle {
  const char* name;
  Fault fault;
  std::string served;     // the stand-in's senders list
  std::wstring errorEnd;  // the end of the "Error=" message, or empty when none is due
  std::wstring lastLine;
};

void PrintTo(const FailedCycle& cycle, std::ostream* out) {
  *out << cycle.name;
}

class SendersListFailureTest : public SendersListTest,
                               public ::testing::WithParamInterface<FailedCycle> {};

TEST_P(SendersListFailureTest, AFailedCycleKeepsTheListTheFileAndTheTime) {
  const std::string cached = Envelope(kCachedJson);
  WriteCache(cached);
  server.SetSendersList(GetParam().served);
  server.AddFault("/ams/", GetParam().fault);
  SendersListDownloader downloader(Quick());
  downloader.StartSendersList();
  ASSERT_TRUE(WaitUntil([&] { return LogHas(GetParam().lastLine); })) << GetParam().lastLine;
  downloader.StopSendersList(host::kInfinite);

  EXPECT_EQ(downloader.BrandingJson(), Utf8ToWide(kCachedJson));
  EXPECT_EQ(testing::ReadFileBytes(CachePath()), cached);
  EXPECT_EQ(Cached(L"SendersListUpdateTime"), L"");
  // A failed request logs its error (whose system text ends in a line break), then -1.
  const bool errorLogged =
      LogText().find(L"Error retrieving senders info : Error=") != std::wstring::npos;
  EXPECT_EQ(errorLogged, !GetParam().errorEnd.empty());
  if (errorLogged) {
    EXPECT_TRUE(LogHas(GetParam().errorEnd));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cycles, SendersListFailureTest,
    ::testing::Values(FailedCycle{"ServerError", Fault::kServerError, Envelope(kServedJson), L"",
                                  L"Error retrieving senders info : HTTP code=500"},
                      FailedCycle{"Reset", Fault::kReset, Envelope(kServedJson),
                                  L"(2effx) at Failed HttpSendRequest",
                                  L"Error retrieving senders info : HTTP code=-1"},
                      FailedCycle{"CutShort", Fault::kTruncatedBody, Envelope(kServedJson),
                                  L" at InternetReadFile failed",
                                  L"Error retrieving senders info : HTTP code=-1"},
                      FailedCycle{"NotAnEnvelope", Fault::kNone, " " + Envelope(kServedJson), L"",
                                  L"Senders list XML loading failed"}));

TEST_F(SendersListTest, AStopThatGivesUpLeavesTheLateAnswerUnused) {
  const std::string cached = Envelope(kCachedJson);
  WriteCache(cached);
  server.SetSendersList(Envelope(kServedJson));
  gate.Close(kPatience);
  SendersListDownloader::Timing timing = Quick();
  SendersListDownloader downloader(timing);
  downloader.StartSendersList();
  ASSERT_TRUE(gate.WaitForArrivals(1, kPatience));
  downloader.StopSendersList(100);
  // It gave up with the worker still waiting for its answer.
  EXPECT_EQ(RunningWorkers(), 1);
  EXPECT_EQ(gate.held(), 1);

  // The answer now arrives, whole and valid, at a worker that was told to stop.
  gate.Open();
  ASSERT_TRUE(WaitForWorkers());
  EXPECT_TRUE(LogHas(L"End of bgDownloadSendersListThread"));
  EXPECT_EQ(downloader.BrandingJson(), Utf8ToWide(kCachedJson));
  EXPECT_EQ(testing::ReadFileBytes(CachePath()), cached);
  EXPECT_EQ(Cached(L"SendersListUpdateTime"), L"");
  EXPECT_FALSE(LogHas(L"Senders list XML loading failed"));
}

}  // namespace
}  // namespace tp
