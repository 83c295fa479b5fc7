// New mail, the scan schedule and folder scans, on the simulated clock.
#include "addin/mail_arrival.h"

#include <gtest/gtest.h>

#include "base/format.h"
#include "platform/process_state.h"
#include "platform/timer_ids.h"
#include "support/test_host.h"

namespace tp {
namespace {

using host::sim::SimMail;

class RecordingChecker final : public MailArrival::Checker {
 public:
  explicit RecordingChecker(std::wstring outboxId) : m_outboxId(std::move(outboxId)) {}
  bool BrandMailItem(host::MailItem& item, bool viewed) override {
    branded.push_back(item.EntryId());
    EXPECT_FALSE(viewed);
    return false;
  }
  void CheckMailItem(host::MailItem& item, bool) override { checked.push_back(item.EntryId()); }
  bool IsOutboxFolder(host::Folder& folder) override { return folder.EntryId() == m_outboxId; }

  std::vector<std::wstring> branded;
  std::vector<std::wstring> checked;

 private:
  std::wstring m_outboxId;
};

class MailArrivalTest : public testing::SimHostTest {
 protected:
  MailArrivalTest() : checker(sim().outlook.outbox->entryId) {
    g_hStopEvent = host::threads().CreateEvent(true);
    g_hScanEvent = host::threads().CreateEvent(false);
    inbox = sim().outlook.AddFolder(L"Inbox");
    sim().outlook.activeExplorer = std::make_shared<host::sim::SimExplorerState>();
    sim().outlook.activeExplorer->window = sim().ui.CreateWindow(L"explorer");
    sim().outlook.activeExplorer->currentFolder = inbox;
    session.application = sim().outlook.Application();
    HResult ignored = hr::kOk;
    session.nameSpace = session.application->GetNamespace(L"MAPI", &ignored);
    timers.SetOwner(sim().outlook.activeExplorer->window);
  }
  ~MailArrivalTest() override {
    g_hStopEvent.reset();
    g_hScanEvent.reset();
  }

  void AddMails(int count) {
    for (int i = 0; i < count; ++i) {
      SimMail mail;
      mail.entryId = Format(L"mail-%d", i);
      mail.receivedTime = i;
      sim().outlook.AddMail(*inbox, mail);
    }
  }

