// Mail arrival and folder scanning: entry ids announced by NewMailEx and found unseen in the
// folder on view are queued, and the scan timer hands each one, once it is old enough, to the
// branding decision. Everything here runs on Outlook's user-interface thread, and the work of
// one timer tick is bounded (a 100 ms folder scan, a 500 ms queue pass).
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "host/outlook.h"
#include "platform/addin_timers.h"
#include "platform/outlook_session.h"

namespace tp {

class MailArrival {
 public:
  static constexpr uint32_t kMinimumAgeMs = 1000;
  static constexpr uint32_t kMaximumAgeMs = 30000;
  static constexpr uint32_t kQueueBudgetMs = 500;
  static constexpr uint32_t kScanBudgetMs = 100;
  static constexpr uint32_t kFirstScanIntervalMs = 2500;
  static constexpr uint32_t kScanIntervalStepMs = 1500;
  static constexpr uint32_t kLongestScanIntervalMs = 10000;
  static constexpr uint32_t kTimerPeriodMs = 1000;
  static constexpr size_t kSeenLimit = 5000;

  // Where the queued messages go.
  class Checker {
   public:
    virtual bool BrandMailItem(host::MailItem& item, bool viewed) = 0;
    virtual void CheckMailItem(host::MailItem& item, bool inInspector) = 0;
    virtual bool IsOutboxFolder(host::Folder& folder) = 0;

   protected:
    ~Checker() = default;
  };

  struct NewMailEntry {
    std::wstring entryId;
    uint32_t queuedAt;  // tick count
  };

  MailArrival(OutlookSession& session, AddinTimers& timers, Checker& checker);

  void OnNewMailEx(const std::wstring& entryIdCollection);
  // One tick of the scan schedule (timer 1812).
  void OnScanTimer();
  void ScanCurrentFolder();
  void ScanFolderMessages(host::Folder& folder);
  void BGNewMail();
  // Drops what is still queued (at quit); the seen ids are kept.
  void DropQueue() { m_newMailQueue.clear(); }

  const std::vector<NewMailEntry>& queue() const { return m_newMailQueue; }
  size_t seen_count() const { return m_seenEntryIds.size(); }
  bool HasSeen(const std::wstring& entryId) const { return m_seenEntryIds.count(entryId) != 0; }
  uint32_t scan_interval() const { return m_scanInterval; }

 private:
  void Enqueue(const std::wstring& entryId);

  OutlookSession& m_session;
  AddinTimers& m_timers;
  Checker& m_checker;
  std::vector<NewMailEntry> m_newMailQueue;
  // Every id ever queued; emptied whole once it holds more than kSeenLimit.
  std::unordered_set<std::wstring> m_seenEntryIds;
  uint32_t m_scanInterval = kFirstScanIntervalMs;
  uint32_t m_lastScanTick = 0;
  uint32_t m_lastNewMailTick = 0;
};

}  // namespace tp
