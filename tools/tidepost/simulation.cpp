// A run of the add-in on a simulated Outlook.
#include "simulation.h"

#include <fstream>
#include <sstream>

#include "base/format.h"
#include "base/text.h"
#include "branding/message_class.h"
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

Simulation::Simulation(const std::filesystem::path& root, host::MessageCrypto* crypto)
    : m_root(root) {
  m_sim = std::make_unique<host::sim::SimHost>(Utf8ToWide(m_root.string()));
  host::Host simulated = m_sim->host();
  if (crypto != nullptr)
    simulated.crypto = crypto;
  m_installed = std::make_unique<host::ScopedHost>(simulated);
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
  m_explorerWindow = m_sim->ui.CreateWindow(L"rctrl_renwnd32");
  m_readingPane = host::sim::BuildReadingPane(m_sim->windows, m_explorerWindow);
  m_sim->outlook.activeWindow = m_explorerWindow;
  return host::sim::LoadMailbox(Utf8ToWide(dir.string()), m_sim->outlook, m_explorerWindow,
                                unreadable, error, &m_session);
}

std::vector<Simulation::Message> Simulation::ReceivedMessages() const {
  std::vector<Message> messages;
  for (const auto& folder : m_sim->outlook.folders) {
    if (folder == m_sim->outlook.outbox)
      continue;
    for (const auto& mail : folder->items) {
      messages.push_back(Message{NameOfEntryId(mail->entryId), folder, mail});
    }
  }
  return messages;
}

std::wstring DecisionReason(const BrandingDecision& decision, bool withIgnoredVerdicts) {
  std::wstring reason;
  const auto add = [&reason](const std::wstring& part) {
    reason += (reason.empty() ? L"" : L"; ") + part;
  };
  const MessageEvidence& read = decision.evidence;
  if (IsBrandedClass(read.messageClass))
    add(L"Message class name is already branded - " + read.messageClass);
  if (withIgnoredVerdicts && decision.verdicts) {
    for (const std::wstring& note : decision.verdicts->ignored)
      add(L"Verdict ignored: " + note);
  }
  add(DescribeBrandingReason(decision));
  if (decision.outcome == BrandingOutcome::kRestoreClass)
    add(L"its class is restored to " + decision.newClass);
  return reason;
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
