// A run of the add-in on a simulated Outlook over the real posix platform: its own data
// folder, the simulated host installed for the run, and a mailbox of .eml files loaded.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "branding/branding_decision.h"
#include "host/host.h"
#include "host/sim/mailbox_loader.h"
#include "host/sim/mailbox_manifest.h"
#include "host/sim/sim_host.h"
#include "host/sim/sim_outlook_windows.h"

namespace tp::tool {

class Simulation {
 public:
  // root: an existing folder, where the data folder ("LocalLow/Tidepost") and the temporary
  // folder go. crypto: the message crypto to verify signatures with, when not the platform's.
  explicit Simulation(const std::filesystem::path& root, host::MessageCrypto* crypto = nullptr);

  host::sim::SimHost& sim() { return *m_sim; }
  host::WindowHandle explorer_window() const { return m_explorerWindow; }
  // The explorer's reading pane (made with the mailbox).
  const host::sim::SimMessageWindows& reading_pane() const { return m_readingPane; }
  // What the mailbox's manifest says the user does once the mail is in.
  const std::vector<host::sim::SessionStep>& session() const { return m_session; }
  std::filesystem::path DataFolder() const { return m_root / "LocalLow" / "Tidepost"; }
  std::filesystem::path LogPath() const;
  // Makes the data folder, one level at a time below the root.
  void MakeDataFolder() const;

  // Loads the mailbox in `dir`; the message files it could not read are listed in
  // *unreadable and the others loaded. False with the reason in *error when the mailbox itself
  // cannot be read.
  bool LoadMailbox(const std::filesystem::path& dir,
                   std::vector<host::sim::UnreadableFile>* unreadable, std::wstring* error);

  struct Message {
    std::wstring name;  // "Folder/file.eml"
    std::shared_ptr<host::sim::SimFolder> folder;
    std::shared_ptr<host::sim::SimMail> mail;
  };
  // The received messages: every folder's items but the Outbox's, in folder order.
  std::vector<Message> ReceivedMessages() const;

 private:
  std::filesystem::path m_root;
  std::unique_ptr<host::sim::SimHost> m_sim;
  std::unique_ptr<host::ScopedHost> m_installed;
  host::WindowHandle m_explorerWindow = 0;
  host::sim::SimMessageWindows m_readingPane;
  std::vector<host::sim::SessionStep> m_session;
};

// Entry ids of loaded messages are the hexadecimal UTF-8 of "Folder/file": that name, or the
// entry id itself when it is not one.
std::wstring NameOfEntryId(const std::wstring& entryId);

// Why the add-in branded a message or did not, in one line: the decision's reason, after
// what it made of a branded class it found and, when asked, the verdicts it left out.
std::wstring DecisionReason(const BrandingDecision& decision, bool withIgnoredVerdicts);

// Reads a whole file as bytes; false when it cannot be read.
bool ReadFile(const std::filesystem::path& path, std::string* bytes);
// Writes a whole file; false when it cannot be written.
bool WriteFile(const std::filesystem::path& path, const std::string& bytes);

}  // namespace tp::tool
