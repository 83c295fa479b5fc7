// A run of the add-in on a simulated Outlook over the real posix platform: its own data
// folder, the simulated host installed for the run, and a mailbox of .eml files loaded.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/sim/mailbox_manifest.h"
#include "host/sim/sim_host.h"
#include "host/sim/sim_outlook_windows.h"

namespace tp::tool {

class Simulation {
 public:
  // root: where the data folder ("LocalLow/Tidepost") and the temporary folder go. crypto:
  // the message crypto to verify signatures with, when not the platform's.
  explicit Simulation(const std::filesystem::path& root, host::MessageCrypto* crypto = nullptr);

  host::sim::SimHost& sim() { return *sim_; }
  host::WindowHandle explorer_window() const { return explorerWindow_; }
  // The explorer's reading pane (made with the mailbox).
  const host::sim::SimMessageWindows& reading_pane() const { return readingPane_; }
  // What the mailbox's manifest says the user does once the mail is in.
  const std::vector<host::sim::SessionStep>& session() const { return session_; }
  std::filesystem::path DataFolder() const { return root_ / "LocalLow" / "Tidepost"; }
  std::filesystem::path LogPath() const;

  bool LoadMailbox(const std::filesystem::path& dir, std::wstring* error);

  struct Message {
    std::wstring name;  // "Folder/file.eml"
    std::shared_ptr<host::sim::SimFolder> folder;
    std::shared_ptr<host::sim::SimMail> mail;
  };
  // The received messages: every folder's items but the Outbox's, in folder order.
  std::vector<Message> ReceivedMessages() const;

 private:
  std::filesystem::path root_;
  std::unique_ptr<host::sim::SimHost> sim_;
  std::unique_ptr<host::ScopedHost> installed_;
  host::WindowHandle explorerWindow_ = 0;
  host::sim::SimMessageWindows readingPane_;
  std::vector<host::sim::SessionStep> session_;
};

// Entry ids of loaded messages are the hexadecimal UTF-8 of "Folder/file": that name, or the
// entry id itself when it is not one.
std::wstring NameOfEntryId(const std::wstring& entryId);

// From the log lines of one branding decision, those that say why it went the way it did
// (the look-up and save bookkeeping left out), joined by "; ".
std::wstring DecisionReason(const std::vector<std::wstring>& lines);

// A fresh folder for a run's data under the system's temporary folder.
std::filesystem::path NewRunFolder(const char* purpose);

// Reads a whole file as bytes; false when it cannot be read.
bool ReadFile(const std::filesystem::path& path, std::string* bytes);

}  // namespace tp::tool
