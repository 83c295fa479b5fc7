// Outlook object model port: the objects, members and events the add-in uses, as the
// Windows adapter reaches them through IDispatch and the simulated Outlook provides them.
// Every getter absorbs failure: a missing object is null, a missing value empty or 0.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/hresult.h"
#include "host/mapi.h"
#include "host/ui.h"

namespace tp::host {

constexpr int kOlMail = 43;
constexpr int kOlSelection = 74;
constexpr int kOlFolderOutbox = 4;
constexpr int kOlNotExchange = 3;  // _Store.ExchangeStoreType of a store not on Exchange
constexpr int kOlHeaderOnly = 0;   // _MailItem.DownloadState
constexpr int kOlExchangeAccount = 0;

class Account {
 public:
  virtual ~Account() = default;
  virtual int AccountType() = 0;
  virtual std::wstring SmtpAddress() = 0;
  virtual std::wstring DisplayName() = 0;
};

// An attachment of a mail item.
class Attachment {
 public:
  virtual ~Attachment() = default;
  virtual std::wstring FileName() = 0;
  // MAPIOBJECT as IMAPIProp: the property opened as an IStream and read whole.
  virtual HResult ReadPropStream(PropTag tag, std::string* bytes) = 0;
  virtual HResult SaveAsFile(const std::wstring& path) = 0;
};

class MailItem {
 public:
  virtual ~MailItem() = default;
  virtual int Class() = 0;
  virtual std::wstring EntryId() = 0;
  virtual std::wstring Subject() = 0;
  virtual bool Sent() = 0;
  virtual int DownloadState() = 0;
  virtual int Size() = 0;
  virtual bool UnRead() = 0;
  virtual std::wstring SenderEmailAddress() = 0;
  virtual int InternetCodepage() = 0;
  virtual std::shared_ptr<Account> SendUsingAccount() = 0;
  // MAPIOBJECT as IMessage.
  virtual std::shared_ptr<MapiMessage> MapiObject() = 0;
  // Attachments.Count, and Attachments.Item(index) for 1 <= index <= count (null when
  // Outlook gives none).
  virtual int AttachmentCount() = 0;
  virtual std::shared_ptr<Attachment> GetAttachment(int index) = 0;
};

// Any Outlook item; only mail items are of interest.
class OutlookItem {
 public:
  virtual ~OutlookItem() = default;
  virtual std::shared_ptr<MailItem> AsMailItem() = 0;  // QueryInterface(_MailItem)
};

class TableRow {
 public:
  virtual ~TableRow() = default;
  // Row.GetValues when it is a one-dimensional array of VARIANT: one entry per element, the
  // text for a VT_BSTR element and empty for any other. Empty for any other result.
  virtual std::optional<std::vector<std::optional<std::wstring>>> GetValues() = 0;
};

class Table {
 public:
  virtual ~Table() = default;
  virtual void RemoveAllColumns() = 0;
  virtual void AddColumn(const std::wstring& name) = 0;
  virtual void Sort(const std::wstring& column, bool descending) = 0;
  virtual bool EndOfTable() = 0;
  virtual std::shared_ptr<TableRow> GetNextRow() = 0;
};

class Store {
 public:
  virtual ~Store() = default;
  virtual std::optional<int> ExchangeStoreType() = 0;
};

class Folder {
 public:
  virtual ~Folder() = default;
  virtual std::wstring Name() = 0;
  virtual std::wstring EntryId() = 0;
  virtual std::shared_ptr<Store> GetStore() = 0;
  virtual std::shared_ptr<Table> GetTable() = 0;
};

class Selection {
 public:
  virtual ~Selection() = default;
  virtual int Class() = 0;
  virtual int Count() = 0;
  virtual std::shared_ptr<OutlookItem> Item(int index) = 0;  // 1-based, VT_INT
};

// The objects whose events the add-in sinks.
class EventSource {
 public:
  virtual ~EventSource() = default;
};

class Explorer : public EventSource {
 public:
  virtual std::shared_ptr<Folder> CurrentFolder() = 0;
  virtual std::shared_ptr<Selection> GetSelection() = 0;
  virtual WindowHandle Window() = 0;  // IOleWindow::GetWindow, 0 when unavailable
};

class Inspector : public EventSource {
 public:
  virtual std::shared_ptr<OutlookItem> CurrentItem() = 0;
  // The same Outlook inspector always gives the same identity (its IUnknown).
  virtual uintptr_t Identity() = 0;
};

class Inspectors : public EventSource {};

class OutlookNamespace {
 public:
  virtual ~OutlookNamespace() = default;
  virtual std::shared_ptr<OutlookItem> GetItemFromId(const std::wstring& entryId,
                                                     HResult* result) = 0;
  virtual std::shared_ptr<Folder> GetDefaultFolder(int folderType) = 0;
  virtual std::shared_ptr<MapiSession> MapiObject() = 0;  // MAPIOBJECT as IMAPISession
  virtual std::wstring CurrentProfileName() = 0;
};

class OutlookApplication : public EventSource {
 public:
  virtual std::wstring Version() = 0;
  virtual std::shared_ptr<OutlookNamespace> GetNamespace(const std::wstring& type,
                                                         HResult* result) = 0;
  virtual std::shared_ptr<Explorer> ActiveExplorer() = 0;
  virtual std::shared_ptr<Inspectors> GetInspectors() = 0;
  virtual WindowHandle ActiveWindow() = 0;  // IOleWindow of ActiveWindow, 0 when none
  virtual std::shared_ptr<Inspector> ActiveInspector() = 0;
};

// The Application argument of OnConnection, resolved to Outlook's _Application by asking it
// for its "Application" member; the two steps fail with distinct log lines.
class ConnectionArgument {
 public:
  enum class Step { kGetIdsOfNames, kInvoke };
  virtual ~ConnectionArgument() = default;
  virtual HResult ResolveApplication(std::shared_ptr<OutlookApplication>* application,
                                     Step* failedStep) = 0;
};

// Handlers of the sunk Outlook events; the add-in object implements them.
class OutlookEventHandler {
 public:
  virtual ~OutlookEventHandler() = default;
  virtual void NewInspector(std::shared_ptr<Inspector> inspector) = 0;
  virtual void OnExplorerSelectionChange() = 0;
  virtual void OnFolderSwitch() = 0;
  virtual void OnBeforeFolderSwitch(std::shared_ptr<Folder> newFolder, bool* cancel) = 0;
  virtual void OnNewMailEx(const std::wstring& entryIdCollection) = 0;
  virtual void OnQuit() = 0;
  virtual void OnLogonComplete() = 0;
};

// The events of one inspector that the display sinks (InspectorEvents_10).
class InspectorEventHandler {
 public:
  virtual void OnInspectorClose() = 0;

