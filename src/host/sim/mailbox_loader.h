// A mailbox folder loaded into a simulated Outlook: "mailbox.ini" (see mailbox_manifest.h)
// names the receiving accounts; .eml files directly in the folder are the Inbox, each
// subfolder's .eml files a folder of that name, and the manifest's outbox folder holds
// messages being sent.
#pragma once

#include <string>
#include <vector>

#include "host/sim/mailbox_manifest.h"
#include "host/sim/sim_outlook.h"
#include "host/ui.h"

namespace tp::host::sim {

// A message file that was left out of the mailbox, and why.
struct UnreadableFile {
  std::wstring path;
  std::wstring reason;
};

// Sets up a fresh SimOutlook from the mailbox in `dir`: its folders and mail items (each
// with its receiving account as SendUsingAccount and in PR_RECEIVED_BY_ADDRTYPE_W /
// PR_RECEIVED_BY_EMAIL_ADDRESS_W), the Outbox, the account manager's accounts, the profile
// name, and an active explorer on the chosen folder whose window is `explorerWindow` (a
// window the caller made on its simulated UI thread; 0 for none). Outbox items are unsent
// and carry no transport headers. A message file that cannot be read (or is not a mail
// message) is left out and listed in *unreadable, in folder order; the others are loaded.
// False with the reason in *error when the manifest or a folder cannot be read; the
// SimOutlook may then be partly set up.
// The manifest's session steps go to *session when given, each naming a loaded message (or a
// folder, for switch).
[[nodiscard]] bool LoadMailbox(const std::wstring& dir, SimOutlook& outlook,
                               WindowHandle explorerWindow, std::vector<UnreadableFile>* unreadable,
                               std::wstring* error, std::vector<SessionStep>* session = nullptr);

}  // namespace tp::host::sim
