// Usage statistics: start-up and branded-message events, composed as query strings, queued
// in memory and posted one by one by a worker, so that no Outlook thread waits on the
// network. An event that cannot be posted is dropped.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/threads.h"

namespace tp {

// How a branded message was seen.
enum EmailEventKind : int {
  kSeenUnreadInList = 0,
  kSeenReadInList = 1,
  kOpenedInViewer = 2,
};

struct StatisticsIdentity {
  std::wstring sender;     // utm_source
  std::wstring campaign;   // utm_campaign
  std::wstring userId;     // tp_pid
  std::wstring installId;  // inst_id
  std::wstring version;    // tp_v
};

class UsageStatistics {
 public:
  struct Timing {
    uint32_t idlePollMs = 1000;
    uint32_t requestTimeoutMs = 25000;
  };

  // Reads the identity and starts the worker.
  explicit UsageStatistics(int outlookMajorVersion);
  UsageStatistics(int outlookMajorVersion, Timing timing);
  // Signals the worker and drops what is still queued, without waiting: a worker still
  // inside a request ends on its own at its next step.
  ~UsageStatistics();
  UsageStatistics(const UsageStatistics&) = delete;
  UsageStatistics& operator=(const UsageStatistics&) = delete;

  // Completes a query with the common parameters and queues it.
  void QueueStatistic(const std::wstring& query);
  void ReportEmailEvent(int kind, const std::wstring& accountId, const std::wstring& senderName,
                        const std::wstring& entryId);
  // Signals the worker and waits up to timeoutMs. A worker still inside a request is let go:
  // it abandons the request and posts nothing more.
  void StopStatistics(uint32_t timeoutMs);

  const StatisticsIdentity& identity() const { return m_identity; }
  size_t queued() const;

  struct Shared;

 private:
  StatisticsIdentity m_identity;
  std::shared_ptr<Shared> m_shared;  // the queue and the stop event, owned with the worker
  std::unique_ptr<host::Thread> m_worker;
};

// The sender identity, the user and install ids and the module version, from the registry
// and the module's version resource.
StatisticsIdentity ReadStatisticsIdentity();

// The "tp_eaid" value: Base64 of the SHA-1 of the account identity in the ANSI code page.
std::wstring HashAccountIdentity(const std::wstring& accountId);

}  // namespace tp
