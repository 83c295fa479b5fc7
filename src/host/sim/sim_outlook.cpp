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
  explicit SimAccountPort(std::shared_ptr<SimAccount> account) : account_(std::move(account)) {}
  int AccountType() override { return account_->accountType; }
  std::wstring SmtpAddress() override { return account_->smtpAddress; }
  std::wstring DisplayName() override { return account_->displayName; }

 private:
  std::shared_ptr<SimAccount> account_;
};

class SimMapiMessage final : public MapiMessage {
 public:
  SimMapiMessage(SimOutlook& outlook, std::shared_ptr<SimMail> mail)
      : outlook_(outlook), mail_(std::move(mail)) {}

  HResult GetProp(PropTag tag, PropValue* value) override {
    auto found = mail_->props.find(tag);
    if (found == mail_->props.end()) {
      // A string property asked for in the other string type comes back in its own type,
      // as MAPI does for PT_STRING8/PT_UNICODE of the same id.
      const PropTag other =
          (tag & 0xFFFF0000) | (PropType(tag) == kPtUnicode ? kPtString8 : kPtUnicode);
      found = mail_->props.find(other);
      if (found == mail_->props.end() ||
          (PropType(tag) != kPtUnicode && PropType(tag) != kPtString8)) {
        return hr::kMapiNotFound;
      }
    }
    *value = found->second;
    return hr::kOk;
  }

  HResult SetProp(const PropValue& value) override {
    mail_->props[value.tag] = value;
    outlook_.calls.push_back(Format(L"SetProp %s %08x", mail_->entryId, value.tag));
    return hr::kOk;
  }

  HResult ReadStream(PropTag tag, std::string* bytes) override {
    auto found = mail_->props.find(tag);
    if (found == mail_->props.end())
      return hr::kMapiNotFound;
    if (PropType(tag) == kPtUnicode) {
      *bytes = WideToUtf16Le(found->second.text);
    } else {
      *bytes = found->second.bytes;
    }
    return hr::kOk;
  }

  HResult GetAttachmentRows(std::vector<AttachmentRow>* rows) override {
    return ReadAttachmentRows(*mail_, rows);
  }

  HResult OpenAttach(int32_t number, std::unique_ptr<MapiAttachment>* attachment) override {
    return OpenSimAttachment(outlook_, mail_, number, attachment);
  }

  HResult SaveChanges(uint32_t flags) override {
    mail_->saveFlags.push_back(flags);
    outlook_.calls.push_back(Format(L"SaveChanges %s %u", mail_->entryId, flags));
    outlook_.Spend(outlook_.saveCostMs);
    if (mail_->saveResults.empty())
      return hr::kOk;
    const HResult result = mail_->saveResults.front();
    mail_->saveResults.erase(mail_->saveResults.begin());
    return result;
  }

 private:
  SimOutlook& outlook_;
  std::shared_ptr<SimMail> mail_;
};

// An attachment's content id is its PR_ATTACH_CONTENT_ID_W; SaveAsFile writes its bytes.
class SimAttachmentPort final : public Attachment {
 public:
  SimAttachmentPort(SimOutlook& outlook, std::shared_ptr<SimMail> mail, size_t index)
      : outlook_(outlook), mail_(std::move(mail)), index_(index) {}
  std::wstring FileName() override { return attachment().fileName; }
  HResult ReadPropStream(PropTag tag, std::string* bytes) override {
    if (tag != kPrAttachContentIdW || attachment().contentId.empty())
      return hr::kMapiNotFound;
    *bytes = WideToUtf16Le(attachment().contentId);
    return hr::kOk;
  }
  HResult SaveAsFile(const std::wstring& path) override {
    outlook_.calls.push_back(Format(L"SaveAsFile %s %s", mail_->entryId, path));
    if (hr::Failed(attachment().saveResult))
      return attachment().saveResult;
    FileError error = kFileOk;
    std::unique_ptr<File> file = files().Open(path, FileOpen::kCreateExclusive, &error);
    if (!file || !file->Write(attachment().bytes.data(), attachment().bytes.size()))
      return hr::kFail;
    return hr::kOk;
  }

 private:
  const SimAttachment& attachment() const { return mail_->attachments[index_]; }

  SimOutlook& outlook_;
  std::shared_ptr<SimMail> mail_;
  size_t index_;
};

