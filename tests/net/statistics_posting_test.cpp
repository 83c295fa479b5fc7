// The statistics worker against the stand-in: the entries as they are posted, a failed post
// dropped, and a stop that leaves the queue unsent.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/registry.h"
#include "net/usage_statistics.h"
#include "platform/registry_values.h"
#include "service_fixture.h"

namespace tp {
namespace {

using standin::Fault;

class StatisticsPostingTest : public testing::ServiceTest {
 protected:
  static UsageStatistics::Timing Quick() {
    UsageStatistics::Timing timing;
    timing.idlePollMs = 5;
    timing.requestTimeoutMs = 10000;
    return timing;
  }
  void SetValue(host::RegRoot root, const wchar_t* path, const wchar_t* name,
                const wchar_t* value) {
    std::unique_ptr<host::RegistryKey> key;
    ASSERT_EQ(sim().registry.Root(root).CreateSubKey(path, host::RegAccess::kWrite, &key),
              host::kRegOk);
    ASSERT_EQ(WriteStringValue(*key, name, value), host::kRegOk);
  }
  std::vector<std::string> Bodies() const {
    std::vector<std::string> bodies;
    for (const standin::Request& request : server.Requests())
      bodies.push_back(request.body);
    return bodies;
  }
};

TEST_F(StatisticsPostingTest, EntriesArePostedOneByOneAsTheyWereComposed) {
  {
    UsageStatistics statistics(16, Quick());
    statistics.QueueStatistic(L"e_name=plugin_startup");
    ASSERT_TRUE(WaitUntil([&] { return server.Requests().size() == 1; }));
  }
  const standin::Request startup = server.Requests()[0];
  EXPECT_EQ(startup.method, "POST");
  EXPECT_EQ(startup.target, "/analytics/analyticstp2");
  EXPECT_EQ(startup.Header("Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(startup.Header("User-Agent"), "Mozilla/5.0 (Windows NT 10.0) MS-Outlook 16");
  EXPECT_EQ(startup.body, "e_name=plugin_startup&tp_bld=stable&utm_source=tidepost&tp_v=1.13.1.0");

  server.ClearRequests();
  SetValue(host::RegRoot::kLocalMachine, L"SOFTWARE\\Tidepost\\Tidepost", L"sender", L"oem");
  SetValue(host::RegRoot::kCurrentUser, L"SOFTWARE\\Tidepost\\Tidepost", L"campaign", L"spring");
  SetValue(host::RegRoot::kLocalMachine, L"Software\\Tidepost", L"activeGuid", L"{MACHINE-1}");
  SetValue(host::RegRoot::kCurrentUser, L"Software\\Tidepost", L"activeGuid", L"{USER-2}");
  // The first entry meets a server that resets every attempt and is dropped.
  server.AddFault("/analytics/", Fault::kReset, 3);
  {
    UsageStatistics statistics(15, Quick());
    statistics.QueueStatistic(L"e_name=plugin_startup");
    statistics.ReportEmailEvent(kSeenUnreadInList, L"user@gmail.com", L"Acme", L"00EF01");
    statistics.ReportEmailEvent(kSeenReadInList, L"user@gmail.com", L"Acme", L"00EF01");
    statistics.ReportEmailEvent(kOpenedInViewer, L"user@gmail.com", L"Acme", L"00EF01");
    ASSERT_TRUE(WaitUntil([&] { return server.Requests().size() == 6; }));
  }
  const std::string common =
      "&tp_eaid=WkzQFn/Scw2uRDD9WqpMeaicGNQ=&tp_bld=stable&utm_source=oem&utm_campaign=spring"
      "&inst_id=MACHINE-1&tp_pid=USER-2&tp_v=1.13.1.0";
  const std::vector<std::string> bodies = Bodies();
  EXPECT_EQ(
      bodies[3],
      "tp_ec=outlook&tp_esndr=Acme&tp_eid=00EF01&e_name=email_in_inbox_list&tp_eiu=true" + common);
  EXPECT_EQ(
      bodies[4],
      "tp_ec=outlook&tp_esndr=Acme&tp_eid=00EF01&e_name=email_in_inbox_list&tp_eiu=false" + common);
  EXPECT_EQ(bodies[5],
            "tp_ec=outlook&tp_esndr=Acme&tp_eid=00EF01&e_name=email_in_message_viewer&tp_ehbi=1" +
                common);
  EXPECT_EQ(server.Requests()[5].Header("User-Agent"),
            "Mozilla/5.0 (Windows NT 10.0) MS-Outlook 15");
}

TEST_F(StatisticsPostingTest, AStopWhileAPostIsInFlightSendsNothingMore) {
  gate.Close(kPatience);
  UsageStatistics statistics(16, Quick());
  for (const wchar_t* query : {L"e_name=first", L"e_name=second", L"e_name=third"})
    statistics.QueueStatistic(query);
  ASSERT_TRUE(gate.WaitForArrivals(1, kPatience));
  statistics.StopStatistics(0);
  EXPECT_EQ(statistics.queued(), 2u);
  // The held post now completes; the worker must see the stop before taking the next entry.
  gate.Open();
  ASSERT_TRUE(WaitForWorkers());
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_TRUE(server.Requests()[0].body.starts_with("e_name=first&"));
}

TEST_F(StatisticsPostingTest, DestroyingTheReporterDoesNotWaitForAPostInFlight) {
  gate.Close(kPatience);
  {
    UsageStatistics statistics(16, Quick());
    statistics.QueueStatistic(L"e_name=first");
    statistics.QueueStatistic(L"e_name=second");
    ASSERT_TRUE(gate.WaitForArrivals(1, kPatience));
    statistics.StopStatistics(0);
  }
  // The reporter is gone while its worker still waits for the answer to its post.
  EXPECT_EQ(gate.held(), 1);
  EXPECT_EQ(RunningWorkers(), 1);
  gate.Open();
  ASSERT_TRUE(WaitForWorkers());
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_TRUE(server.Requests()[0].body.starts_with("e_name=first&"));
}

}  // namespace
}  // namespace tp
