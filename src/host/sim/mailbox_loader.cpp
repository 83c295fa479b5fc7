// Loading a mailbox folder into the simulated Outlook.
#include "host/sim/mailbox_loader.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "base/format.h"
#include "base/text.h"
#include "host/sim/eml_reader.h"
#include "host/sim/mailbox_manifest.h"
#include "host/sim/native_path.h"

namespace tp::host::sim {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kInboxName[] = L"Inbox";

struct FolderSource {
  std::wstring name;
  std::vector<fs::path> files;
};

bool IsEml(const fs::path& path) {
  return EqualsIgnoreAsciiCase(PathText(path.extension()), L".eml");
}

bool IsHidden(const fs::path& path) {
  const std::wstring name = PathText(path.filename());
  return !name.empty() && name.front() == L'.';
}

// Sorted paths of the .eml files directly in `dir`.
std::vector<fs::path> EmlFiles(const fs::path& dir) {
  std::vector<fs::path> files;
  std::error_code ignored;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir, ignored)) {
    if (entry.is_regular_file(ignored) && IsEml(entry.path()) && !IsHidden(entry.path())) {
      files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The Inbox (top-level files and an "Inbox" subfolder) first, then the other subfolders by
// name.
bool FindFolders(const fs::path& root, std::vector<FolderSource>* folders, std::wstring* error) {
  std::error_code failure;
  std::vector<fs::path> subfolders;
  for (const fs::directory_entry& entry : fs::directory_iterator(root, failure)) {
    if (entry.is_directory(failure) && !IsHidden(entry.path()))
      subfolders.push_back(entry.path());
  }
  if (failure) {
    *error = Format(L"%s: %s", PathText(root), Utf8ToWide(failure.message()));
    return false;
  }
  std::sort(subfolders.begin(), subfolders.end());
  FolderSource inbox{kInboxName, EmlFiles(root)};
  for (const fs::path& subfolder : subfolders) {
    const std::wstring name = PathText(subfolder.filename());
    if (EqualsIgnoreCase(name, kInboxName)) {
      std::vector<fs::path> files = EmlFiles(subfolder);
      inbox.files.insert(inbox.files.end(), files.begin(), files.end());
    } else {
      folders->push_back(FolderSource{name, EmlFiles(subfolder)});
    }
  }
  if (!inbox.files.empty() || folders->empty())
    folders->insert(folders->begin(), inbox);
  return true;
}

const FolderSource* FindSource(const std::vector<FolderSource>& folders, const std::wstring& name) {
  for (const FolderSource& folder : folders) {
    if (EqualsIgnoreCase(folder.name, name))
      return &folder;
  }
  return nullptr;
}

// The X.500 address Exchange gives a mailbox, from its SMTP address.
std::wstring ExchangeAddress(const std::wstring& smtpAddress) {
  const std::wstring local = smtpAddress.substr(0, smtpAddress.find(L'@'));
  return L"/o=First Organization/ou=Exchange Administrative Group (FYDIBOHF23SPDLT)"
         L"/cn=Recipients/cn=" +
         local;
}

bool ReadManifest(const fs::path& root, MailboxManifest* manifest, std::wstring* error) {
  const fs::path path = root / NativePath(kMailboxManifestName);
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) {
    *error = Format(L"%s: cannot open the mailbox manifest", PathText(path));
    return false;
  }
  std::ostringstream bytes;
  bytes << in.rdbuf();
  std::wstring problem;
  if (!ParseMailboxManifest(Utf8ToWide(bytes.str()), manifest, &problem)) {
    *error = Format(L"%s: %s", PathText(path), problem);
    return false;
  }
  return true;
}

// Which account received the mail of each folder (by lower-case folder name): the one naming
// it, else the first. False, with `error` set, when an account names a folder that is missing.
bool MapFoldersToAccounts(const MailboxManifest& manifest, const std::vector<FolderSource>& folders,
                          const std::wstring& manifestPath,
                          std::map<std::wstring, size_t>* accountOfFolder, std::wstring* error) {
  for (size_t index = 0; index < manifest.accounts.size(); ++index) {
    for (const std::wstring& name : manifest.accounts[index].folders) {
      // The Outbox exists even when no message waits in it.
      if (FindSource(folders, name) == nullptr && !EqualsIgnoreCase(name, manifest.outbox)) {
        *error = Format(L"%s: folder \"%s\" of account %s does not exist", manifestPath, name,
                        manifest.accounts[index].address);
        return false;
      }
      (*accountOfFolder)[ToLower(name)] = index;
    }
  }
  return true;
}

// Adds the manifest's accounts and profile to Outlook; returns the account object of each
// account, empty for one that has none.
std::vector<std::shared_ptr<SimAccount>> AddAccounts(const MailboxManifest& manifest,
                                                     SimOutlook& outlook) {
  std::vector<std::shared_ptr<SimAccount>> accounts;
  for (const MailboxAccount& account : manifest.accounts) {
    auto simAccount = std::make_shared<SimAccount>();
    simAccount->accountType = account.accountType;
    simAccount->smtpAddress = account.address;
    simAccount->displayName = account.displayName;
    accounts.push_back(account.accountObject ? simAccount : nullptr);
    outlook.accounts.push_back(SimOlkAccount{account.name, account.server});
  }
  if (!manifest.profile.empty())
    outlook.profileName = manifest.profile;
  outlook.outbox->name = manifest.outbox;
  return accounts;
}

// Gives a read message what delivery to `account` would have given it.
void MarkDelivery(const MailboxAccount& account, bool isOutbox, SimMail& mail) {
  if (isOutbox) {
    // A message being sent was composed here: it has no transport headers yet.
    mail.sent = false;
    mail.unread = false;
    mail.props.erase(kPrTransportMessageHeadersW);
  } else if (account.accountType == kOlExchangeAccount) {
    mail.SetProp(kPrReceivedByAddrTypeW, L"EX");
    mail.SetProp(kPrReceivedByEmailAddressW, ExchangeAddress(account.address));
  } else {
    mail.SetProp(kPrReceivedByAddrTypeW, L"SMTP");
    mail.SetProp(kPrReceivedByEmailAddressW, account.address);
  }
}

using LoadedFolders = std::vector<std::pair<std::wstring, std::shared_ptr<SimFolder>>>;

// Reads every folder's files into Outlook. A file that cannot be read is listed in
// `unreadable` and its entry ID in `unreadableIds`.
LoadedFolders LoadFolders(const std::vector<FolderSource>& folders, const MailboxManifest& manifest,
                          const std::map<std::wstring, size_t>& accountOfFolder,
                          const std::vector<std::shared_ptr<SimAccount>>& accounts,
                          SimOutlook& outlook, std::vector<UnreadableFile>* unreadable,
                          std::set<std::wstring>* unreadableIds) {
  LoadedFolders loaded;
  for (const FolderSource& source : folders) {
    const bool isOutbox = EqualsIgnoreCase(source.name, manifest.outbox);
    std::shared_ptr<SimFolder> folder = isOutbox ? outlook.outbox : outlook.AddFolder(source.name);
    const auto owner = accountOfFolder.find(ToLower(source.name));
    const size_t accountIndex = owner == accountOfFolder.end() ? 0 : owner->second;
    for (const fs::path& file : source.files) {
      SimMail mail;
      std::wstring problem;
      const std::wstring entryId = EntryIdForName(source.name + L"/" + PathText(file.filename()));
      if (!ReadEmlFile(file, &mail, &problem)) {
        unreadable->push_back(UnreadableFile{PathText(file), problem});
        unreadableIds->insert(entryId);
        continue;
      }
      mail.entryId = entryId;
      mail.account = accounts[accountIndex];
      MarkDelivery(manifest.accounts[accountIndex], isOutbox, mail);
      outlook.AddMail(*folder, std::move(mail));
    }
    loaded.emplace_back(source.name, folder);
  }
  return loaded;
}

// The folder the explorer shows: the one the manifest names, else the Inbox, else the first
// folder other than the Outbox.
std::shared_ptr<SimFolder> ShownFolder(const LoadedFolders& loaded, const MailboxManifest& manifest,
                                       const std::shared_ptr<SimFolder>& outbox) {
  std::shared_ptr<SimFolder> shown;
  const std::wstring wanted =
      manifest.explorerFolder.empty() ? std::wstring(kInboxName) : manifest.explorerFolder;
  for (const auto& [name, folder] : loaded) {
    if (EqualsIgnoreCase(name, wanted))
      shown = folder;
  }
  for (const auto& [name, folder] : loaded) {
    if (!shown && folder != outbox)
      shown = folder;
  }
  return shown;
}

// False, with `error` set, when a session step names a folder or message the mailbox lacks or
// a message that could not be read.
bool CheckSession(const MailboxManifest& manifest, const std::vector<FolderSource>& folders,
                  const SimOutlook& outlook, const std::set<std::wstring>& unreadableIds,
                  const std::wstring& manifestPath, std::wstring* error) {
  for (const SessionStep& step : manifest.session) {
    const bool namesFolder = step.action == L"switch";
    const bool namesMessage =
        step.action == L"select" || step.action == L"open" || step.action == L"close";
    if (namesMessage && unreadableIds.count(EntryIdForName(step.argument)) != 0) {
      *error = Format(L"%s: line %d: message \"%s\" cannot be read", manifestPath, step.line,
                      step.argument);
      return false;
    }
    if ((namesFolder && FindSource(folders, step.argument) == nullptr) ||
        (namesMessage && !outlook.FindMail(EntryIdForName(step.argument)))) {
      *error = Format(L"%s: line %d: no %s \"%s\" in the mailbox", manifestPath, step.line,
                      namesFolder ? L"folder" : L"message", step.argument);
      return false;
    }
  }
  return true;
}

}  // namespace