 protected:
  ~InspectorEventHandler() = default;
};

enum class EventSinkId { kInspectors = 1, kExplorer = 2, kApplication = 3 };
constexpr uint32_t kNotAdvisedCookie = 0xFEFEFEFE;

// One event interface connected to a handler. Advising twice is refused with E_FAIL; the
// cookie is kNotAdvisedCookie while not advised. Unadvising disconnects from the object the
// sink was advised on, even when Outlook has since replaced it (a new active explorer).
class EventSink {
 public:
  virtual ~EventSink() = default;
  virtual HResult Advise(EventSource& source) = 0;
  virtual HResult Unadvise() = 0;
  virtual uint32_t Cookie() const = 0;
};

// Outlook's account manager (IOlkAccountManager and friends).
constexpr PropTag kPropInetServer = 0x0100001F;
constexpr PropTag kPropAccountName = 0x0002001F;
constexpr uint32_t kAcctInitNoSyncMapiAccounts = 0x00000001;

class OlkAccount {
 public:
  virtual ~OlkAccount() = default;
  virtual HResult GetProp(PropTag tag, std::wstring* value) = 0;
};

class OlkAccountEnum {
 public:
  virtual ~OlkAccountEnum() = default;
  virtual HResult GetCount(uint32_t* count) = 0;
  virtual HResult Reset() = 0;
  // The next account; *account stays null when the element is not an IOlkAccount.
  virtual HResult GetNext(std::shared_ptr<OlkAccount>* account) = 0;
};

// What the account manager asks of the add-in: the profile's identity and MAPI session.
class OlkAccountHelper {
 public:
  virtual ~OlkAccountHelper() = default;
  virtual HResult GetIdentity(wchar_t* buffer, uint32_t* count) = 0;
  virtual HResult GetMapiSession(std::shared_ptr<MapiSession>* session) = 0;
};

class OlkAccountManager {
 public:
  virtual ~OlkAccountManager() = default;
  virtual HResult Init(std::shared_ptr<OlkAccountHelper> helper, uint32_t flags) = 0;
  virtual HResult EnumerateMailAccounts(std::shared_ptr<OlkAccountEnum>* accounts) = 0;
};

// Creation of the objects the add-in makes itself inside Outlook's process.
class OutlookRuntime {
 public:
  virtual ~OutlookRuntime() = default;
  virtual std::unique_ptr<EventSink> CreateEventSink(EventSinkId id,
                                                     OutlookEventHandler& handler) = 0;
  // A sink for one inspector's events, advised on that Inspector.
  virtual std::unique_ptr<EventSink> CreateInspectorSink(InspectorEventHandler& handler) = 0;
  virtual HResult CreateAccountManager(std::shared_ptr<OlkAccountManager>* manager) = 0;
};

}  // namespace tp::host
