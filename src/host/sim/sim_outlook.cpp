// The simulated Outlook session behind the Outlook ports.
#include "host/sim/sim_outlook.h"

#include <algorithm>

#include "base/format.h"
#include "base/text.h"
#include "host/files.h"
#include "host/host.h"
#include "host/sim/sim_attachments.h"

namespace tp::host::sim {
namespace {

constexpr HResult kNoConnection = static_cast<HResult>(0x80040200);  // CONNECT_E_NOCONNECTION

const wchar_t* SinkName(EventSinkId id) {
  switch (id) {
    case EventSinkId::kInspectors:
      return L"Inspectors";
    case EventSinkId::kExplorer:
      return L"Explorer";
    case EventSinkId::kApplication:
      return L"Application";
  }
  return L"?";
}

class SimAccountPort final : public Account {
 public:
  explicit SimAccountPort(std::shared_ptr<SimAccount> account) : m_account(std::move(account)) {}
  int AccountType() override { return m_account->accountType; }
  std::wstring SmtpAddress() override { return m_account->smtpAddress; }
  std::wstring DisplayName() override { return m_account->displayName; }

 private:
  std::shared_ptr<SimAccount> m_account;
};

class SimMapiMessage final : public MapiMessage {
 public:
  SimMapiMessage(SimOutlook& outlook, std::shared_ptr<SimMail> mail)
      : m_outlook(outlook), m_mail(std::move(mail)) {}

  HResult GetProp(PropTag tag, PropValue* value) override {
    auto found = m_mail->props.find(tag);
    if (found == m_mail->props.end()) {
      // A string property asked for in the other string type comes back in its own type,
      // as MAPI does for PT_STRING8/PT_UNICODE of the same id.
      const PropTag other =
          (tag & 0xFFFF0000) | (PropType(tag) == kPtUnicode ? kPtString8 : kPtUnicode);
      found = m_mail->props.find(other);
      if (found == m_mail->props.end() ||
          (PropType(tag) != kPtUnicode && PropType(tag) != kPtString8)) {
        return hr::kMapiNotFound;
      }
    }
    *value = found->second;
    return hr::kOk;
  }

  HResult SetProp(const PropValue& value) override {
    m_mail->props[value.tag] = value;
    m_outlook.calls.push_back(Format(L"SetProp %s %08x", m_mail->entryId, value.tag));
    return hr::kOk;
  }

  HResult ReadStream(PropTag tag, std::string* bytes) override {
    auto found = m_mail->props.find(tag);
    if (found == m_mail->props.end())
      return hr::kMapiNotFound;
    if (PropType(tag) == kPtUnicode) {
      *bytes = WideToUtf16Le(found->second.text);
    } else {
      *bytes = found->second.bytes;
    }
    return hr::kOk;
  }

  HResult GetAttachmentRows(std::vector<AttachmentRow>* rows) override {
    return ReadAttachmentRows(*m_mail, rows);
  }

  HResult OpenAttach(int32_t number, std::unique_ptr<MapiAttachment>* attachment) override {
    return OpenSimAttachment(m_outlook, m_mail, number, attachment);
  }

  HResult SaveChanges(uint32_t flags) override {
    m_mail->saveFlags.push_back(flags);
    m_outlook.calls.push_back(Format(L"SaveChanges %s %u", m_mail->entryId, flags));
    m_outlook.Spend(m_outlook.saveCostMs);
    if (m_mail->saveResults.empty())
      return hr::kOk;
    const HResult result = m_mail->saveResults.front();
    m_mail->saveResults.erase(m_mail->saveResults.begin());
    return result;
  }

