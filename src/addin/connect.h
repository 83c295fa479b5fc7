// CConnect: the add-in object that Outlook creates and connects. It owns the connection to
// the Outlook object model, sinks Outlook's events, owns the timers through which all
// periodic work runs on Outlook's user-interface thread, and starts and stops the
// background workers. Each subsystem keeps its own state and rules in its own class;
// CConnect wires them together.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "addin/mail_arrival.h"
#include "addin/mail_check.h"
#include "base/critical_section.h"
#include "branding/branding_list.h"
#include "display/closed_windows.h"
#include "display/content_display.h"
#include "display/display_context.h"
#include "display/form_region_provider.h"
#include "host/outlook.h"
#include "host/pictures.h"
#include "net/sender_icons.h"
#include "net/senders_list.h"
#include "net/stats_cache.h"
#include "net/usage_statistics.h"
#include "page/html_sanitizer.h"
#include "platform/addin_timers.h"
#include "platform/outlook_session.h"

namespace tp {

// How the add-in object is made: the display and the workers' pace. The defaults are the
// add-in's own; the tool and the tests shorten the waits.
struct AddinOptions {
  std::unique_ptr<ContentDisplay> display;  // null: the browsers over the message bodies
  SendersListDownloader::Timing sendersList;
  SenderIconCache::Timing senderIcons;
  UsageStatistics::Timing statistics;
};

class CConnect final : public host::OutlookEventHandler, private MailArrival::Checker {
 public:
  CConnect();
  explicit CConnect(AddinOptions options);
  ~CConnect() override;
  CConnect(const CConnect&) = delete;
  CConnect& operator=(const CConnect&) = delete;

  // _IDTExtensibility2.
  HResult OnConnection(host::ConnectionArgument& application);
  HResult OnDisconnection();
  HResult OnAddInsUpdate() { return hr::kOk; }
  HResult OnStartupComplete() { return hr::kNotImpl; }
  HResult OnBeginShutdown() { return hr::kOk; }

  // _FormRegionStartup: Outlook's questions about the branded classes' form regions.
  HResult GetFormRegionStorage() const { return hr::kNotImpl; }
  HResult BeforeFormRegionShow() const { return hr::kNotImpl; }
  std::wstring GetFormRegionManifest(const std::wstring& formRegionName) const {
    return FormRegionManifest(formRegionName);
  }
  std::unique_ptr<host::Picture> GetFormRegionIcon(const std::wstring& formRegionName) const {
    return FormRegionIcon(formRegionName);
  }

  // Outlook's events.
  void NewInspector(std::shared_ptr<host::Inspector> inspector) override;
  void OnExplorerSelectionChange() override;
  void OnFolderSwitch() override;
  void OnBeforeFolderSwitch(std::shared_ptr<host::Folder> newFolder, bool* cancel) override;
  void OnNewMailEx(const std::wstring& entryIdCollection) override;
  void OnQuit() override;
  void OnLogonComplete() override;

  void OnTimer(host::WindowHandle window, uint32_t message, host::TimerId id, uint32_t time);

  // The active-content display of the last checked message (the display does the work).
  void ShowBrisklet(bool inInspector);
  void ShowBriskletOnWindow(bool readingPane) { m_display->ShowBriskletOnWindow(readingPane); }
  void CreateBriskletWindow(bool createOnly) { m_display->CreateBriskletWindow(createOnly); }
  void CleanMainActive() { m_display->CleanMainActive(); }
  void FindMessageWindow() { m_display->FindMessageWindow(); }
  void OnSendActivate(host::WindowHandle window) { m_display->OnSendActivate(window); }
  void OnSendCancel(host::WindowHandle window) { m_display->OnSendCancel(window); }

  // The branding decision.
  void LoadBrandingList();
  // Takes the senders list the worker has loaded since, when it is newer and no check runs.
  void SwitchToNewerBrandingList();
  void CheckMailItem(host::MailItem& item, bool inInspector) override;
  bool BrandMailItem(host::MailItem& item, bool viewed) override;
  void ReportBrandedMessage(host::MailItem& item, bool viewed, int accountType,
                            const std::wstring& mailProvider, const std::wstring& accountAddress,
                            const std::wstring& messageClass);