class SimMailPort final : public MailItem {
 public:
  SimMailPort(SimOutlook& outlook, std::shared_ptr<SimMail> mail)
      : outlook_(outlook), mail_(std::move(mail)) {}
  int Class() override { return mail_->itemClass; }
  std::wstring EntryId() override { return mail_->entryId; }
  std::wstring Subject() override { return mail_->subject; }
  bool Sent() override { return mail_->sent; }
  int DownloadState() override { return mail_->downloadState; }
  int Size() override { return mail_->size; }
  bool UnRead() override { return mail_->unread; }
  std::wstring SenderEmailAddress() override { return mail_->senderEmailAddress; }
  int InternetCodepage() override { return mail_->internetCodepage; }
  std::shared_ptr<Account> SendUsingAccount() override {
    if (!mail_->account)
      return nullptr;
    return std::make_shared<SimAccountPort>(mail_->account);
  }
  std::shared_ptr<MapiMessage> MapiObject() override {
    return std::make_shared<SimMapiMessage>(outlook_, mail_);
  }
  int AttachmentCount() override { return static_cast<int>(mail_->attachments.size()); }
  std::shared_ptr<Attachment> GetAttachment(int index) override {
    if (index < 1 || static_cast<size_t>(index) > mail_->attachments.size())
      return nullptr;
    return std::make_shared<SimAttachmentPort>(outlook_, mail_, static_cast<size_t>(index - 1));
  }

 private:
  SimOutlook& outlook_;
  std::shared_ptr<SimMail> mail_;
};

class SimItemPort final : public OutlookItem {
 public:
  SimItemPort(SimOutlook& outlook, std::shared_ptr<SimMail> mail)
      : outlook_(outlook), mail_(std::move(mail)) {}
  std::shared_ptr<MailItem> AsMailItem() override {
    if (!mail_->isMailItem)
      return nullptr;
    return std::make_shared<SimMailPort>(outlook_, mail_);
  }

 private:
  SimOutlook& outlook_;
  std::shared_ptr<SimMail> mail_;
};

class SimRow final : public TableRow {
 public:
  explicit SimRow(std::wstring entryId) : entryId_(std::move(entryId)) {}
  std::optional<std::vector<std::optional<std::wstring>>> GetValues() override {
    return std::vector<std::optional<std::wstring>>{entryId_};
  }

 private:
  std::wstring entryId_;
};

// The folder's items as a table with the EntryID column, sorted on ReceivedTime.
class SimTable final : public Table {
 public:
  SimTable(SimOutlook& outlook, std::shared_ptr<SimFolder> folder)
      : outlook_(outlook), rows_(folder->items) {}
  void RemoveAllColumns() override { outlook_.calls.push_back(L"Table.RemoveAll"); }
  void AddColumn(const std::wstring& name) override {
    outlook_.calls.push_back(L"Table.Add " + name);
  }
  void Sort(const std::wstring& column, bool descending) override {
    outlook_.calls.push_back(Format(L"Table.Sort %s %d", column, descending));
    std::stable_sort(rows_.begin(), rows_.end(), [descending](const auto& a, const auto& b) {
      return descending ? a->receivedTime > b->receivedTime : a->receivedTime < b->receivedTime;
    });
  }
  bool EndOfTable() override { return next_ >= rows_.size(); }
  std::shared_ptr<TableRow> GetNextRow() override {
    if (next_ >= rows_.size())
      return nullptr;
    ++outlook_.tableRowsRead;
    outlook_.Spend(outlook_.rowReadCostMs);
    return std::make_shared<SimRow>(rows_[next_++]->entryId);
  }

 private:
  SimOutlook& outlook_;
  std::vector<std::shared_ptr<SimMail>> rows_;
  size_t next_ = 0;
};

class SimStore final : public Store {
 public:
  explicit SimStore(std::optional<int> type) : type_(type) {}
  std::optional<int> ExchangeStoreType() override { return type_; }

 private:
  std::optional<int> type_;
};

class SimFolderPort final : public Folder {
 public:
  SimFolderPort(SimOutlook& outlook, std::shared_ptr<SimFolder> folder)
      : outlook_(outlook), folder_(std::move(folder)) {}
  std::wstring Name() override { return folder_->name; }
  std::wstring EntryId() override { return folder_->entryId; }
  std::shared_ptr<Store> GetStore() override {
    return std::make_shared<SimStore>(folder_->exchangeStoreType);
  }
  std::shared_ptr<Table> GetTable() override {
    return std::make_shared<SimTable>(outlook_, folder_);
  }

 private:
  SimOutlook& outlook_;
  std::shared_ptr<SimFolder> folder_;
};

