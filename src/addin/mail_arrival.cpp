// Mail arrival, the scan schedule, folder scans and the new-mail queue.
#include "addin/mail_arrival.h"

#include "base/text.h"
#include "host/clock.h"
#include "host/host.h"
#include "platform/log.h"
#include "platform/process_state.h"
#include "platform/timer_ids.h"

namespace tp {
namespace {
uint32_t Now() {
  return host::clock().TickCount();
}
}  // namespace

MailArrival::MailArrival(OutlookSession& session, AddinTimers& timers, Checker& checker)
    : m_session(session), m_timers(timers), m_checker(checker) {}

void MailArrival::Enqueue(const std::wstring& entryId) {
  m_newMailQueue.push_back(NewMailEntry{entryId, Now()});
  m_seenEntryIds.insert(entryId);
}

void MailArrival::OnNewMailEx(const std::wstring& entryIdCollection) {
  WriteLog(L"In OnNewMailEx event");
  for (const std::wstring& entryId : SplitSkippingEmpty(entryIdCollection, L',')) {
    WriteLogFormat(L"Adding ID %s (obtained from NewMailEx event) to scan in background thread",
                   entryId);
    Enqueue(entryId);
  }
}

void MailArrival::OnScanTimer() {
  // The stop signal wins over a pending scan request, which then stays pending.
  const bool stop = IsStopSignaled();
  const bool scanRequested =
      !stop && g_hScanEvent && g_hScanEvent->Wait(0) == host::WaitResult::kSignaled;
  if (m_scanInterval < kLongestScanIntervalMs) {
    m_scanInterval += kScanIntervalStepMs;
  }
  if (stop) {
    return;
  }
  if (scanRequested || host::TicksSince(Now(), m_lastScanTick) > m_scanInterval) {
    ScanCurrentFolder();
    m_lastScanTick = Now();
  }
  if (IsStopSignaled()) {
    return;
  }
  if (host::TicksSince(Now(), m_lastNewMailTick) > kTimerPeriodMs) {
    BGNewMail();
    m_lastNewMailTick = Now();
  }
  m_timers.Arm(kTimerScanSchedule, kTimerPeriodMs);
}

void MailArrival::ScanCurrentFolder() {
  WriteLog(L"In ScanCurrentFolder");
  if (!IsStopSignaled() && m_session.application) {
    std::shared_ptr<host::Explorer> explorer = m_session.application->ActiveExplorer();
    if (explorer && !IsStopSignaled()) {
      std::shared_ptr<host::Folder> folder = explorer->CurrentFolder();
      if (folder) {
        if (m_checker.IsOutboxFolder(*folder)) {
          WriteLog(L"Not scanning Outbox folder");
        } else {
          WriteLog(L"Calling to scan the current folder");
          ScanFolderMessages(*folder);
        }
      }
    }
  }
  WriteLog(L"Out of ScanCurrentFolder");
}

void MailArrival::ScanFolderMessages(host::Folder& folder) {
  WriteLogFormat(L"In ScanFolderMessages for %s", folder.Name());
  std::shared_ptr<host::Store> store = folder.GetStore();
  if (!store || store->ExchangeStoreType() != host::kOlNotExchange) {
    WriteLog(L"Not scanning an exchange folder for branding");
    return;
  }
  const uint32_t start = Now();
  int rows = 0;
  if (std::shared_ptr<host::Table> table = folder.GetTable()) {
    table->RemoveAllColumns();
    table->AddColumn(L"EntryID");
    table->Sort(L"ReceivedTime", true);
    while (!IsStopSignaled()) {
      // The first row is always read, however slow the table.
      if (rows != 0 && host::TicksSince(Now(), start) > kScanBudgetMs) {
        WriteLog(L"ScanFolderMessages takes more than 0.1 second so stopping it");
        break;
      }
      if (table->EndOfTable())
        break;
      ++rows;
      std::shared_ptr<host::TableRow> row = table->GetNextRow();
      if (!row)
        break;
      const auto values = row->GetValues();
      if (!values || values->size() != 1 || !(*values)[0])
        continue;
      const std::wstring& entryId = *(*values)[0];
      if (!entryId.empty() && !HasSeen(entryId)) {
        WriteLogFormat(L"Scanning new mail ID: %s", entryId);
        Enqueue(entryId);
      }
    }
  }
  WriteLogFormat(L"Out of ScanFolderMessages. Scanned %d items, Took %d ms", rows,
                 host::TicksSince(Now(), start));
}

void MailArrival::BGNewMail() {
  if (m_seenEntryIds.size() > kSeenLimit) {
    m_seenEntryIds.clear();
  }
  if (m_newMailQueue.empty()) {
    return;
  }
  WriteLogFormat(L"BGNewMail: Have %d new mails to scan", m_newMailQueue.size());
  const uint32_t start = Now();
  size_t i = 0;
  while (i < m_newMailQueue.size()) {
    if (IsStopSignaled() || host::TicksSince(Now(), start) > kQueueBudgetMs) {
      break;
    }
    const NewMailEntry entry = m_newMailQueue[i];
    const uint32_t age = host::TicksSince(Now(), entry.queuedAt);
    if (age < kMinimumAgeMs) {
      WriteLogFormat(L"BGNewMail: Entry ID %s is less than a second old so skipping",
                     entry.entryId);
      ++i;
      continue;
    }
    // A removed entry is never queued again from here, whatever happens to it.
    m_newMailQueue.erase(m_newMailQueue.begin() + static_cast<std::ptrdiff_t>(i));
    if (age > kMaximumAgeMs) {
      WriteLogFormat(L"BGNewMail: Entry ID %s is more than 30 seconds old so deleting",
                     entry.entryId);
      continue;
    }
    if (!m_session.nameSpace)
      break;
    HResult result = hr::kOk;
    std::shared_ptr<host::OutlookItem> item =
        m_session.nameSpace->GetItemFromId(entry.entryId, &result);
    if (IsStopSignaled())
      break;
    if (!item) {
      WriteLogFormat(L"BGNewMail::Did not get Dispatch interface for item ID (Error: %xx)", result);
      continue;
    }
    std::shared_ptr<host::MailItem> mail = item->AsMailItem();
    if (!mail) {
      WriteLog(L"BGNewMail::Did not get a mail item interface for the item.");
      continue;
    }
    const int itemClass = mail->Class();
    if (itemClass != host::kOlMail) {
      WriteLogFormat(L"BGNewMail::Item class is not of a mail (%d)", itemClass);
      continue;
    }
    m_checker.BrandMailItem(*mail, false);
  }
}

}  // namespace tp
