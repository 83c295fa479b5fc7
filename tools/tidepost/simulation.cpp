// A run of the add-in on a simulated Outlook.
#include "simulation.h"

#include <fstream>
#include <sstream>

#include "base/format.h"
#include "base/text.h"
#include "host/sim/mailbox_loader.h"
#include "platform/log.h"

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

namespace {

bool StartsWith(const std::wstring& line, std::wstring_view prefix) {
  return line.rfind(prefix, 0) == 0;
}

bool AnyStartsWith(const std::vector<std::wstring>& lines, std::wstring_view prefix) {
  for (const std::wstring& line : lines) {
    if (StartsWith(line, prefix))
      return true;
  }
  return false;
}

// A reason for a decision whose log lines give none.
std::wstring UnloggedReason(const std::vector<std::wstring>& lines,
                            const host::sim::SimMail& mail) {
  if (lines.empty())
    return L"the add-in logged nothing for this message";
  // The provider was to be checked, but no sender domain was looked up.
  if (AnyStartsWith(lines, L"Account mail provider") &&
      !AnyStartsWith(lines, L"Sender address for branding check")) {
    if (mail.senderEmailAddress.empty()) {
      return mail.senderProblem.empty() ? L"the message has no sender address"
                                        : L"no sender address: " + mail.senderProblem;
    }
    return Format(L"the sender address \"%s\" has no domain", mail.senderEmailAddress);
  }
  return L"the add-in logged no reason; its last step: " + lines.back();
}

}  // namespace

Simulation::Simulation(const std::filesystem::path& root, host::MessageCrypto* crypto)
    : root_(root) {
  sim_ = std::make_unique<host::sim::SimHost>(Utf8ToWide(root_.string()));
  host::Host simulated = sim_->host();
  if (crypto != nullptr)
    simulated.crypto = crypto;
  installed_ = std::make_unique<host::ScopedHost>(simulated);
}

std::filesystem::path Simulation::LogPath() const {
  return DataFolder() / WideToUtf8(kLogFileName);
}

void Simulation::MakeDataFolder() const {
  std::filesystem::create_directory(DataFolder().parent_path());
  std::filesystem::create_directory(DataFolder());
}

bool Simulation::LoadMailbox(const std::filesystem::path& dir,
                             std::vector<host::sim::UnreadableFile>* unreadable,
                             std::wstring* error) {
  explorerWindow_ = sim_->ui.CreateWindow(L"rctrl_renwnd32");
  readingPane_ = host::sim::BuildReadingPane(sim_->windows, explorerWindow_);
  sim_->outlook.activeWindow = explorerWindow_;
  return host::sim::LoadMailbox(Utf8ToWide(dir.string()), sim_->outlook, explorerWindow_,
                                unreadable, error, &session_);
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

std::wstring DecisionReason(const std::vector<std::wstring>& lines,
                            const host::sim::SimMail& mail) {
  static constexpr std::wstring_view kBookkeeping[] = {
      L"Message item account is",
      L"Account mail provider",
      L"Sender address for branding check",
      L"Found sender in branding list",
      L"Header analysis result",
      L"Header layout",
      L"In RegisterFormRegion",
      L"Registering new form region",
      L"Should not check branding for this message",
      L"Done saving item",
      L"Checking branding",
  };
  std::wstring reason;
  for (const std::wstring& line : lines) {
    bool bookkeeping = false;
    for (std::wstring_view prefix : kBookkeeping)
      bookkeeping = bookkeeping || StartsWith(line, prefix);
    if (bookkeeping)
      continue;
    if (!reason.empty())
      reason += L"; ";
    reason += line;
  }
  return reason.empty() ? UnloggedReason(lines, mail) : reason;
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

bool WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  return static_cast<bool>(out.flush());
}

}  // namespace tp::tool
