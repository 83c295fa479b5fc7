// A run of the add-in on a simulated Outlook.
#include "simulation.h"

#include <chrono>
#include <fstream>
#include <sstream>

#include "host/sim/mailbox_loader.h"
#include "support/log.h"
#include "support/text.h"

namespace tp::tool {
std::wstring NameOfEntryId(const std::wstring& entryId) {
  std::string bytes;
  for (size_t i = 0; i + 1 < entryId.size(); i += 2) {
    const int high = HexDigitValue(entryId[i]);
    const int low = HexDigitValue(entryId[i + 1]);
    if (high < 0 || low < 0)
      return entryId;
    bytes += static_cast<char>(high * 16 + low);
  }
  return Utf8ToWide(bytes);
}

Simulation::Simulation(const std::filesystem::path& root, host::MessageCrypto* crypto)
    : root_(root) {
  std::filesystem::create_directories(root_);
  sim_ = std::make_unique<host::sim::SimHost>(Utf8ToWide(root_.string()));
  host::Host simulated = sim_->host();
  if (crypto != nullptr)
    simulated.crypto = crypto;
  installed_ = std::make_unique<host::ScopedHost>(simulated);
}

std::filesystem::path Simulation::LogPath() const {
  return DataFolder() / WideToUtf8(kLogFileName);
}

bool Simulation::LoadMailbox(const std::filesystem::path& dir, std::wstring* error) {
  explorerWindow_ = sim_->ui.CreateWindow(L"rctrl_renwnd32");
  readingPane_ = host::sim::BuildReadingPane(sim_->windows, explorerWindow_);
  sim_->outlook.activeWindow = explorerWindow_;
  return host::sim::LoadMailbox(Utf8ToWide(dir.string()), sim_->outlook, explorerWindow_, error,
                                &session_);
}

std::vector<Simulation::Message> Simulation::ReceivedMessages() const {
  std::vector<Message> messages;
  for (const auto& folder : sim_->outlook.folders) {
    if (folder == sim_->outlook.outbox)
      continue;
    for (const auto& mail : folder->items) {
      messages.push_back(Message{NameOfEntryId(mail->entryId), folder, mail});
    }
  }
  return messages;
}

std::wstring DecisionReason(const std::vector<std::wstring>& lines) {
  static const wchar_t* const kBookkeeping[] = {
      L"Message item account is",
      L"Account mail provider",
      L"Sender address for branding check",
      L"Found sender in branding list",
      L"Header analysis result",
      L"In RegisterFormRegion",
      L"Registering new form region",
      L"Should not check branding for this message",
      L"Done saving item",
      L"Checking branding",
  };
  std::wstring reason;
  for (const std::wstring& line : lines) {
    bool bookkeeping = false;
    for (const wchar_t* prefix : kBookkeeping) {
      bookkeeping = bookkeeping || line.rfind(prefix, 0) == 0;
    }
    if (bookkeeping)
      continue;
    if (!reason.empty())
      reason += L"; ";
    reason += line;
  }
  return reason;
}

std::filesystem::path NewRunFolder(const char* purpose) {
  const auto stamp = std::chrono::system_clock::now().time_since_epoch().count();
  return std::filesystem::temp_directory_path() /
         (std::string("tidepost-") + purpose + "-" + std::to_string(stamp));
}

bool ReadFile(const std::filesystem::path& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return false;
  std::ostringstream content;
  content << in.rdbuf();
  *bytes = content.str();
  return true;
}

}  // namespace tp::tool
