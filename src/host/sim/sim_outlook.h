// A simulated Outlook session: application, explorer, inspectors, folders and mail items
// held as plain state that tests and the tool set up, behind the Outlook ports. Events are
// raised by hand and reach every sink advised on their source; every advise, unadvise and
// save is written to a call log.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/outlook.h"
#include "host/sim/sim_clock.h"

namespace tp::host::sim {

struct SimAccount {
  int accountType = 2;  // POP3
  std::wstring smtpAddress;
  std::wstring displayName;
};

// An attachment of a mail item as the message carried it. The attachment table lists them in
// order, numbered from 0 (PR_ATTACH_NUM), with PR_ATTACH_FILENAME_W; PR_ATTACH_DATA_BIN opens
// as a stream over the bytes. Through the object model (Attachments), PR_ATTACH_CONTENT_ID_W
// holds the content id and SaveAsFile writes the bytes.
struct SimAttachment {
  std::wstring fileName;
  std::wstring contentId;  // without angle brackets; empty when the part had none
  std::wstring mimeType;   // lower case, "image/png"
  std::string bytes;       // decoded content
  // The size the data stream's Stat announces, when it should differ from the bytes.
  std::optional<uint64_t> statSize;
  HResult saveResult = hr::kOk;  // non-zero: SaveAsFile fails with it, writing nothing
};

// A mail item. Its MAPI properties double as the message's streams (PR_BODY_W holds the
// plain text, PR_HTML the HTML bytes).
struct SimMail {
  std::wstring entryId;
  bool isMailItem = true;
  int itemClass = kOlMail;
  std::wstring subject;
  bool sent = true;
  int downloadState = 1;  // olFullItem
  int size = 1024;
  bool unread = true;
  std::wstring senderEmailAddress;
  std::wstring senderName;
  // Why there is no sender address, in the words of the reader that made the item (a From
  // field without a readable mailbox); empty when there is one.
  std::wstring senderProblem;
  int internetCodepage = 65001;
  std::shared_ptr<SimAccount> account;  // SendUsingAccount; null when Outlook gives none
  std::map<PropTag, PropValue> props;
  int64_t receivedTime = 0;  // orders the folder table
  // Results of the next SaveChanges calls, oldest first; S_OK once they are used up.
  std::vector<HResult> saveResults;
  std::vector<uint32_t> saveFlags;  // every SaveChanges, in order
  // A signed message's first attachment is its signature part ("smime.p7m"), as in the store;
  // the rest are what the signed content carries.
  std::vector<SimAttachment> attachments;
  HResult attachmentTableFailure = hr::kOk;  // non-zero: GetAttachmentTable fails

  void SetProp(PropTag tag, const std::wstring& text);
  void SetBinaryProp(PropTag tag, const std::string& bytes);
};

struct SimFolder {
  std::wstring name;
  std::wstring entryId;
  std::optional<int> exchangeStoreType = kOlNotExchange;
  std::vector<std::shared_ptr<SimMail>> items;
};

struct SimExplorerState {
  std::shared_ptr<SimFolder> currentFolder;
  std::vector<std::shared_ptr<SimMail>> selection;
  WindowHandle window = 0;
};

struct SimInspectorState {
  std::shared_ptr<SimMail> item;
  WindowHandle window = 0;  // its top-level window
};

// An account of the profile as the account manager lists it.
struct SimOlkAccount {
  std::wstring name;
  std::wstring incomingServer;
  bool isAccount = true;  // false: the element does not answer IOlkAccount
};

class SimOutlook final : public OutlookRuntime {
 public:
  SimOutlook();
  ~SimOutlook() override;

  // The Application argument that OnConnection receives.
  std::shared_ptr<ConnectionArgument> ConnectionArgumentFor();