  // State that the other subsystems, the tool and the tests read.
  int outlook_version() const { return m_outlookVersion; }
  int ie_version() const { return m_ieVersion; }
  int zoom_dpi() const { return m_zoomDpi; }
  int zoom_default() const { return m_zoomDefault; }
  bool drag_full_windows() const { return m_dragFullWindows; }
  const std::wstring& style_head_225() const { return m_pageHeads.word2010; }
  const std::wstring& style_head_226() const { return m_pageHeads.word2007; }
  uint32_t msg_send_cancel() const { return m_msgSendCancel; }
  uint32_t msg_send_activate() const { return m_msgSendActivate; }
  uint32_t msg_send_offline() const { return m_msgSendOffline; }
  host::WindowHandle explorer_window() const { return m_timers.owner(); }
  const std::wstring& current_entry_id() const { return m_currentEntryId; }
  bool folder_switch_flag() const { return m_folderSwitch; }
  uint32_t sink_cookie(host::EventSinkId id) const;
  const MailArrival& mail_arrival() const { return m_mailArrival; }
  const BrandingList& branding_list() const { return m_brandingList; }
  const CheckedMessage& checked_message() const { return m_mailCheck.checked(); }
  const std::optional<BrandingDecision>& last_decision() const {
    return m_mailCheck.lastDecision();
  }
  UsageStatistics* statistics() const { return m_statistics.get(); }
  const StatsCache& stats_cache() const { return m_statsCache; }
  const ClosedBrowserWindows& closed_browser_windows() const { return m_closedBrowserWindows; }
  AddinTimers& timers() { return m_timers; }
  ContentDisplay& display() { return *m_display; }

 private:
  HResult ConnectToOutlook(host::ConnectionArgument& application);
  void AttachToActiveExplorer();
  void ReadInternetExplorerVersion();
  void RecheckSelectedMail();
  // True, with the item, when exactly one item is selected in the explorer.
  bool SingleSelectedItem(host::Explorer& explorer, std::shared_ptr<host::OutlookItem>* item);
  void UnadviseSinks();
  void StartDownloadWorkers();
  void StopDownloadWorkers();
  bool IsOutboxFolder(host::Folder& folder) override;
  void LearnExplorerWindow(host::WindowHandle window);
  host::EventSink& Sink(host::EventSinkId id);

  AddinOptions m_options;
  OutlookSession m_session;
  AddinTimers m_timers;
  BrandingList m_brandingList;
  bool m_brandingLoaded = false;   // LoadBrandingList found a document
  uint64_t m_brandingVersion = 0;  // of the downloader's branding text in m_brandingList
  CriticalSection m_cs;
  ClosedBrowserWindows m_closedBrowserWindows;
  uint32_t m_msgSendCancel = 0;
  uint32_t m_msgSendActivate = 0;
  uint32_t m_msgSendOffline = 0;
  bool m_folderSwitch = false;
  bool m_dragFullWindows = false;
  std::wstring m_currentEntryId;
  int m_outlookVersion = 0;
  int m_ieVersion = 0;
  int m_zoomDefault = 100;
  int m_zoomDpi = 100;
  // The display uses the members above, so it comes after them (and goes before them).
  PageHeads m_pageHeads;  // of the static pages that the display's embedded content builds
  DisplayContext m_displayContext;
  std::unique_ptr<ContentDisplay> m_display;
  MailCheck m_mailCheck;
  MailArrival m_mailArrival;
  std::unique_ptr<UsageStatistics> m_statistics;
  StatsCache m_statsCache;
  std::unique_ptr<host::EventSink> m_inspectorsSink;
  std::unique_ptr<host::EventSink> m_explorerSink;
  std::unique_ptr<host::EventSink> m_applicationSink;
};

}  // namespace tp
