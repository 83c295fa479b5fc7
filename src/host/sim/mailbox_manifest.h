// The manifest of a simulated mailbox ("mailbox.ini"): the receiving accounts, which folders
// each account received, and which folder is the Outbox.
//
//   # comment lines start with '#' or ';'
//   [mailbox]
//   outbox = Outbox          folder that is Outlook's Outbox (default Outbox)
//   explorer = Inbox         folder the explorer shows (default Inbox, else the first one)
//   profile = Outlook        profile name (default: the simulated Outlook's)
//
//   [account]                one section per account, in the account manager's order
//   address = jane@gmail.com SMTP address (required)
//   type = imap              exchange, imap, pop3 or http (required)
//   server = imap.gmail.com  incoming server name (required unless exchange)
//   name = jane@gmail.com    account name in the account manager (default: the address)
//   display = Jane           DisplayName (default: the address)
//   folders = Inbox, News    folders whose mail this account received; folders no account
//                            names belong to the first account
//   object = yes             no: Outlook gives no account object for its mail
//
//   [session]                what the user does once the mail is in, step by step (keys
//                            repeat, in order):
//   select = Folder/file.eml selects the message, switching to its folder first
//   switch = Folder          switches the explorer to the folder
//   open = Folder/file.eml   opens the message in its own window (an inspector)
//   close = Folder/file.eml  closes that window
//   zoom = in                Ctrl with the keypad's plus (in) or minus (out) in the browser
//                            in view, then a turn of the wheel the same way
//   helper = cancel          the browser helper object asks for Outlook's view (cancel) or
//                            for the active content again (activate)
//
// Keys before the first section belong to [mailbox]. Values run to the end of the line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tp::host::sim {

inline constexpr wchar_t kMailboxManifestName[] = L"mailbox.ini";

struct MailboxAccount {
  std::wstring address;
  int accountType = 1;  // Outlook's AccountType: 0 Exchange, 1 IMAP, 2 POP3, 3 HTTP
  std::wstring server;
  std::wstring name;
  std::wstring displayName;
  std::vector<std::wstring> folders;
  bool accountObject = true;
};

struct SessionStep {
  std::wstring action;    // select, switch, open, close, zoom or helper
  std::wstring argument;  // as written
  int line = 0;
};

struct MailboxManifest {
  std::wstring outbox = L"Outbox";
  std::wstring explorerFolder;  // empty: Inbox when there is one, else the first folder
  std::wstring profile;         // empty: leave the profile name as it is
  std::vector<MailboxAccount> accounts;
  std::vector<SessionStep> session;
};

// False with "line N: ..." (or a whole-file reason) in *error when the text is not a valid
// manifest.
[[nodiscard]] bool ParseMailboxManifest(std::wstring_view text, MailboxManifest* manifest,
                                        std::wstring* error);

}  // namespace tp::host::sim