bool LoadMailbox(const std::wstring& dir, SimOutlook& outlook, WindowHandle explorerWindow,
                 std::vector<UnreadableFile>* unreadable, std::wstring* error,
                 std::vector<SessionStep>* session) {
  const fs::path root = NativePath(dir);
  const std::wstring manifestPath = PathText(root / NativePath(kMailboxManifestName));
  MailboxManifest manifest;
  if (!ReadManifest(root, &manifest, error))
    return false;
  std::vector<FolderSource> folders;
  if (!FindFolders(root, &folders, error))
    return false;
  std::map<std::wstring, size_t> accountOfFolder;
  if (!MapFoldersToAccounts(manifest, folders, manifestPath, &accountOfFolder, error))
    return false;
  if (!manifest.explorerFolder.empty() && FindSource(folders, manifest.explorerFolder) == nullptr) {
    *error =
        Format(L"%s: explorer folder \"%s\" does not exist", manifestPath, manifest.explorerFolder);
    return false;
  }

  const std::vector<std::shared_ptr<SimAccount>> accounts = AddAccounts(manifest, outlook);
  std::set<std::wstring> unreadableIds;
  const LoadedFolders loaded = LoadFolders(folders, manifest, accountOfFolder, accounts, outlook,
                                           unreadable, &unreadableIds);

  outlook.activeExplorer = std::make_shared<SimExplorerState>();
  outlook.activeExplorer->currentFolder = ShownFolder(loaded, manifest, outlook.outbox);
  outlook.activeExplorer->window = explorerWindow;

  if (!CheckSession(manifest, folders, outlook, unreadableIds, manifestPath, error))
    return false;
  if (session != nullptr)
    *session = manifest.session;
  return true;
}

}  // namespace tp::host::sim