class SimSelection final : public Selection {
 public:
  SimSelection(SimOutlook& outlook, std::vector<std::shared_ptr<SimMail>> items)
      : outlook_(outlook), items_(std::move(items)) {}
  int Class() override { return kOlSelection; }
  int Count() override { return static_cast<int>(items_.size()); }
  std::shared_ptr<OutlookItem> Item(int index) override {
    if (index < 1 || index > Count())
      return nullptr;
    return std::make_shared<SimItemPort>(outlook_, items_[static_cast<size_t>(index - 1)]);
  }

 private:
  SimOutlook& outlook_;
  std::vector<std::shared_ptr<SimMail>> items_;
};

class SimExplorer final : public Explorer {
 public:
  SimExplorer(SimOutlook& outlook, std::shared_ptr<SimExplorerState> state)
      : outlook_(outlook), state_(std::move(state)) {}
  std::shared_ptr<Folder> CurrentFolder() override {
    if (!state_->currentFolder)
      return nullptr;
    return std::make_shared<SimFolderPort>(outlook_, state_->currentFolder);
  }
  std::shared_ptr<Selection> GetSelection() override {
    return std::make_shared<SimSelection>(outlook_, state_->selection);
  }
  WindowHandle Window() override { return state_->window; }
  const SimExplorerState* state() const { return state_.get(); }

 private:
  SimOutlook& outlook_;
  std::shared_ptr<SimExplorerState> state_;
};

class SimInspector final : public Inspector {
 public:
  SimInspector(SimOutlook& outlook, std::shared_ptr<SimInspectorState> state)
      : outlook_(outlook), state_(std::move(state)) {}
  std::shared_ptr<OutlookItem> CurrentItem() override {
    if (!state_->item)
      return nullptr;
    return std::make_shared<SimItemPort>(outlook_, state_->item);
  }
  uintptr_t Identity() override { return reinterpret_cast<uintptr_t>(state_.get()); }
  const SimInspectorState* state() const { return state_.get(); }

 private:
  SimOutlook& outlook_;
  std::shared_ptr<SimInspectorState> state_;
};

class SimInspectors final : public Inspectors {};

class SimMapiSession final : public MapiSession {
 public:
  explicit SimMapiSession(SimOutlook& outlook) : outlook_(outlook) {}
  HResult OpenEntry(const std::string& entryId, uint32_t flags,
                    std::shared_ptr<MapiMessage>* message) override {
    outlook_.calls.push_back(Format(L"OpenEntry %u", flags));
    std::shared_ptr<SimMail> mail = outlook_.FindMail(Utf8ToWide(entryId));
    if (!mail)
      return hr::kMapiNotFound;
    *message = std::make_shared<SimMapiMessage>(outlook_, mail);
    return hr::kOk;
  }

 private:
  SimOutlook& outlook_;
};

class SimOlkAccountPort final : public OlkAccount {
 public:
  explicit SimOlkAccountPort(SimOlkAccount account) : account_(std::move(account)) {}
  HResult GetProp(PropTag tag, std::wstring* value) override {
    if (tag == kPropInetServer) {
      *value = account_.incomingServer;
      return hr::kOk;
    }
    if (tag == kPropAccountName) {
      *value = account_.name;
      return hr::kOk;
    }
    return hr::kMapiNotFound;
  }

 private:
  SimOlkAccount account_;
};

class SimAccountEnum final : public OlkAccountEnum {
 public:
  explicit SimAccountEnum(std::vector<SimOlkAccount> accounts) : accounts_(std::move(accounts)) {}
  HResult GetCount(uint32_t* count) override {
    *count = static_cast<uint32_t>(accounts_.size());
    return hr::kOk;
  }
  HResult Reset() override {
    next_ = 0;
    return hr::kOk;
  }
  HResult GetNext(std::shared_ptr<OlkAccount>* account) override {
    if (next_ >= accounts_.size())
      return hr::kFail;
    const SimOlkAccount& entry = accounts_[next_++];
    if (entry.isAccount)
      *account = std::make_shared<SimOlkAccountPort>(entry);
    return hr::kOk;
  }

 private:
  std::vector<SimOlkAccount> accounts_;
  size_t next_ = 0;
};

class SimAccountManager final : public OlkAccountManager {
 public:
  explicit SimAccountManager(SimOutlook& outlook) : outlook_(outlook) {}
  HResult Init(std::shared_ptr<OlkAccountHelper> helper, uint32_t flags) override {
    outlook_.calls.push_back(Format(L"AccountManager.Init %u", flags));
    if (outlook_.accountManagerInitFailure != hr::kOk)
      return outlook_.accountManagerInitFailure;
    helper_ = std::move(helper);
    return hr::kOk;
  }
  HResult EnumerateMailAccounts(std::shared_ptr<OlkAccountEnum>* accounts) override {
    if (!helper_)
      return static_cast<HResult>(0x8000FFFF);
    *accounts = std::make_shared<SimAccountEnum>(outlook_.accounts);
    return hr::kOk;
  }
  std::shared_ptr<OlkAccountHelper> helper() const { return helper_; }

