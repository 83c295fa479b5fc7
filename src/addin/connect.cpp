// CConnect's life: construction, connection to Outlook, the timers, quit and destruction.
#include "addin/connect.h"

#include "addin/timer_proc.h"
#include "base/text.h"
#include "branding/account_provider_map.h"
#include "display/active_content_display.h"
#include "display/message_embedded_content.h"
#include "host/clock.h"
#include "host/host.h"
#include "host/system.h"
#include "net/brand_names.h"
#include "platform/log.h"
#include "platform/process_state.h"
#include "platform/registry_values.h"
#include "platform/settings.h"
#include "platform/timer_ids.h"

namespace tp {
namespace {

constexpr int kMinimumOutlookVersion = 12;
constexpr uint32_t kClosedWindowsSweepMs = 1000;
// Outlook disables an add-in whose shutdown takes more than about half a second: each of the
// three workers is waited for this long at most, then let go of (it owns what it still uses).
constexpr uint32_t kWorkerStopWaitMs = 100;

// Creates the shutdown and scan signals once per process; a reconnection in the same process
// starts with both cleared, so that its scan timer runs again.
void PrepareProcessEvents() {
  if (!g_hStopEvent)
    g_hStopEvent = host::threads().CreateEvent(true);
  if (!g_hScanEvent)
    g_hScanEvent = host::threads().CreateEvent(false);
  g_hStopEvent->Reset();
  g_hScanEvent->Reset();
}

}  // namespace

CConnect::CConnect() : CConnect(AddinOptions{}) {}

CConnect::CConnect(AddinOptions options)
    : m_options(std::move(options)),
      m_pageHeads(LoadPageHeads()),
      m_displayContext{m_session,       m_timers,          m_cs,      m_closedBrowserWindows,
                       m_msgSendCancel, m_msgSendActivate, m_zoomDpi, m_dragFullWindows,
                       m_currentEntryId},
      m_display(m_options.display
                    ? std::move(m_options.display)
                    : std::make_unique<ActiveContentDisplay>(
                          m_displayContext, std::make_unique<MessageEmbeddedContent>(m_pageHeads))),
      m_mailCheck(
          m_session, m_timers, m_brandingList, *m_display, m_cs,
          [this](host::MailItem& item, bool viewed, int accountType, const std::wstring& provider,
                 const std::wstring& address, const std::wstring& messageClass) {
            ReportBrandedMessage(item, viewed, accountType, provider, address, messageClass);
          }),
      m_mailArrival(m_session, m_timers, *this),
      m_inspectorsSink(host::outlook().CreateEventSink(host::EventSinkId::kInspectors, *this)),
      m_explorerSink(host::outlook().CreateEventSink(host::EventSinkId::kExplorer, *this)),
      m_applicationSink(host::outlook().CreateEventSink(host::EventSinkId::kApplication, *this)) {
  host::ui().SetTimerProcedure(&TimerProc);
  WriteLog(L"In CConnect");
  m_msgSendCancel = host::ui().RegisterWindowMessage(L"TP-Send Cancel to Outlook");
  m_msgSendActivate = host::ui().RegisterWindowMessage(L"TP-Send Activate to Outlook");
  m_msgSendOffline = host::ui().RegisterWindowMessage(L"TP-Send Offline to Outlook");
  m_display->RemoveTemporaryFiles();
  if (std::optional<int> pixelsPerInch = host::system().ScreenPixelsPerInchX()) {
    m_zoomDpi = static_cast<int>(*pixelsPerInch * 100.0 / 96.0);
  }
  RecordOutlookAccess();
  StartDownloadWorkers();
}

CConnect::~CConnect() {
  WriteLog(L"In ~CConnect");
  StopDownloadWorkers();
  m_statistics.reset();
  if (g_pConnect == this)
    g_pConnect = nullptr;
}

void CConnect::StartDownloadWorkers() {
  if (!g_sendersListDownloader) {
    g_sendersListDownloader = std::make_unique<SendersListDownloader>(m_options.sendersList);
    g_sendersListDownloader->StartSendersList();
  }
  if (!g_senderIconCache) {
    g_senderIconCache = std::make_unique<SenderIconCache>(m_options.senderIcons);
    g_senderIconCache->StartIconDownloads();
  }
}

void CConnect::StopDownloadWorkers() {
  if (g_sendersListDownloader) {
    g_sendersListDownloader->StopSendersList(kWorkerStopWaitMs);
    g_sendersListDownloader.reset();
  }
  if (g_senderIconCache) {
    g_senderIconCache->StopIconDownloads(kWorkerStopWaitMs);
    g_senderIconCache.reset();
  }
}

uint32_t CConnect::sink_cookie(host::EventSinkId id) const {
  switch (id) {
    case host::EventSinkId::kInspectors:
      return m_inspectorsSink->Cookie();
    case host::EventSinkId::kExplorer:
      return m_explorerSink->Cookie();
    case host::EventSinkId::kApplication:
      return m_applicationSink->Cookie();
  }
  return host::kNotAdvisedCookie;
}

HResult CConnect::ConnectToOutlook(host::ConnectionArgument& application) {
  host::ConnectionArgument::Step failedStep = host::ConnectionArgument::Step::kGetIdsOfNames;
  std::shared_ptr<host::OutlookApplication> outlook;
  const HResult resolved = application.ResolveApplication(&outlook, &failedStep);
  if (hr::Failed(resolved) || !outlook) {
    WriteLog(failedStep == host::ConnectionArgument::Step::kGetIdsOfNames
                 ? L"Failed Application->GetIDsOfNames"
                 : L"Failed Application->Invoke");
    return hr::Failed(resolved) ? resolved : hr::kNoInterface;
  }
  m_session.application = outlook;
  m_session.nameSpace.reset();
  HResult result = hr::kOk;
  m_session.nameSpace = outlook->GetNamespace(L"MAPI", &result);
  if (!m_session.nameSpace) {
    WriteLogFormat(L"BGNewMail: Failed to get Namespace (Error: %xx)", result);
    return hr::Failed(result) ? result : hr::kFail;
  }
  return hr::kOk;
}

HResult CConnect::OnConnection(host::ConnectionArgument& application) {
  WriteLog(L"In OnConnection");
  m_dragFullWindows = host::system().DragFullWindows();
  PrepareProcessEvents();
  if (HResult connected = ConnectToOutlook(application); hr::Failed(connected)) {
    return connected;
  }
  m_outlookVersion = ParseLeadingInt(m_session.application->Version());
  if (m_outlookVersion < kMinimumOutlookVersion) {
    return hr::kFalse;  // too old: stay inert
  }
  m_timers.SetOwner(0);
  m_display->CreateBrowserHelper();
  m_display->ReleaseInspectors();
  g_pConnect = this;
  m_statistics = std::make_unique<UsageStatistics>(m_outlookVersion, m_options.statistics);
  m_statsCache.LoadStatsCache();
  if (std::shared_ptr<host::Inspectors> inspectors = m_session.application->GetInspectors()) {
    (void)m_inspectorsSink->Advise(*inspectors);
  }
  AttachToActiveExplorer();
  WriteLog(L"Attaching to application events");
  (void)m_applicationSink->Advise(*m_session.application);
  (void)BuildAccountProviderMap(*m_session.nameSpace);
  ReadInternetExplorerVersion();
  m_statistics->QueueStatistic(L"e_name=plugin_startup");
  m_timers.Arm(kTimerDestroyClosedWindows, kClosedWindowsSweepMs);
  return hr::kOk;
}

void CConnect::AttachToActiveExplorer() {
  std::shared_ptr<host::Explorer> explorer = m_session.application->ActiveExplorer();
  if (!explorer)
    return;
  WriteLog(L"Attaching to explorer events");
  (void)m_explorerSink->Advise(*explorer);
  m_timers.SetOwner(explorer->Window());
  host::system().DisableNavigationSounds();
  LoadBrandingList();
}

void CConnect::ReadInternetExplorerVersion() {
  m_ieVersion = 8;
  std::unique_ptr<host::RegistryKey> key =
      OpenRegistryKey(host::RegRoot::kLocalMachine, L"SOFTWARE\\Microsoft\\Internet Explorer",
                      host::RegAccess::kRead);
  if (!key)
    return;
  // The version is read into a 260-byte buffer: a longer value is not read at all.
  constexpr size_t kBufferBytes = 260;
  std::optional<std::wstring> version = ReadStringValue(*key, L"svcVersion", kBufferBytes);
  if (!version)
    version = ReadStringValue(*key, L"Version", kBufferBytes);
  m_ieVersion = ParseLeadingInt(version.value_or(std::wstring()));
}

HResult CConnect::OnDisconnection() {
  OnQuit();
  return hr::kOk;
}

void CConnect::UnadviseSinks() {
  for (host::EventSink* sink :
       {m_explorerSink.get(), m_inspectorsSink.get(), m_applicationSink.get()}) {
    if (sink->Cookie() != host::kNotAdvisedCookie)
      (void)sink->Unadvise();
  }
}

void CConnect::OnQuit() {
  WriteLog(L"In OnQuit");
  if (m_statistics)
    m_statistics->StopStatistics(kWorkerStopWaitMs);
  if (m_dragFullWindows) {
    m_dragFullWindows = false;
    host::system().SetDragFullWindows(true);
    WriteLog(L"CConnect::OnQuit - SPI_SETDRAGFULLWINDOWS TRUE");
  }
  StopDownloadWorkers();
  if (g_hStopEvent)
    g_hStopEvent->Set();
  m_display->TearDown();
  m_display->RemoveTemporaryFiles();
  WriteLog(L"Cleaning up");
  m_display->ReleaseBrowserHelper();
  UnadviseSinks();
  m_mailArrival.DropQueue();
  m_timers.KillAll();
  if (g_pConnect == this)
    g_pConnect = nullptr;
  m_session.Release();
  m_brandingList.Clear();
  m_brandingLoaded = false;
  PublishBrandNameList({});
  if (m_statistics) {
    m_statistics.reset();
    m_statsCache.SaveStatsCache();
  }
  WriteLog(L"Out of OnQuit");
}

void CConnect::OnTimer(host::WindowHandle /*window*/, uint32_t /*message*/, host::TimerId id,
                       uint32_t /*time*/) {
  SwitchToNewerBrandingList();
  switch (id) {
    case kTimerRecheckSelection:
      RecheckSelectedMail();
      break;
    case kTimerScanSchedule:
      m_mailArrival.OnScanTimer();
      break;
    case kTimerLoadBrandingList:
      LoadBrandingList();
      break;
    case kTimerDestroyClosedWindows:
      m_closedBrowserWindows.DestroyExpired(host::clock().TickCount());
      m_timers.Arm(kTimerDestroyClosedWindows, kClosedWindowsSweepMs);
      break;
    default:
      m_display->OnTimer(id);
      break;
  }
}

void CConnect::ShowBrisklet(bool inInspector) {
  m_display->ShowBrisklet(m_mailCheck.checked(), inInspector);
}

void CConnect::RecheckSelectedMail() {
  std::shared_ptr<host::Explorer> explorer =
      m_session.application ? m_session.application->ActiveExplorer() : nullptr;
  std::shared_ptr<host::OutlookItem> item;
  if (!explorer || !SingleSelectedItem(*explorer, &item) || !item)
    return;
  std::shared_ptr<host::MailItem> mail = item->AsMailItem();
  if (mail)
    CheckMailItem(*mail, false);
}

}  // namespace tp
