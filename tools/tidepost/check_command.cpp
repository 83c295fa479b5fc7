// tidepost check: the branding decision for single messages received by one account, step
// by step: the sender the decision goes by (From read one way), the receiving provider, the
// layout its verdicts were read in, the four verdicts and the ones left out (and why), the
// matched brand, the decision with the add-in's own reason, the new message class, and the
// active-content pointer.
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "addin/connect.h"
#include "arguments.h"
#include "base/text.h"
#include "branding/account_info.h"
#include "branding/active_content.h"
#include "branding/auth_headers.h"
#include "branding/branding_decision.h"
#include "commands.h"
#include "host/mapi.h"
#include "platform/configuration.h"
#include "platform/log.h"
#include "run_folder.h"
#include "simulation.h"
#include "smime_tool.h"

namespace tp::tool {
namespace {

std::string Narrow(const std::wstring& text) {
  return WideToUtf8(text);
}

std::string OrDash(const std::wstring& text) {
  return text.empty() ? "-" : Narrow(text);
}

// The provider's layout the verdicts were read in, and where its part ends.
std::string DescribeLayout(const AuthHeaderResult& verdict) {
  if (verdict.layout.empty())
    return "none recognised";
  return Narrow(verdict.layout) + ", inbound hop on line " + std::to_string(verdict.inboundLine);
}

std::wstring TextProp(const host::sim::SimMail& mail, host::PropTag tag) {
  auto found = mail.props.find(tag);
  return found == mail.props.end() ? std::wstring() : found->second.text;
}

// A mailbox of one account, in the existing folder `dir`, holding copies of the messages;
// *originals maps each copy's file name to the file it copies.
bool MakeMailbox(const std::filesystem::path& dir, const std::string& address,
                 const std::string& type, const std::string& server,
                 const std::vector<std::string>& files,
                 std::map<std::string, std::string>* originals) {
  std::ofstream manifest(dir / "mailbox.ini");
  manifest << "[account]\naddress = " << address << "\ntype = " << type << "\nserver = " << server
           << "\n";
  if (!manifest)
    return false;
  for (size_t i = 0; i < files.size(); ++i) {
    const std::filesystem::path source(files[i]);
    const std::string copy = std::to_string(1000 + i) + "-" + source.filename().string();
    std::error_code failure;
    std::filesystem::copy_file(source, dir / copy, failure);
    if (failure) {
      std::fprintf(stderr, "tidepost: cannot read %s: %s\n", files[i].c_str(),
                   failure.message().c_str());
      return false;
    }
    (*originals)[copy] = files[i];
  }
  return true;
}

// The decision for one message, step by step: From as sent and as the decision reads it,
// the receiving provider, the verdicts and those left out, the signature, the brand, and the
// outcome with its reason.
void PrintDecision(const Simulation::Message& message, host::MailItem& item,
                   const BrandingDecision& decision, bool branded) {
  const MessageEvidence& read = decision.evidence;
  std::printf("%s\n", Narrow(message.name).c_str());
  std::string from = OrDash(message.mail->senderEmailAddress);
  if (!message.mail->senderProblem.empty())
    from += " (" + Narrow(message.mail->senderProblem) + ")";
  std::printf("  from:      %s\n", from.c_str());
  std::string decidedBy = Narrow(read.sender.address);
  if (decidedBy.empty()) {
    decidedBy = "- (" +
                (read.sender.refusal.empty() ? "no reason given" : Narrow(read.sender.refusal)) +
                ")";
  }
  std::printf("  sender:    %s\n", decidedBy.c_str());
  std::wstring provider;
  GetProviderName(read.accountType, read.mailProvider, &provider);
  std::printf("  provider:  %s (%s), account %s\n", OrDash(read.mailProvider).c_str(),
              OrDash(provider).c_str(), OrDash(read.accountAddress).c_str());
  // The verdicts as the provider wrote them, also where the decision did not need them.
  const AuthHeaderResult verdict =
      decision.verdicts ? *decision.verdicts
                        : AnalyzeAuthHeaders(read.mailProvider, read.transportHeaders);
  std::printf("  layout:    %s\n", DescribeLayout(verdict).c_str());
  std::printf("  SPF:       %s %s\n", OrDash(verdict.spfResult).c_str(),
              OrDash(verdict.spfDomain).c_str());
  std::printf("  DKIM:      %s %s\n", OrDash(verdict.dkimResult).c_str(),
              OrDash(verdict.dkimDomain).c_str());
  for (const std::wstring& note : verdict.ignored)
    std::printf("  ignored:   %s\n", Narrow(note).c_str());
  // On Exchange a signature stands in for the provider's verdicts.
  if (read.accountType == host::kOlExchangeAccount && item.MapiObject())
    std::printf("  S/MIME:    %s\n", DescribeMessageSignature(*item.MapiObject()).c_str());
  std::printf("  brand:     %s\n", OrDash(decision.brandName).c_str());
  std::printf("  decision:  %s: %s\n", branded ? "branded" : "not branded",
              Narrow(DecisionReason(decision, false)).c_str());
}

// The messages as one account received them, with the senders list given in the add-in's
// cache. 0, or the exit code when they cannot be had; each file that cannot be read is
// reported and left out.
int LoadTheMessages(const Options& options, RunFolder& folder, Simulation& run,
                    std::vector<host::sim::UnreadableFile>* unreadable) {
  const std::string address = *options.Value("--account");
  const std::string domain = address.substr(address.rfind('@') + 1);
  const std::string server = options.Value("--server").value_or("imap." + domain);
  const std::filesystem::path mailbox = folder.MakeSubfolder("mailbox");
  std::map<std::string, std::string> originals;
  if (!MakeMailbox(mailbox, address, options.Value("--type").value_or("imap"), server,
                   options.operands(), &originals)) {
    return 66;
  }
  run.MakeDataFolder();
  std::error_code failure;
  std::filesystem::copy_file(*options.Value("--senders"), run.DataFolder() / "sendersList.xml",
                             failure);
  if (failure) {
    std::fprintf(stderr, "tidepost: cannot read %s\n", options.Value("--senders")->c_str());
    return 66;
  }
  std::wstring error;
  if (!run.LoadMailbox(mailbox, unreadable, &error)) {
    std::fprintf(stderr, "tidepost: %s\n", Narrow(error).c_str());
    return 65;
  }
  for (const host::sim::UnreadableFile& file : *unreadable) {
    const std::string copy = std::filesystem::path(Narrow(file.path)).filename().string();
    std::fprintf(stderr, "tidepost: %s: %s\n", originals[copy].c_str(),
                 Narrow(file.reason).c_str());
  }
  return 0;
}

// The add-in connected without a network: the senders list is the one given, read from its
// cache. When it gives no branded sender, what the add-in logged says why (the run's folder
// goes when the command ends).
void ConnectOffline(Simulation& run, std::optional<CConnect>* addin) {
  config::ServiceEndpoints closed;
  closed.apiHost = closed.statsHost = L"127.0.0.1";
  closed.apiPort = closed.statsPort = 9;
  config::SetServices(closed);
  AddinOptions quiet;
  quiet.sendersList.firstDelayMs = quiet.senderIcons.firstDelayMs = 24 * 3600 * 1000;
  std::vector<std::wstring> startLines;
  bool connected = false;
  {
    ScopedLogObserver observer(
        [&startLines](std::wstring_view line) { startLines.emplace_back(line); });
    addin->emplace(std::move(quiet));
    connected = hr::Succeeded((*addin)->OnConnection(*run.sim().outlook.ConnectionArgumentFor()));
  }
  if (!connected || (*addin)->branding_list().senders().empty()) {
    std::fprintf(stderr,
                 "tidepost: the senders list gave no branded senders; the add-in logged:\n");
    for (const std::wstring& line : startLines)
      std::fprintf(stderr, "  %s\n", Narrow(line).c_str());
  }
}

// One message: the decision step by step, its class before and after, its active content.
void CheckMessage(Simulation& run, const Simulation::Message& message, CConnect& addin) {
  auto item = run.sim().outlook.MailItemFor(message.mail);
  const std::wstring before = TextProp(*message.mail, host::kPrMessageClassW);
  const bool branded = addin.BrandMailItem(*item, false);
  PrintDecision(message, *item, *addin.last_decision(), branded);
  std::printf("  class:     %s -> %s\n", OrDash(before).c_str(),
              OrDash(TextProp(*message.mail, host::kPrMessageClassW)).c_str());
  std::wstring body;
  GetMessageBodyText(item.get(), &body, false);
  const ActiveContentPointer pointer = FindActiveContentPointer(body);
  std::printf("  active content: %s\n",
              pointer.found ? (Narrow(pointer.pointer) +
                               (pointer.messageMode ? " (in the message)" : " (elsewhere)"))
                                  .c_str()
                            : "none");
}

}  // namespace

int CheckCommand(const Arguments& arguments) {
  Options options;
  if (!options.Parse(arguments, {"--account", "--senders", "--type", "--server", "--trust"}, {}) ||
      !options.Value("--account") || !options.Value("--senders") || options.operands().empty()) {
    std::fprintf(stderr,
                 "usage: tidepost check --account ADDRESS --senders SENDERSLIST.xml "
                 "[--type imap|pop3|http|exchange] [--server INCOMING-SERVER] "
                 "[--trust CERTIFICATES.pem]... MESSAGE.eml...\n");
    return 64;
  }
  std::unique_ptr<host::MessageCrypto> crypto;
  if (!MakeTrustingCrypto(options, &crypto))
    return 66;
  std::string problem;
  const std::unique_ptr<RunFolder> folder = RunFolder::Create("check", &problem);
  if (!folder) {
    std::fprintf(stderr, "tidepost: %s\n", problem.c_str());
    return 73;
  }
  Simulation run(folder->MakeSubfolder("run"), crypto.get());
  std::vector<host::sim::UnreadableFile> unreadable;
  if (const int failed = LoadTheMessages(options, *folder, run, &unreadable))
    return failed;
  std::optional<CConnect> addin;
  ConnectOffline(run, &addin);
  for (const Simulation::Message& message : run.ReceivedMessages())
    CheckMessage(run, message, *addin);
  addin->OnQuit();
  return unreadable.empty() ? 0 : 65;
}

}  // namespace tp::tool