  // --- Session state -------------------------------------------------------------------
  std::wstring version = L"16.0.0.4266";
  std::wstring profileName = L"Outlook";
  std::shared_ptr<SimExplorerState> activeExplorer;  // null: Outlook has no explorer
  WindowHandle activeWindow = 0;
  std::shared_ptr<SimInspectorState> activeInspector;  // null: no inspector is active
  std::shared_ptr<SimFolder> outbox;
  std::vector<std::shared_ptr<SimFolder>> folders;
  std::vector<SimOlkAccount> accounts;

  std::shared_ptr<SimFolder> AddFolder(const std::wstring& name);
  // Adds the mail to the folder (and to the session's items by entry id).
  std::shared_ptr<SimMail> AddMail(SimFolder& folder, SimMail mail);
  std::shared_ptr<SimMail> FindMail(const std::wstring& entryId) const;
  // Opens an inspector on a mail; returns its state (also its identity).
  std::shared_ptr<SimInspectorState> OpenInspector(std::shared_ptr<SimMail> mail);

  // --- Faults --------------------------------------------------------------------------
  std::optional<ConnectionArgument::Step> failResolveAt;
  HResult resolveFailure = static_cast<HResult>(0x80020006);  // DISP_E_UNKNOWNNAME
  HResult getNamespaceFailure = hr::kOk;                      // non-zero: no namespace
  HResult accountManagerFailure = hr::kOk;
  HResult accountManagerInitFailure = hr::kOk;
  bool namespaceHasMapiSession = true;

  // --- Events --------------------------------------------------------------------------
  void RaiseNewMailEx(const std::wstring& entryIds);
  void RaiseQuit();
  void RaiseLogonComplete();
  void RaiseSelectionChange();
  void RaiseFolderSwitch();
  bool RaiseBeforeFolderSwitch(std::shared_ptr<SimFolder> folder);  // the Cancel result
  void RaiseNewInspector(std::shared_ptr<SimInspectorState> inspector);
  // The inspector's window closes: its Close event goes to the sinks advised on it.
  void RaiseInspectorClose(const std::shared_ptr<SimInspectorState>& inspector);
  // Number of sinks currently advised.
  size_t AdvisedSinkCount() const;

  // "Advise 3 Application", "Unadvise 2 Explorer", "SaveChanges <id> 4", ...
  std::vector<std::wstring> calls;
  int tableRowsRead = 0;

  // --- Cost in simulated time ------------------------------------------------------------
  // Outlook calls take time; these move the simulated clock (when one is attached) so that
  // the add-in's time budgets can be tested.
  SimClock* clock = nullptr;
  uint32_t itemLookupCostMs = 0;  // GetItemFromID
  uint32_t rowReadCostMs = 0;     // Table.GetNextRow
  uint32_t saveCostMs = 0;        // SaveChanges
  void Spend(uint32_t ms);

  // --- OutlookRuntime --------------------------------------------------------------------
  std::unique_ptr<EventSink> CreateEventSink(EventSinkId id, OutlookEventHandler& handler) override;
  std::unique_ptr<EventSink> CreateInspectorSink(InspectorEventHandler& handler) override;
  HResult CreateAccountManager(std::shared_ptr<OlkAccountManager>* manager) override;

  // Port objects over this state (also used by the .eml loader and tests).
  std::shared_ptr<OutlookApplication> Application();
  std::shared_ptr<MailItem> MailItemFor(std::shared_ptr<SimMail> mail);

  struct Connection;  // one advised sink, kept while advised
  struct InspectorConnection;

 private:
  friend class SimEventSink;
  friend class SimInspectorSink;
  template <class Call>
  void Raise(EventSinkId id, const void* source, Call call);

  std::map<std::wstring, std::shared_ptr<SimMail>> m_mailById;
  std::vector<Connection*> m_connections;
  std::vector<InspectorConnection*> m_inspectorConnections;
  uint32_t m_nextCookie = 0x100;
  std::shared_ptr<OutlookApplication> m_application;
  std::shared_ptr<Inspectors> m_inspectors;
  friend class SimApplication;
  friend class SimNamespace;
};

}  // namespace tp::host::sim