 private:
  SimOutlook& m_outlook;
  std::shared_ptr<SimMail> m_mail;
};

// An attachment's content id is its PR_ATTACH_CONTENT_ID_W; SaveAsFile writes its bytes.
class SimAttachmentPort final : public Attachment {
 public:
  SimAttachmentPort(SimOutlook& outlook, std::shared_ptr<SimMail> mail, size_t index)
      : m_outlook(outlook), m_mail(std::move(mail)), m_index(index) {}
  std::wstring FileName() override { return attachment().fileName; }
  HResult ReadPropStream(PropTag tag, std::string* bytes) override {
    if (tag != kPrAttachContentIdW || attachment().contentId.empty())
      return hr::kMapiNotFound;
    *bytes = WideToUtf16Le(attachment().contentId);
    return hr::kOk;
  }
  HResult SaveAsFile(const std::wstring& path) override {
    m_outlook.calls.push_back(Format(L"SaveAsFile %s %s", m_mail->entryId, path));
    if (hr::Failed(attachment().saveResult))
      return attachment().saveResult;
    FileError error = kFileOk;
    std::unique_ptr<File> file = files().Open(path, FileOpen::kCreateExclusive, &error);
    if (!file || !file->Write(attachment().bytes.data(), attachment().bytes.size()))
      return hr::kFail;
    return hr::kOk;
  }

 private:
  const SimAttachment& attachment() const { return m_mail->attachments[m_index]; }

  SimOutlook& m_outlook;
  std::shared_ptr<SimMail> m_mail;
  size_t m_index;
};

class SimMailPort final : public MailItem {
 public:
  SimMailPort(SimOutlook& outlook, std::shared_ptr<SimMail> mail)
      : m_outlook(outlook), m_mail(std::move(mail)) {}
  int Class() override { return m_mail->itemClass; }
  std::wstring EntryId() override { return m_mail->entryId; }
  std::wstring Subject() override { return m_mail->subject; }
  bool Sent() override { return m_mail->sent; }
  int DownloadState() override { return m_mail->downloadState; }
  int Size() override { return m_mail->size; }
  bool UnRead() override { return m_mail->unread; }
  std::wstring SenderEmailAddress() override { return m_mail->senderEmailAddress; }
  int InternetCodepage() override { return m_mail->internetCodepage; }
  std::shared_ptr<Account> SendUsingAccount() override {
    if (!m_mail->account)
      return nullptr;
    return std::make_shared<SimAccountPort>(m_mail->account);
  }
  std::shared_ptr<MapiMessage> MapiObject() override {
    return std::make_shared<SimMapiMessage>(m_outlook, m_mail);
  }
  int AttachmentCount() override { return static_cast<int>(m_mail->attachments.size()); }
  std::shared_ptr<Attachment> GetAttachment(int index) override {
    if (index < 1 || static_cast<size_t>(index) > m_mail->attachments.size())
      return nullptr;
    return std::make_shared<SimAttachmentPort>(m_outlook, m_mail, static_cast<size_t>(index - 1));
  }

 private:
  SimOutlook& m_outlook;
  std::shared_ptr<SimMail> m_mail;
};

class SimItemPort final : public OutlookItem {
 public:
  SimItemPort(SimOutlook& outlook, std::shared_ptr<SimMail> mail)
      : m_outlook(outlook), m_mail(std::move(mail)) {}
  std::shared_ptr<MailItem> AsMailItem() override {
    if (!m_mail->isMailItem)
      return nullptr;
    return std::make_shared<SimMailPort>(m_outlook, m_mail);
  }

 private:
  SimOutlook& m_outlook;
  std::shared_ptr<SimMail> m_mail;
};

class SimRow final : public TableRow {
 public:
  explicit SimRow(std::wstring entryId) : m_entryId(std::move(entryId)) {}
  std::optional<std::vector<std::optional<std::wstring>>> GetValues() override {
    return std::vector<std::optional<std::wstring>>{m_entryId};
  }

 private:
  std::wstring m_entryId;
};

// The folder's items as a table with the EntryID column, sorted on ReceivedTime.
class SimTable final : public Table {
 public:
  SimTable(SimOutlook& outlook, std::shared_ptr<SimFolder> folder)
      : m_outlook(outlook), m_rows(folder->items) {}
  void RemoveAllColumns() override { m_outlook.calls.push_back(L"Table.RemoveAll"); }
  void AddColumn(const std::wstring& name) override {
    m_outlook.calls.push_back(L"Table.Add " + name);
  }
  void Sort(const std::wstring& column, bool descending) override {
    m_outlook.calls.push_back(Format(L"Table.Sort %s %d", column, descending));
    std::stable_sort(m_rows.begin(), m_rows.end(), [descending](const auto& a, const auto& b) {
      return descending ? a->receivedTime > b->receivedTime : a->receivedTime < b->receivedTime;
    });
  }
  bool EndOfTable() override { return m_next >= m_rows.size(); }
  std::shared_ptr<TableRow> GetNextRow() override {
    if (m_next >= m_rows.size())
      return nullptr;
    ++m_outlook.tableRowsRead;
    m_outlook.Spend(m_outlook.rowReadCostMs);
    return std::make_shared<SimRow>(m_rows[m_next++]->entryId);
  }