 private:
  SimOutlook& outlook_;
  std::shared_ptr<OlkAccountHelper> helper_;
};

}  // namespace

// --- The namespace, the application and the connection argument ------------------------

class SimNamespace final : public OutlookNamespace {
 public:
  explicit SimNamespace(SimOutlook& outlook) : outlook_(outlook) {}
  std::shared_ptr<OutlookItem> GetItemFromId(const std::wstring& entryId,
                                             HResult* result) override {
    outlook_.Spend(outlook_.itemLookupCostMs);
    std::shared_ptr<SimMail> mail = outlook_.FindMail(entryId);
    if (!mail) {
      *result = hr::kMapiNotFound;
      return nullptr;
    }
    *result = hr::kOk;
    return std::make_shared<SimItemPort>(outlook_, mail);
  }
  std::shared_ptr<Folder> GetDefaultFolder(int folderType) override {
    if (folderType != kOlFolderOutbox || !outlook_.outbox)
      return nullptr;
    return std::make_shared<SimFolderPort>(outlook_, outlook_.outbox);
  }
  std::shared_ptr<MapiSession> MapiObject() override {
    if (!outlook_.namespaceHasMapiSession)
      return nullptr;
    return std::make_shared<SimMapiSession>(outlook_);
  }
  std::wstring CurrentProfileName() override { return outlook_.profileName; }

 private:
  SimOutlook& outlook_;
};

class SimApplication final : public OutlookApplication {
 public:
  explicit SimApplication(SimOutlook& outlook) : outlook_(outlook) {}
  std::wstring Version() override { return outlook_.version; }
  std::shared_ptr<OutlookNamespace> GetNamespace(const std::wstring& type,
                                                 HResult* result) override {
    if (outlook_.getNamespaceFailure != hr::kOk || type != L"MAPI") {
      *result =
          outlook_.getNamespaceFailure != hr::kOk ? outlook_.getNamespaceFailure : hr::kInvalidArg;
      return nullptr;
    }
    *result = hr::kOk;
    return std::make_shared<SimNamespace>(outlook_);
  }
  std::shared_ptr<Explorer> ActiveExplorer() override {
    if (!outlook_.activeExplorer)
      return nullptr;
    return std::make_shared<SimExplorer>(outlook_, outlook_.activeExplorer);
  }
  std::shared_ptr<Inspectors> GetInspectors() override { return outlook_.inspectors_; }
  WindowHandle ActiveWindow() override { return outlook_.activeWindow; }
  std::shared_ptr<Inspector> ActiveInspector() override {
    if (!outlook_.activeInspector)
      return nullptr;
    return std::make_shared<SimInspector>(outlook_, outlook_.activeInspector);
  }

 private:
  SimOutlook& outlook_;
};

namespace {
class SimConnectionArgument final : public ConnectionArgument {
 public:
  explicit SimConnectionArgument(SimOutlook& outlook) : outlook_(outlook) {}
  HResult ResolveApplication(std::shared_ptr<OutlookApplication>* application,
                             Step* failedStep) override {
    if (outlook_.failResolveAt) {
      *failedStep = *outlook_.failResolveAt;
      return outlook_.resolveFailure;
    }
    *application = outlook_.Application();
    return hr::kOk;
  }

 private:
  SimOutlook& outlook_;
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
      : outlook_(outlook), id_(id), handler_(handler) {}
  ~SimEventSink() override {
    if (connection_)
      Drop();
  }

  HResult Advise(EventSource& source) override {
    if (connection_)
      return hr::kFail;
    const void* key = SourceKey(source);
    if (key == nullptr)
      return kNoConnection;
    connection_ = std::make_unique<SimOutlook::Connection>(
        SimOutlook::Connection{id_, key, &handler_, outlook_.nextCookie_++});
    outlook_.connections_.push_back(connection_.get());
    outlook_.calls.push_back(Format(L"Advise %d %s", static_cast<int>(id_), SinkName(id_)));
    return hr::kOk;
  }

  HResult Unadvise() override {
    if (!connection_) {
      outlook_.calls.push_back(
          Format(L"Unadvise %d %s failed", static_cast<int>(id_), SinkName(id_)));
      return kNoConnection;
    }
    Drop();
    outlook_.calls.push_back(Format(L"Unadvise %d %s", static_cast<int>(id_), SinkName(id_)));
    return hr::kOk;
  }

