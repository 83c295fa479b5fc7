// A run of the add-in on a simulated Outlook over the real posix platform: its own data
// folder, the simulated host installed for the run, and a mailbox of .eml files loaded.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/sim/sim_host.h"

namespace tp::tool {

class Simulation {
 public:
  // root: where the data folder ("LocalLow/Tidepost") and the temporary folder go.
  explicit Simulation(const std::filesystem::path& root);

  host::sim::SimHost& sim() { return *sim_; }
  host::WindowHandle explorer_window() const { return explorerWindow_; }
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
};

// From the log lines of one branding decision, those that say why it went the way it did
// (the look-up and save bookkeeping left out), joined by "; ".
std::wstring DecisionReason(const std::vector<std::wstring>& lines);

// A fresh folder for a run's data under the system's temporary folder.
std::filesystem::path NewRunFolder(const char* purpose);

// Reads a whole file as bytes; false when it cannot be read.
bool ReadFile(const std::filesystem::path& path, std::string* bytes);

}  // namespace tp::tool