 private:
  SimOutlook& m_outlook;
  std::vector<std::shared_ptr<SimMail>> m_rows;
  size_t m_next = 0;
};

class SimStore final : public Store {
 public:
  explicit SimStore(std::optional<int> type) : m_type(type) {}
  std::optional<int> ExchangeStoreType() override { return m_type; }

 private:
  std::optional<int> m_type;
};

class SimFolderPort final : public Folder {
 public:
  SimFolderPort(SimOutlook& outlook, std::shared_ptr<SimFolder> folder)
      : m_outlook(outlook), m_folder(std::move(folder)) {}
  std::wstring Name() override { return m_folder->name; }
  std::wstring EntryId() override { return m_folder->entryId; }
  std::shared_ptr<Store> GetStore() override {
    return std::make_shared<SimStore>(m_folder->exchangeStoreType);
  }
  std::shared_ptr<Table> GetTable() override {
    return std::make_shared<SimTable>(m_outlook, m_folder);
  }

 private:
  SimOutlook& m_outlook;
  std::shared_ptr<SimFolder> m_folder;
};

class SimSelection final : public Selection {
 public:
  SimSelection(SimOutlook& outlook, std::vector<std::shared_ptr<SimMail>> items)
      : m_outlook(outlook), m_items(std::move(items)) {}
  int Class() override { return kOlSelection; }
  int Count() override { return static_cast<int>(m_items.size()); }
  std::shared_ptr<OutlookItem> Item(int index) override {
    if (index < 1 || index > Count())
      return nullptr;
    return std::make_shared<SimItemPort>(m_outlook, m_items[static_cast<size_t>(index - 1)]);
  }

 private:
  SimOutlook& m_outlook;
  std::vector<std::shared_ptr<SimMail>> m_items;
};

class SimExplorer final : public Explorer {
 public:
  SimExplorer(SimOutlook& outlook, std::shared_ptr<SimExplorerState> state)
      : m_outlook(outlook), m_state(std::move(state)) {}
  std::shared_ptr<Folder> CurrentFolder() override {
    if (!m_state->currentFolder)
      return nullptr;
    return std::make_shared<SimFolderPort>(m_outlook, m_state->currentFolder);
  }
  std::shared_ptr<Selection> GetSelection() override {
    return std::make_shared<SimSelection>(m_outlook, m_state->selection);
  }
  WindowHandle Window() override { return m_state->window; }
  const SimExplorerState* state() const { return m_state.get(); }

 private:
  SimOutlook& m_outlook;
  std::shared_ptr<SimExplorerState> m_state;
};

class SimInspector final : public Inspector {
 public:
  SimInspector(SimOutlook& outlook, std::shared_ptr<SimInspectorState> state)
      : m_outlook(outlook), m_state(std::move(state)) {}
  std::shared_ptr<OutlookItem> CurrentItem() override {
    if (!m_state->item)
      return nullptr;
    return std::make_shared<SimItemPort>(m_outlook, m_state->item);
  }
  uintptr_t Identity() override { return reinterpret_cast<uintptr_t>(m_state.get()); }
  const SimInspectorState* state() const { return m_state.get(); }

 private:
  SimOutlook& m_outlook;
  std::shared_ptr<SimInspectorState> m_state;
};

class SimInspectors final : public Inspectors {};

class SimMapiSession final : public MapiSession {
 public:
  explicit SimMapiSession(SimOutlook& outlook) : m_outlook(outlook) {}
  HResult OpenEntry(const std::string& entryId, uint32_t flags,
                    std::shared_ptr<MapiMessage>* message) override {
    m_outlook.calls.push_back(Format(L"OpenEntry %u", flags));
    std::shared_ptr<SimMail> mail = m_outlook.FindMail(Utf8ToWide(entryId));
    if (!mail)
      return hr::kMapiNotFound;
    *message = std::make_shared<SimMapiMessage>(m_outlook, mail);
    return hr::kOk;
  }