  std::shared_ptr<host::sim::SimFolder> inbox;
  OutlookSession session;
  AddinTimers timers;
  RecordingChecker checker;
  MailArrival arrival{session, timers, checker};
};

TEST_F(MailArrivalTest, NewMailQueuesEveryIdOfTheCollection) {
  arrival.OnNewMailEx(L"id1,,id2,");
  ASSERT_EQ(arrival.queue().size(), 2u);
  EXPECT_EQ(arrival.queue()[0].entryId, L"id1");
  EXPECT_EQ(arrival.queue()[1].entryId, L"id2");
  EXPECT_TRUE(arrival.HasSeen(L"id2"));
  EXPECT_TRUE(Logged(L"In OnNewMailEx event"));
  EXPECT_TRUE(
      Logged(L"Adding ID id2 (obtained from NewMailEx event) to scan in background thread"));
}

TEST_F(MailArrivalTest, EntriesWaitASecondAndAreHandedOverOnce) {
  AddMails(1);
  arrival.OnNewMailEx(L"mail-0");
  sim().clock.Advance(999);
  arrival.BGNewMail();
  EXPECT_TRUE(Logged(L"BGNewMail: Entry ID mail-0 is less than a second old so skipping"));
  EXPECT_EQ(arrival.queue().size(), 1u);
  EXPECT_TRUE(checker.branded.empty());
  sim().clock.Advance(1);
  arrival.BGNewMail();
  EXPECT_EQ(checker.branded, std::vector<std::wstring>{L"mail-0"});
  EXPECT_TRUE(arrival.queue().empty());
  arrival.BGNewMail();
  EXPECT_EQ(checker.branded.size(), 1u);
}

TEST_F(MailArrivalTest, EntriesOlderThanThirtySecondsAreDroppedUnread) {
  AddMails(2);
  arrival.OnNewMailEx(L"mail-0");
  sim().clock.Advance(1);
  arrival.OnNewMailEx(L"mail-1");
  sim().clock.Advance(30000);  // mail-0 is 30001 ms old, mail-1 30000 ms
  arrival.BGNewMail();
  EXPECT_TRUE(Logged(L"BGNewMail: Entry ID mail-0 is more than 30 seconds old so deleting"));
  EXPECT_EQ(checker.branded, std::vector<std::wstring>{L"mail-1"});
  EXPECT_TRUE(arrival.queue().empty());
}

TEST_F(MailArrivalTest, AQueuePassEndsAfterHalfASecond) {
  AddMails(10);
  for (int i = 0; i < 10; ++i)
    arrival.OnNewMailEx(Format(L"mail-%d", i));
  sim().clock.Advance(1000);
  sim().outlook.itemLookupCostMs = 120;
  arrival.BGNewMail();
  EXPECT_TRUE(Logged(L"BGNewMail: Have 10 new mails to scan"));
  EXPECT_EQ(checker.branded.size(), 5u);  // the fifth starts at 480 ms, the sixth at 600 ms
  EXPECT_EQ(arrival.queue().size(), 5u);
}

TEST_F(MailArrivalTest, ItemsThatAreNotMailAreLoggedAndDropped) {
  SimMail notMail;
  notMail.entryId = L"contact";
  notMail.isMailItem = false;
  sim().outlook.AddMail(*inbox, notMail);
  SimMail report;
  report.entryId = L"report";
  report.itemClass = 46;
  sim().outlook.AddMail(*inbox, report);
  arrival.OnNewMailEx(L"gone,contact,report");
  sim().clock.Advance(1000);
  arrival.BGNewMail();
  EXPECT_TRUE(Logged(L"BGNewMail::Did not get Dispatch interface for item ID (Error: 8004010fx)"));
  EXPECT_TRUE(Logged(L"BGNewMail::Did not get a mail item interface for the item."));
  EXPECT_TRUE(Logged(L"BGNewMail::Item class is not of a mail (46)"));
  EXPECT_TRUE(checker.branded.empty());
  EXPECT_TRUE(arrival.queue().empty());
}

TEST_F(MailArrivalTest, StopSignalLeavesTheQueueAlone) {
  AddMails(1);
  arrival.OnNewMailEx(L"mail-0");
  sim().clock.Advance(1000);
  g_hStopEvent->Set();
  arrival.BGNewMail();
  EXPECT_TRUE(checker.branded.empty());
  EXPECT_EQ(arrival.queue().size(), 1u);
}

TEST_F(MailArrivalTest, SeenIdsAreForgottenOnceThereAreMoreThan5000) {
  std::wstring ids;
  for (int i = 0; i < 5000; ++i)
    ids += Format(L"x%d,", i);
  arrival.OnNewMailEx(ids);
  g_hStopEvent->Set();  // the map is tidied before the stop signal is looked at
  arrival.BGNewMail();
  EXPECT_EQ(arrival.seen_count(), 5000u);
  arrival.OnNewMailEx(L"one-more");
  arrival.BGNewMail();
  EXPECT_EQ(arrival.seen_count(), 0u);
}

TEST_F(MailArrivalTest, FolderScanReadsNewestFirstWithinItsBudget) {
  AddMails(5);
  sim().outlook.rowReadCostMs = 30;
  arrival.ScanCurrentFolder();
  EXPECT_TRUE(Logged(L"Calling to scan the current folder"));
  EXPECT_TRUE(Logged(L"ScanFolderMessages takes more than 0.1 second so stopping it"));
  EXPECT_TRUE(Logged(L"Out of ScanFolderMessages. Scanned 4 items, Took 120 ms"));
  ASSERT_EQ(arrival.queue().size(), 4u);
  EXPECT_EQ(arrival.queue()[0].entryId, L"mail-4");
  EXPECT_FALSE(arrival.HasSeen(L"mail-0"));
  // Rows already seen are not queued again.
  sim().outlook.rowReadCostMs = 0;
  arrival.ScanCurrentFolder();
  EXPECT_EQ(arrival.queue().size(), 5u);
  EXPECT_EQ(arrival.queue()[4].entryId, L"mail-0");
}

TEST_F(MailArrivalTest, TheFirstRowIsReadHoweverSlowTheTable) {
  AddMails(3);
  sim().outlook.rowReadCostMs = 500;
  arrival.ScanCurrentFolder();
  EXPECT_EQ(arrival.queue().size(), 1u);
}

TEST_F(MailArrivalTest, ExchangeFoldersAndTheOutboxAreNotScanned) {
  AddMails(1);
  inbox->exchangeStoreType = 0;
  arrival.ScanCurrentFolder();
  EXPECT_TRUE(Logged(L"Not scanning an exchange folder for branding"));
  sim().outlook.activeExplorer->currentFolder = sim().outlook.outbox;
  arrival.ScanCurrentFolder();
  EXPECT_TRUE(Logged(L"Not scanning Outbox folder"));
  EXPECT_TRUE(arrival.queue().empty());
}

TEST_F(MailArrivalTest, ScanIntervalGrowsToTenSecondsAndTheTimerRearms) {
  const host::WindowHandle window = timers.owner();
  std::vector<uint32_t> intervals;
  for (int tick = 0; tick < 6; ++tick) {
    arrival.OnScanTimer();
    intervals.push_back(arrival.scan_interval());
    EXPECT_EQ(sim().ui.TimeUntil(window, kTimerScanSchedule), 1000);
    sim().clock.Advance(1000);
  }
  EXPECT_EQ(intervals, (std::vector<uint32_t>{4000, 5500, 7000, 8500, 10000, 10000}));
  // The first tick scans (the last scan was never); later ones once the interval has passed.
  EXPECT_EQ(CountLogged(L"In ScanCurrentFolder"), 1);
}

TEST_F(MailArrivalTest, FolderSwitchScansAtOnceAndStopEndsTheSchedule) {
  arrival.OnScanTimer();
  g_hScanEvent->Set();
  arrival.OnScanTimer();
  EXPECT_EQ(CountLogged(L"In ScanCurrentFolder"), 2);

  sim().ui.KillTimer(timers.owner(), kTimerScanSchedule);
  g_hScanEvent->Set();
  g_hStopEvent->Set();
  arrival.OnScanTimer();
  EXPECT_EQ(CountLogged(L"In ScanCurrentFolder"), 2);
  EXPECT_FALSE(sim().ui.HasTimer(timers.owner(), kTimerScanSchedule));
  // The stop signal wins and leaves the scan request pending.
  EXPECT_EQ(g_hScanEvent->Wait(0), host::WaitResult::kSignaled);
}

}  // namespace
}  // namespace tp