  uint32_t Cookie() const override { return connection_ ? connection_->cookie : kNotAdvisedCookie; }

 private:
  // Which simulated object a port object stands for, when it is the right one for this sink.
  const void* SourceKey(EventSource& source) const {
    switch (id_) {
      case EventSinkId::kApplication:
        return dynamic_cast<SimApplication*>(&source) ? &outlook_ : nullptr;
      case EventSinkId::kExplorer:
        if (auto* explorer = dynamic_cast<SimExplorer*>(&source))
          return explorer->state();
        return nullptr;
      case EventSinkId::kInspectors:
        return dynamic_cast<SimInspectors*>(&source) ? outlook_.inspectors_.get() : nullptr;
    }
    return nullptr;
  }

  void Drop() {
    auto& list = outlook_.connections_;
    list.erase(std::remove(list.begin(), list.end(), connection_.get()), list.end());
    connection_.reset();
  }

  SimOutlook& outlook_;
  EventSinkId id_;
  OutlookEventHandler& handler_;
  std::unique_ptr<SimOutlook::Connection> connection_;
};

struct SimOutlook::InspectorConnection {
  const SimInspectorState* source;
  InspectorEventHandler* handler;
  uint32_t cookie;
};

class SimInspectorSink final : public EventSink {
 public:
  SimInspectorSink(SimOutlook& outlook, InspectorEventHandler& handler)
      : outlook_(outlook), handler_(handler) {}
  ~SimInspectorSink() override {
    if (connection_)
      Drop();
  }

  HResult Advise(EventSource& source) override {
    if (connection_)
      return hr::kFail;
    auto* inspector = dynamic_cast<SimInspector*>(&source);
    if (inspector == nullptr)
      return kNoConnection;
    connection_ = std::make_unique<SimOutlook::InspectorConnection>(
        SimOutlook::InspectorConnection{inspector->state(), &handler_, outlook_.nextCookie_++});
    outlook_.inspectorConnections_.push_back(connection_.get());
    outlook_.calls.push_back(L"Advise Inspector");
    return hr::kOk;
  }

  HResult Unadvise() override {
    if (!connection_)
      return kNoConnection;
    Drop();
    outlook_.calls.push_back(L"Unadvise Inspector");
    return hr::kOk;
  }

  uint32_t Cookie() const override { return connection_ ? connection_->cookie : kNotAdvisedCookie; }

 private:
  void Drop() {
    auto& list = outlook_.inspectorConnections_;
    list.erase(std::remove(list.begin(), list.end(), connection_.get()), list.end());
    connection_.reset();
  }

  SimOutlook& outlook_;
  InspectorEventHandler& handler_;
  std::unique_ptr<SimOutlook::InspectorConnection> connection_;
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

SimOutlook::SimOutlook() : inspectors_(std::make_shared<SimInspectors>()) {
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
  if (!application_)
    application_ = std::make_shared<SimApplication>(*this);
  return application_;
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
  mailById_[stored->entryId] = stored;
  return stored;
}

std::shared_ptr<SimMail> SimOutlook::FindMail(const std::wstring& entryId) const {
  auto found = mailById_.find(entryId);
  return found == mailById_.end() ? nullptr : found->second;
}

std::shared_ptr<SimInspectorState> SimOutlook::OpenInspector(std::shared_ptr<SimMail> mail) {
  auto state = std::make_shared<SimInspectorState>();
  state->item = std::move(mail);
  return state;
}

template <class Call>
void SimOutlook::Raise(EventSinkId id, const void* source, Call call) {
  // A handler may unadvise sinks (Quit does): call only those still advised.
  const std::vector<Connection*> snapshot = connections_;
  for (Connection* connection : snapshot) {
    if (std::find(connections_.begin(), connections_.end(), connection) == connections_.end()) {
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
  Raise(EventSinkId::kInspectors, inspectors_.get(), [&](OutlookEventHandler& handler) {
    handler.NewInspector(std::make_shared<SimInspector>(*this, inspector));
  });
}

void SimOutlook::RaiseInspectorClose(const std::shared_ptr<SimInspectorState>& inspector) {
  // A handler unadvises its own sink: call only those still advised.
  const std::vector<InspectorConnection*> snapshot = inspectorConnections_;
  for (InspectorConnection* connection : snapshot) {
    const auto& live = inspectorConnections_;
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
  return connections_.size();
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