 private:
  SimOutlook& m_outlook;
};

class SimOlkAccountPort final : public OlkAccount {
 public:
  explicit SimOlkAccountPort(SimOlkAccount account) : m_account(std::move(account)) {}
  HResult GetProp(PropTag tag, std::wstring* value) override {
    if (tag == kPropInetServer) {
      *value = m_account.incomingServer;
      return hr::kOk;
    }
    if (tag == kPropAccountName) {
      *value = m_account.name;
      return hr::kOk;
    }
    return hr::kMapiNotFound;
  }

 private:
  SimOlkAccount m_account;
};

class SimAccountEnum final : public OlkAccountEnum {
 public:
  explicit SimAccountEnum(std::vector<SimOlkAccount> accounts) : m_accounts(std::move(accounts)) {}
  HResult GetCount(uint32_t* count) override {
    *count = static_cast<uint32_t>(m_accounts.size());
    return hr::kOk;
  }
  HResult Reset() override {
    m_next = 0;
    return hr::kOk;
  }
  HResult GetNext(std::shared_ptr<OlkAccount>* account) override {
    if (m_next >= m_accounts.size())
      return hr::kFail;
    const SimOlkAccount& entry = m_accounts[m_next++];
    if (entry.isAccount)
      *account = std::make_shared<SimOlkAccountPort>(entry);
    return hr::kOk;
  }

 private:
  std::vector<SimOlkAccount> m_accounts;
  size_t m_next = 0;
};

class SimAccountManager final : public OlkAccountManager {
 public:
  explicit SimAccountManager(SimOutlook& outlook) : m_outlook(outlook) {}
  HResult Init(std::shared_ptr<OlkAccountHelper> helper, uint32_t flags) override {
    m_outlook.calls.push_back(Format(L"AccountManager.Init %u", flags));
    if (m_outlook.accountManagerInitFailure != hr::kOk)
      return m_outlook.accountManagerInitFailure;
    m_helper = std::move(helper);
    return hr::kOk;
  }
  HResult EnumerateMailAccounts(std::shared_ptr<OlkAccountEnum>* accounts) override {
    if (!m_helper)
      return static_cast<HResult>(0x8000FFFF);
    *accounts = std::make_shared<SimAccountEnum>(m_outlook.accounts);
    return hr::kOk;
  }
  std::shared_ptr<OlkAccountHelper> helper() const { return m_helper; }

 private:
  SimOutlook& m_outlook;
  std::shared_ptr<OlkAccountHelper> m_helper;
};

}  // namespace

// --- The namespace, the application and the connection argument ------------------------

class SimNamespace final : public OutlookNamespace {
 public:
  explicit SimNamespace(SimOutlook& outlook) : m_outlook(outlook) {}
  std::shared_ptr<OutlookItem> GetItemFromId(const std::wstring& entryId,
                                             HResult* result) override {
    m_outlook.Spend(m_outlook.itemLookupCostMs);
    std::shared_ptr<SimMail> mail = m_outlook.FindMail(entryId);
    if (!mail) {
      *result = hr::kMapiNotFound;
      return nullptr;
    }
    *result = hr::kOk;
    return std::make_shared<SimItemPort>(m_outlook, mail);
  }
  std::shared_ptr<Folder> GetDefaultFolder(int folderType) override {
    if (folderType != kOlFolderOutbox || !m_outlook.outbox)
      return nullptr;
    return std::make_shared<SimFolderPort>(m_outlook, m_outlook.outbox);
  }
  std::shared_ptr<MapiSession> MapiObject() override {
    if (!m_outlook.namespaceHasMapiSession)
      return nullptr;
    return std::make_shared<SimMapiSession>(m_outlook);
  }
  std::wstring CurrentProfileName() override { return m_outlook.profileName; }

