// Parsing mailbox.ini.
#include "host/sim/mailbox_manifest.h"

#include <algorithm>
#include <optional>
#include <set>

#include "base/format.h"
#include "base/text.h"

namespace tp::host::sim {
namespace {

enum class Section { kMailbox, kAccount, kSession };

struct AccountDraft {
  MailboxAccount account;
  int line = 0;
  bool hasType = false;
  std::set<std::wstring> keys;
};

std::optional<int> AccountTypeNamed(std::wstring_view name) {
  const std::wstring lower = ToLowerAscii(name);
  if (lower == L"exchange")
    return 0;
  if (lower == L"imap")
    return 1;
  if (lower == L"pop3")
    return 2;
  if (lower == L"http")
    return 3;
  return std::nullopt;
}

std::optional<bool> YesNo(std::wstring_view value) {
  const std::wstring lower = ToLowerAscii(value);
  if (lower == L"yes" || lower == L"true")
    return true;
  if (lower == L"no" || lower == L"false")
    return false;
  return std::nullopt;
}

class ManifestParser {
 public:
  explicit ManifestParser(MailboxManifest& manifest) : m_manifest(manifest) {}

  bool Parse(std::wstring_view text, std::wstring* error) {
    if (!text.empty() && text.front() == L'\uFEFF')
      text.remove_prefix(1);
    size_t start = 0;
    int number = 0;
    while (start <= text.size()) {
      const size_t end = std::min(text.find(L'\n', start), text.size());
      ++number;
      const std::wstring_view line = Trim(text.substr(start, end - start));
      start = end + 1;
      if (line.empty() || line.front() == L'#' || line.front() == L';')
        continue;
      const std::wstring problem = ParseLine(line, number);
      if (!problem.empty()) {
        *error = Format(L"line %d: %s", number, problem);
        return false;
      }
    }
    return Finish(error);
  }

 private:
  std::wstring ParseLine(std::wstring_view line, int number) {
    if (line.front() == L'[') {
      if (line.back() != L']')
        return L"a section header must end with ']'";
      const std::wstring name = ToLowerAscii(Trim(line.substr(1, line.size() - 2)));
      if (name == L"mailbox") {
        m_section = Section::kMailbox;
      } else if (name == L"account") {
        m_section = Section::kAccount;
        m_accounts.emplace_back();
        m_accounts.back().line = number;
      } else if (name == L"session") {
        m_section = Section::kSession;
      } else {
        return Format(L"unknown section [%s] (expected [mailbox], [account] or [session])", name);
      }
      return {};
    }
    const size_t equals = line.find(L'=');
    if (equals == std::wstring_view::npos)
      return L"expected key = value";
    const std::wstring key = ToLowerAscii(Trim(line.substr(0, equals)));
    const std::wstring value(Trim(line.substr(equals + 1)));
    if (key.empty())
      return L"a key is missing before '='";
    if (m_section == Section::kSession)
      return SessionKey(key, value, number);
    std::set<std::wstring>& seen =
        m_section == Section::kMailbox ? m_mailboxKeys : m_accounts.back().keys;
    if (!seen.insert(key).second)
      return Format(L"\"%s\" is given twice in this section", key);
    return m_section == Section::kMailbox ? MailboxKey(key, value)
                                          : AccountKey(m_accounts.back(), key, value);
  }

  std::wstring MailboxKey(const std::wstring& key, const std::wstring& value) {
    if (key == L"outbox") {
      if (value.empty())
        return L"outbox needs a folder name";
      m_manifest.outbox = value;
    } else if (key == L"explorer") {
      m_manifest.explorerFolder = value;
    } else if (key == L"profile") {
      m_manifest.profile = value;
    } else {
      return Format(L"unknown key \"%s\" in [mailbox] (expected outbox, explorer or profile)", key);
    }
    return {};
  }

  std::wstring AccountKey(AccountDraft& draft, const std::wstring& key, const std::wstring& value) {
    MailboxAccount& account = draft.account;
    if (key == L"address") {
      account.address = value;
    } else if (key == L"type") {
      const std::optional<int> type = AccountTypeNamed(value);
      if (!type)
        return Format(L"unknown account type \"%s\" (expected exchange, imap, pop3 or http)",
                      value);
      account.accountType = *type;
      draft.hasType = true;
    } else if (key == L"server") {
      account.server = value;
    } else if (key == L"name") {
      account.name = value;
    } else if (key == L"display") {
      account.displayName = value;
    } else if (key == L"folders") {
      for (const std::wstring& part : SplitSkippingEmpty(value, L',')) {
        const std::wstring folder(Trim(part));
        if (folder.empty())
          continue;
        if (folder.find_first_of(L"/\\") != std::wstring::npos) {
          return Format(L"folder \"%s\" must be a plain folder name", folder);
        }
        account.folders.push_back(folder);
      }
    } else if (key == L"object") {
      const std::optional<bool> flag = YesNo(value);
      if (!flag)
        return Format(L"object must be yes or no, not \"%s\"", value);
      account.accountObject = *flag;
    } else {
      return Format(
          L"unknown key \"%s\" in [account] (expected address, type, server, name, display, "
          L"folders or object)",
          key);
    }
    return {};
  }

  std::wstring SessionKey(const std::wstring& key, const std::wstring& value, int number) {
    static const std::set<std::wstring> kActions = {L"select", L"switch", L"open",
                                                    L"close",  L"zoom",   L"helper"};
    if (kActions.count(key) == 0) {
      return Format(
          L"unknown step \"%s\" in [session] (expected select, switch, open, close, zoom or "
          L"helper)",
          key);
    }
    if (value.empty())
      return Format(L"%s needs a value", key);
    if (key == L"zoom" && value != L"in" && value != L"out")
      return Format(L"zoom is in or out, not \"%s\"", value);
    if (key == L"helper" && value != L"cancel" && value != L"activate")
      return Format(L"helper is cancel or activate, not \"%s\"", value);
    m_manifest.session.push_back(SessionStep{key, value, number});
    return {};
  }

  bool Finish(std::wstring* error) {
    if (m_accounts.empty()) {
      *error = L"no [account] section: the mailbox needs a receiving account";
      return false;
    }
    std::set<std::wstring> claimed;
    for (AccountDraft& draft : m_accounts) {
      MailboxAccount& account = draft.account;
      std::wstring missing;
      if (account.address.empty()) {
        missing = L"address";
      } else if (!draft.hasType) {
        missing = L"type";
      } else if (account.server.empty() && account.accountType != 0) {
        missing = L"server";
      }
      if (!missing.empty()) {
        *error = Format(L"line %d: the [account] has no %s", draft.line, missing);
        return false;
      }
      for (const std::wstring& folder : account.folders) {
        if (!claimed.insert(ToLower(folder)).second) {
          *error = Format(L"line %d: folder \"%s\" belongs to two accounts", draft.line, folder);
          return false;
        }
      }
      if (account.name.empty())
        account.name = account.address;
      if (account.displayName.empty())
        account.displayName = account.address;
      m_manifest.accounts.push_back(std::move(account));
    }
    return true;
  }

  MailboxManifest& m_manifest;
  Section m_section = Section::kMailbox;
  std::set<std::wstring> m_mailboxKeys;
  std::vector<AccountDraft> m_accounts;
};

}  // namespace

bool ParseMailboxManifest(std::wstring_view text, MailboxManifest* manifest, std::wstring* error) {
  MailboxManifest result;
  ManifestParser parser(result);
  if (!parser.Parse(text, error))
    return false;
  *manifest = std::move(result);
  return true;
}

}  // namespace tp::host::sim