 private:
  SimOutlook& m_outlook;
};

class SimApplication final : public OutlookApplication {
 public:
  explicit SimApplication(SimOutlook& outlook) : m_outlook(outlook) {}
  std::wstring Version() override { return m_outlook.version; }
  std::shared_ptr<OutlookNamespace> GetNamespace(const std::wstring& type,
                                                 HResult* result) override {
    if (m_outlook.getNamespaceFailure != hr::kOk || type != L"MAPI") {
      *result = m_outlook.getNamespaceFailure != hr::kOk ? m_outlook.getNamespaceFailure
                                                         : hr::kInvalidArg;
      return nullptr;
    }
    *result = hr::kOk;
    return std::make_shared<SimNamespace>(m_outlook);
  }
  std::shared_ptr<Explorer> ActiveExplorer() override {
    if (!m_outlook.activeExplorer)
      return nullptr;
    return std::make_shared<SimExplorer>(m_outlook, m_outlook.activeExplorer);
  }
  std::shared_ptr<Inspectors> GetInspectors() override { return m_outlook.m_inspectors; }
  WindowHandle ActiveWindow() override { return m_outlook.activeWindow; }
  std::shared_ptr<Inspector> ActiveInspector() override {
    if (!m_outlook.activeInspector)
      return nullptr;
    return std::make_shared<SimInspector>(m_outlook, m_outlook.activeInspector);
  }

 private:
  SimOutlook& m_outlook;
};

namespace {
class SimConnectionArgument final : public ConnectionArgument {
 public:
  explicit SimConnectionArgument(SimOutlook& outlook) : m_outlook(outlook) {}
  HResult ResolveApplication(std::shared_ptr<OutlookApplication>* application,
                             Step* failedStep) override {
    if (m_outlook.failResolveAt) {
      *failedStep = *m_outlook.failResolveAt;
      return m_outlook.resolveFailure;
    }
    *application = m_outlook.Application();
    return hr::kOk;
  }

 private:
  SimOutlook& m_outlook;
};
}  // namespace

// --- Event sinks ------------------------------------------------------------------------

struct SimOutlook::Connection {
  EventSinkId id;
  const void* source;
  OutlookEventHandler* handler;
  uint32_t cookie;
};

class SimEventSink final : public EventSink {
 public:
  SimEventSink(SimOutlook& outlook, EventSinkId id, OutlookEventHandler& handler)
      : m_outlook(outlook), m_id(id), m_handler(handler) {}
  ~SimEventSink() override {
    if (m_connection)
      Drop();
  }

  HResult Advise(EventSource& source) override {
    if (m_connection)
      return hr::kFail;
    const void* key = SourceKey(source);
    if (key == nullptr)
      return kNoConnection;
    m_connection = std::make_unique<SimOutlook::Connection>(
        SimOutlook::Connection{m_id, key, &m_handler, m_outlook.m_nextCookie++});
    m_outlook.m_connections.push_back(m_connection.get());
    m_outlook.calls.push_back(Format(L"Advise %d %s", static_cast<int>(m_id), SinkName(m_id)));
    return hr::kOk;
  }

  HResult Unadvise() override {
    if (!m_connection) {
      m_outlook.calls.push_back(
          Format(L"Unadvise %d %s failed", static_cast<int>(m_id), SinkName(m_id)));
      return kNoConnection;
    }
    Drop();
    m_outlook.calls.push_back(Format(L"Unadvise %d %s", static_cast<int>(m_id), SinkName(m_id)));
    return hr::kOk;
  }

  uint32_t Cookie() const override {
    return m_connection ? m_connection->cookie : kNotAdvisedCookie;
  }

 private:
  // Which simulated object a port object stands for, when it is the right one for this sink.
  const void* SourceKey(EventSource& source) const {
    switch (m_id) {
      case EventSinkId::kApplication:
        return dynamic_cast<SimApplication*>(&source) ? &m_outlook : nullptr;
      case EventSinkId::kExplorer:
        if (auto* explorer = dynamic_cast<SimExplorer*>(&source))
          return explorer->state();
        return nullptr;
      case EventSinkId::kInspectors:
        return dynamic_cast<SimInspectors*>(&source) ? m_outlook.m_inspectors.get() : nullptr;
    }
    return nullptr;
  }

  void Drop() {
    auto& list = m_outlook.m_connections;
    list.erase(std::remove(list.begin(), list.end(), m_connection.get()), list.end());
    m_connection.reset();
  }

  SimOutlook& m_outlook;
  EventSinkId m_id;
  OutlookEventHandler& m_handler;
  std::unique_ptr<SimOutlook::Connection> m_connection;
};

struct SimOutlook::InspectorConnection {
  const SimInspectorState* source;
  InspectorEventHandler* handler;
  uint32_t cookie;
};

class SimInspectorSink final : public EventSink {
 public:
  SimInspectorSink(SimOutlook& outlook, InspectorEventHandler& handler)
      : m_outlook(outlook), m_handler(handler) {}
  ~SimInspectorSink() override {
    if (m_connection)
      Drop();
  }

  HResult Advise(EventSource& source) override {
    if (m_connection)
      return hr::kFail;
    auto* inspector = dynamic_cast<SimInspector*>(&source);
    if (inspector == nullptr)
      return kNoConnection;
    m_connection = std::make_unique<SimOutlook::InspectorConnection>(
        SimOutlook::InspectorConnection{inspector->state(), &m_handler, m_outlook.m_nextCookie++});
    m_outlook.m_inspectorConnections.push_back(m_connection.get());
    m_outlook.calls.push_back(L"Advise Inspector");
    return hr::kOk;
  }

  HResult Unadvise() override {
    if (!m_connection)
      return kNoConnection;
    Drop();
    m_outlook.calls.push_back(L"Unadvise Inspector");
    return hr::kOk;
  }

  uint32_t Cookie() const override {
    return m_connection ? m_connection->cookie : kNotAdvisedCookie;
  }

 private:
  void Drop() {
    auto& list = m_outlook.m_inspectorConnections;
    list.erase(std::remove(list.begin(), list.end(), m_connection.get()), list.end());
    m_connection.reset();
  }

  SimOutlook& m_outlook;
  InspectorEventHandler& m_handler;
  std::unique_ptr<SimOutlook::InspectorConnection> m_connection;
};

// --- SimOutlook -------------------------------------------------------------------------

void SimMail::SetProp(PropTag tag, const std::wstring& text) {
  PropValue value;
  value.tag = tag;
  value.text = text;
  props[tag] = value;
}

void SimMail::SetBinaryProp(PropTag tag, const std::string& bytes) {
  PropValue value;
  value.tag = tag;
  value.bytes = bytes;
  props[tag] = value;
}

SimOutlook::SimOutlook() : m_inspectors(std::make_shared<SimInspectors>()) {
  outbox = std::make_shared<SimFolder>();
  outbox->name = L"Outbox";
  outbox->entryId = L"outbox-folder";
  folders.push_back(outbox);
}

SimOutlook::~SimOutlook() = default;

std::shared_ptr<ConnectionArgument> SimOutlook::ConnectionArgumentFor() {
  return std::make_shared<SimConnectionArgument>(*this);
}

std::shared_ptr<OutlookApplication> SimOutlook::Application() {
  if (!m_application)
    m_application = std::make_shared<SimApplication>(*this);
  return m_application;
}

std::shared_ptr<MailItem> SimOutlook::MailItemFor(std::shared_ptr<SimMail> mail) {
  return std::make_shared<SimMailPort>(*this, std::move(mail));
}

std::shared_ptr<SimFolder> SimOutlook::AddFolder(const std::wstring& name) {
  auto folder = std::make_shared<SimFolder>();
  folder->name = name;
  folder->entryId = L"folder-" + name;
  folders.push_back(folder);
  return folder;
}

std::shared_ptr<SimMail> SimOutlook::AddMail(SimFolder& folder, SimMail mail) {
  auto stored = std::make_shared<SimMail>(std::move(mail));
  if (stored->props.count(kPrEntryId) == 0) {
    stored->SetBinaryProp(kPrEntryId, WideToUtf8(stored->entryId));
  }
  folder.items.push_back(stored);
  m_mailById[stored->entryId] = stored;
  return stored;
}

std::shared_ptr<SimMail> SimOutlook::FindMail(const std::wstring& entryId) const {
  auto found = m_mailById.find(entryId);
  return found == m_mailById.end() ? nullptr : found->second;
}

std::shared_ptr<SimInspectorState> SimOutlook::OpenInspector(std::shared_ptr<SimMail> mail) {
  auto state = std::make_shared<SimInspectorState>();
  state->item = std::move(mail);
  return state;
}

template <class Call>
void SimOutlook::Raise(EventSinkId id, const void* source, Call call) {
  // A handler may unadvise sinks (Quit does): call only those still advised.
  const std::vector<Connection*> snapshot = m_connections;
  for (Connection* connection : snapshot) {
    if (std::find(m_connections.begin(), m_connections.end(), connection) == m_connections.end()) {
      continue;
    }
    if (connection->id == id && connection->source == source)
      call(*connection->handler);
  }
}

void SimOutlook::RaiseNewMailEx(const std::wstring& entryIds) {
  Raise(EventSinkId::kApplication, this,
        [&](OutlookEventHandler& handler) { handler.OnNewMailEx(entryIds); });
}

void SimOutlook::RaiseQuit() {
  Raise(EventSinkId::kApplication, this, [](OutlookEventHandler& handler) { handler.OnQuit(); });
}

void SimOutlook::RaiseLogonComplete() {
  Raise(EventSinkId::kApplication, this,
        [](OutlookEventHandler& handler) { handler.OnLogonComplete(); });
}

void SimOutlook::RaiseSelectionChange() {
  Raise(EventSinkId::kExplorer, activeExplorer.get(),
        [](OutlookEventHandler& handler) { handler.OnExplorerSelectionChange(); });
}

void SimOutlook::RaiseFolderSwitch() {
  Raise(EventSinkId::kExplorer, activeExplorer.get(),
        [](OutlookEventHandler& handler) { handler.OnFolderSwitch(); });
}

bool SimOutlook::RaiseBeforeFolderSwitch(std::shared_ptr<SimFolder> folder) {
  bool cancel = false;
  Raise(EventSinkId::kExplorer, activeExplorer.get(), [&](OutlookEventHandler& handler) {
    handler.OnBeforeFolderSwitch(folder ? std::make_shared<SimFolderPort>(*this, folder) : nullptr,
                                 &cancel);
  });
  return cancel;
}

void SimOutlook::RaiseNewInspector(std::shared_ptr<SimInspectorState> inspector) {
  Raise(EventSinkId::kInspectors, m_inspectors.get(), [&](OutlookEventHandler& handler) {
    handler.NewInspector(std::make_shared<SimInspector>(*this, inspector));
  });
}

void SimOutlook::RaiseInspectorClose(const std::shared_ptr<SimInspectorState>& inspector) {
  // A handler unadvises its own sink: call only those still advised.
  const std::vector<InspectorConnection*> snapshot = m_inspectorConnections;
  for (InspectorConnection* connection : snapshot) {
    const auto& live = m_inspectorConnections;
    if (std::find(live.begin(), live.end(), connection) == live.end())
      continue;
    if (connection->source == inspector.get())
      connection->handler->OnInspectorClose();
  }
}

void SimOutlook::Spend(uint32_t ms) {
  if (clock != nullptr)
    clock->Advance(ms);
}

size_t SimOutlook::AdvisedSinkCount() const {
  return m_connections.size();
}

std::unique_ptr<EventSink> SimOutlook::CreateEventSink(EventSinkId id,
                                                       OutlookEventHandler& handler) {
  return std::make_unique<SimEventSink>(*this, id, handler);
}

std::unique_ptr<EventSink> SimOutlook::CreateInspectorSink(InspectorEventHandler& handler) {
  return std::make_unique<SimInspectorSink>(*this, handler);
}

HResult SimOutlook::CreateAccountManager(std::shared_ptr<OlkAccountManager>* manager) {
  if (accountManagerFailure != hr::kOk)
    return accountManagerFailure;
  *manager = std::make_shared<SimAccountManager>(*this);
  return hr::kOk;
}

}  // namespace tp::host::sim
