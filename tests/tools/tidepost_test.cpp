// tidepost check and tidepost run end to end on the bundled examples: every example message
// must get the decision examples/README.md gives for it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "base/text.h"
#include "branding/branding_decision.h"
#include "commands.h"
#include "host/sim/sim_outlook.h"
#include "simulation.h"
#include "support/test_host.h"

namespace tp {
namespace {

using ::testing::HasSubstr;

const std::filesystem::path kExamples = std::filesystem::path(TP_SOURCE_DIR) / "examples";

// Each example message and what the add-in decides for it: the branded class, or the
// reason it gives.
const std::map<std::string, std::string> kExpected = {
    {"Gmail/01-acme-dkim-pass.eml", "branded as IPM.Note.Tidepost.Acme Travel"},
    {"Gmail/02-kestrel-active-content.eml", "branded as IPM.Note.Tidepost.Kestrel Bank"},
    {"Gmail/03-acme-esp-signer.eml", "branded as IPM.Note.Tidepost.Acme Travel"},
    {"Gmail/04-kestrel-foreign-signer.eml", "not branded: DKIM is OK but not the DKIM signer"},
    {"Gmail/05-acme-not-google.eml",
     "not branded: Verdict ignored: Authentication-Results names the server "
     "\"mx.mailrelay.example\", not Gmail's; Failed SPF\\DKIM check"},
    {"Gmail/06-blueheron-inline-image.eml", "branded as IPM.Note.Tidepost.Blue Heron Books"},
    {"Gmail/07-unlisted-sender.eml", "not branded: Sender not found in branding list"},
    {"Gmail/08-lumen-signed.eml",
     "branded as IPM.Note.SMIME.MultipartSigned.Tidepost.Lumen Energy.SMIME.MultipartSigned"},
    {"Hotmail/01-acme-dkim-pass.eml", "branded as IPM.Note.Tidepost.Acme Travel"},
    {"Hotmail/02-blueheron-spf-only.eml", "branded as IPM.Note.Tidepost.Blue Heron Books"},
    {"Hotmail/03-kestrel-spf-not-allowed.eml", "not branded: Failed SPF\\DKIM check"},
    {"Hotmail/04-lumen-xauth-pass.eml", "branded as IPM.Note.Tidepost.Lumen Energy"},
    {"Hotmail/05-acme-softfail-spoof.eml", "not branded: Failed SPF\\DKIM check"},
    {"Hotmail/06-acme-exchange-online.eml", "branded as IPM.Note.Tidepost.Acme Travel"},
    {"Hotmail/07-kestrel-forged-hop.eml",
     "not branded: Verdict ignored: the Received line 22 names a server of Outlook.com's below "
     "Outlook.com's inbound hop on line 16: the sender's text, which extends nothing; Verdict "
     "ignored: Authentication-Results on line 19 lies outside the part of the block that "
     "Outlook.com wrote; Failed SPF\\DKIM check"},
    {"Yahoo/01-acme-dkim-pass.eml", "branded as IPM.Note.Tidepost.Acme Travel"},
    {"Yahoo/02-blueheron-domainkeys.eml", "branded as IPM.Note.Tidepost.Blue Heron Books"},
    {"Yahoo/03-kestrel-softfail.eml", "not branded: Failed SPF\\DKIM check"},
    {"Yahoo/04-lumen-sidebar-content.eml", "branded as IPM.Note.Tidepost.Lumen Energy"},
    {"Yahoo/05-kestrel-atlas.eml", "branded as IPM.Note.Tidepost.Kestrel Bank"},
    {"AOL/01-acme-dkim-pass.eml", "branded as IPM.Note.Tidepost.Acme Travel"},
    {"AOL/02-kestrel-no-verdicts.eml", "not branded: Failed SPF\\DKIM check"},
    {"AOL/03-blueheron-atlas-spf.eml", "branded as IPM.Note.Tidepost.Blue Heron Books"},
    {"Exchange/01-acme-on-exchange.eml",
     "not branded: Should not check a message from an exchange account"},
    {"Exchange/02-internal-memo.eml",
     "not branded: Should not check a message from an exchange account"},
};

int RunTool(int (*command)(const tool::Arguments&), const tool::Arguments& arguments,
            std::string* output) {
  ::testing::internal::CaptureStdout();
  const int status = command(arguments);
  *output = ::testing::internal::GetCapturedStdout();
  return status;
}

// The value of "  name: value" lines of each message block of tidepost check's output.
std::map<std::string, std::map<std::string, std::string>> Blocks(const std::string& output) {
  std::map<std::string, std::map<std::string, std::string>> blocks;
  std::istringstream lines(output);
  std::string line;
  std::string current;
  while (std::getline(lines, line)) {
    if (line.rfind("  ", 0) != 0) {
      // "Inbox/1000-01-acme-dkim-pass.eml": the copy's name after its order prefix.
      current = line.substr(line.find('-') + 1);
      continue;
    }
    const size_t colon = line.find(':');
    std::string value = line.substr(colon + 1);
    value.erase(0, value.find_first_not_of(' '));
    // A name given on several lines ("ignored") keeps them all, joined by " | ".
    std::string& kept = blocks[current][line.substr(2, colon - 2)];
    kept += (kept.empty() ? "" : " | ") + value;
  }
  return blocks;
}

TEST(TidepostCheckTest, GmailMessagesStepByStep) {
  const std::filesystem::path gmail = kExamples / "mailbox" / "Gmail";
  std::string output;
  ASSERT_EQ(
      RunTool(tool::CheckCommand,
              {"--account", "jane.sample@gmail.com", "--server", "imap.gmail.com", "--senders",
               (kExamples / "sendersList.xml").string(), (gmail / "01-acme-dkim-pass.eml").string(),
               (gmail / "02-kestrel-active-content.eml").string(),
               (gmail / "04-kestrel-foreign-signer.eml").string()},
              &output),
      0);
  const auto blocks = Blocks(output);
  const auto& pass = blocks.at("01-acme-dkim-pass.eml");
  EXPECT_EQ(pass.at("provider"), "@gmail.com (gmail), account jane.sample@gmail.com");
  EXPECT_EQ(pass.at("SPF"), "pass acmetravel.example");
  EXPECT_EQ(pass.at("DKIM"), "pass acmetravel.example");
  EXPECT_EQ(pass.at("brand"), "Acme Travel");
  EXPECT_THAT(pass.at("decision"),
              HasSubstr("branded: Branding message for sender Acme Travel SPF=pass"));
  EXPECT_EQ(pass.at("class"), "IPM.Note -> IPM.Note.Tidepost.Acme Travel");
  EXPECT_EQ(pass.at("active content"), "none");
  EXPECT_THAT(blocks.at("02-kestrel-active-content.eml").at("active content"),
              HasSubstr("res=https://content.kestrelbank.example/statement/8841;pos=message"));
  EXPECT_EQ(blocks.at("04-kestrel-foreign-signer.eml").at("decision"),
            "not branded: DKIM is OK but not the DKIM signer");
}

// Today's layouts name themselves, and a verdict left out says why on a line of its own.
TEST(TidepostCheckTest, TodaysLayoutsAndTheVerdictsLeftOut) {
  const std::filesystem::path hotmail = kExamples / "mailbox" / "Hotmail";
  std::string output;
  ASSERT_EQ(RunTool(tool::CheckCommand,
                    {"--account", "sam.sample@hotmail.com", "--server", "pop-mail.outlook.com",
                     "--type", "pop3", "--senders", (kExamples / "sendersList.xml").string(),
                     (hotmail / "06-acme-exchange-online.eml").string(),
                     (hotmail / "07-kestrel-forged-hop.eml").string(),
                     (hotmail / "01-acme-dkim-pass.eml").string()},
                    &output),
            0);
  const auto blocks = Blocks(output);
  const auto& today = blocks.at("06-acme-exchange-online.eml");
  EXPECT_EQ(today.at("layout"), "Outlook.com (Exchange Online), inbound hop on line 23");
  EXPECT_EQ(today.at("DKIM"), "pass acmetravel.example");
  EXPECT_EQ(today.count("ignored"), 0u);
  const auto& forged = blocks.at("07-kestrel-forged-hop.eml");
  EXPECT_EQ(forged.at("ignored"),
            "the Received line 22 names a server of Outlook.com's below Outlook.com's inbound "
            "hop on line 16: the sender's text, which extends nothing | Authentication-Results "
            "on line 19 lies outside the part of the block that Outlook.com wrote");
  EXPECT_EQ(forged.at("SPF"), "fail kestrelbank.example");
  // The reasons are not repeated in the decision.
  EXPECT_EQ(forged.at("decision"), "not branded: Failed SPF\\DKIM check");
  EXPECT_EQ(blocks.at("01-acme-dkim-pass.eml").at("layout"),
            "Hotmail (before Exchange Online), inbound hop on line 9");
}

TEST(TidepostCheckTest, AnExchangeAccountIsNeverChecked) {
  std::string output;
  ASSERT_EQ(RunTool(tool::CheckCommand,
                    {"--account", "alex.sample@harborworks.example", "--type", "exchange",
                     "--senders", (kExamples / "sendersList.xml").string(),
                     (kExamples / "mailbox" / "Exchange" / "01-acme-on-exchange.eml").string()},
                    &output),
            0);
  const auto blocks = Blocks(output);
  const auto& block = blocks.at("01-acme-on-exchange.eml");
  EXPECT_EQ(block.at("provider"), "- (exchange), account @harborworks.example");
  EXPECT_EQ(block.at("decision"),
            "not branded: Should not check a message from an exchange account");
}

TEST(TidepostCheckTest, AMissingMessageFileIsAnError) {
  std::string output;
  EXPECT_EQ(RunTool(tool::CheckCommand,
                    {"--account", "a@gmail.com", "--senders",
                     (kExamples / "sendersList.xml").string(), "/nonexistent/message.eml"},
                    &output),
            66);
  EXPECT_EQ(RunTool(tool::CheckCommand, {"--account", "a@gmail.com"}, &output), 64);
}

// The line of tidepost run's display section that starts with "  " and then `step`.
std::string StepLine(const std::string& output, const std::string& step) {
  const size_t section = output.find("\nDisplay (");
  if (section == std::string::npos)
    return {};
  const size_t at = output.find("\n  " + step + " ", section);
  if (at == std::string::npos)
    return {};
  return output.substr(at + 1, output.find('\n', at + 1) - at - 1);
}

const std::filesystem::path kRealMail =
    std::filesystem::path(TP_SOURCE_DIR) / "tests/data/realmail";

// Copies a message of the real-mail set into a folder; returns the copy's path.
std::string CopyRealMail(const std::filesystem::path& folder, const std::string& name) {
  const std::filesystem::path copy = folder / std::filesystem::path(name).filename();
  std::filesystem::copy_file(kRealMail / name, copy);
  return copy.string();
}

TEST(TidepostCheckTest, RealWorldSendersUnreadableFilesAndReasons) {
  testing::TempFolder messages;
  const std::string spaced = CopyRealMail(messages.path(), "addresses/01-space-in-angle.eml");
  const std::string glued = CopyRealMail(messages.path(), "addresses/13-two-bare-addresses.eml");
  const std::string blankFirst = CopyRealMail(messages.path(), "headers/01-leading-blank-line.eml");
  const std::string group = CopyRealMail(messages.path(), "addresses/06-group-from.eml");
  const std::string broken = (messages.path() / "broken.eml").string();
  testing::WriteFileBytes(broken, "\x89PNG\r\n\x1A\n");
  std::string output;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(
      RunTool(tool::CheckCommand,
              {"--account", "jane.sample@gmail.com", "--server", "imap.gmail.com", "--senders",
               (kExamples / "sendersList.xml").string(), spaced, broken, glued, blankFirst, group},
              &output),
      65);
  const std::string errors = ::testing::internal::GetCapturedStderr();
  EXPECT_THAT(errors, HasSubstr("tidepost: " + broken +
                                ": no header field at the start: not a mail message"));
  const auto blocks = Blocks(output);
  EXPECT_EQ(blocks.count("broken.eml"), 0u);
  // White space in the angle address is not part of the address: the brand is found.
  EXPECT_EQ(blocks.at("01-space-in-angle.eml").at("from"), "deals@acmetravel.example");
  EXPECT_EQ(blocks.at("01-space-in-angle.eml").at("class"),
            "IPM.Note -> IPM.Note.Tidepost.Acme Travel");
  // Two addresses are not glued into one: no sender, and the decision says why.
  EXPECT_EQ(blocks.at("13-two-bare-addresses.eml").at("from"),
            "- (the From field holds no readable mailbox: two addresses without a comma between "
            "them)");
  EXPECT_EQ(blocks.at("13-two-bare-addresses.eml").at("decision"),
            "not branded: From field refused for branding: the From field is not a readable "
            "address list (two addresses without a comma between them)");
  EXPECT_EQ(blocks.at("01-leading-blank-line.eml").at("decision"),
            "not branded: Sender not found in branding list");
  // The sender the decision goes by, and the reason when From can be read more than one way.
  EXPECT_EQ(blocks.at("01-space-in-angle.eml").at("sender"), "deals@acmetravel.example");
  EXPECT_EQ(blocks.at("06-group-from.eml").at("sender"),
            "- (From field refused for branding: the From field holds a group)");
  EXPECT_EQ(blocks.at("06-group-from.eml").at("decision"),
            "not branded: From field refused for branding: the From field holds a group");
}

// The one-line reason: what became of a branded class, the verdicts left out when asked
// for, and a reason even where the sender could not be read.
TEST(TidepostDecisionTest, EveryDecisionHasAReason) {
  BrandingDecision restored;
  restored.evidence.messageClass = L"IPM.Note.Tidepost.Acme";
  restored.outcome = BrandingOutcome::kRestoreClass;
  restored.reason = BrandingReason::kNoPass;
  restored.newClass = L"IPM.Note";
  restored.verdicts.emplace().ignored = {L"a forged hop"};
  EXPECT_EQ(tool::DecisionReason(restored, false),
            L"Message class name is already branded - IPM.Note.Tidepost.Acme; Failed "
            L"SPF\\DKIM check; its class is restored to IPM.Note");
  EXPECT_EQ(tool::DecisionReason(restored, true),
            L"Message class name is already branded - IPM.Note.Tidepost.Acme; Verdict ignored: "
            L"a forged hop; Failed SPF\\DKIM check; its class is restored to IPM.Note");

  BrandingDecision noSender;
  noSender.reason = BrandingReason::kNoSender;
  EXPECT_EQ(tool::DecisionReason(noSender, true), L"The message names no sender address");
  noSender.evidence.sender.address = L"postmaster";
  EXPECT_EQ(tool::DecisionReason(noSender, true),
            L"The sender address \"postmaster\" has no domain");
  noSender.evidence.sender.refusal =
      L"From field refused for branding: the message has 2 From "
      L"fields";
  EXPECT_EQ(tool::DecisionReason(noSender, true), noSender.evidence.sender.refusal);
}

TEST(TidepostRunTest, AMailboxOfOtherPeoplesMailIsRunWhole) {
  testing::TempFolder mailbox;
  testing::WriteFileBytes(mailbox.path() / "mailbox.ini",
                          "[account]\naddress = jane.sample@gmail.com\ntype = imap\n"
                          "server = imap.gmail.com\n");
  CopyRealMail(mailbox.path(), "addresses/01-space-in-angle.eml");
  CopyRealMail(mailbox.path(), "addresses/13-two-bare-addresses.eml");
  CopyRealMail(mailbox.path(), "headers/02-leading-white-space-lines.eml");
  testing::WriteFileBytes(mailbox.path() / "empty-body.eml",
                          "From: news@harborweekly.example\r\nSubject: Empty\r\n\r\n");
  testing::WriteFileBytes(mailbox.path() / "zz-broken.eml", "");
  std::string output;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(RunTool(tool::RunCommand,
                    {"--mailbox", mailbox.path().string(), "--senders",
                     (kExamples / "sendersList.xml").string()},
                    &output),
            65);
  const std::string errors = ::testing::internal::GetCapturedStderr();
  EXPECT_THAT(errors, HasSubstr("zz-broken.eml: the file is empty"));
  EXPECT_THAT(output, HasSubstr("4 received messages"));
  EXPECT_THAT(output, HasSubstr("Unreadable files, left out:"));
  std::istringstream lines(output);
  std::map<std::string, std::string> decisions;
  std::string line;
  while (std::getline(lines, line)) {
    const size_t at = line.find(" not branded: ");
    if (line.find(" branded as ") != std::string::npos || at != std::string::npos) {
      decisions[line.substr(2, line.find(' ', 2) - 2)] = line;
    }
    if (at != std::string::npos) {
      EXPECT_GT(line.size(), at + 14) << line;
    }
  }
  ASSERT_EQ(decisions.size(), 4u) << output;
  EXPECT_THAT(decisions.at("Inbox/01-space-in-angle.eml"),
              HasSubstr("branded as IPM.Note.Tidepost.Acme Travel"));
  EXPECT_THAT(decisions.at("Inbox/13-two-bare-addresses.eml"),
              HasSubstr("not branded: From field refused for branding: the From field is not "
                        "a readable address list (two addresses without a comma between "
                        "them)"));
  EXPECT_THAT(decisions.at("Inbox/02-leading-white-space-lines.eml"),
              HasSubstr("not branded: Sender not found in branding list"));
  // Its view check stops at the empty body; the decision of the new-mail scan stands.
  EXPECT_THAT(decisions.at("Inbox/empty-body.eml"),
              HasSubstr("not branded: Sender not found in branding list"));
}

TEST(TidepostRunTest, TheExampleMailboxGetsItsDecisionsIconsAndStatistics) {
  testing::TempFolder data;
  testing::TempFolder pages;
  std::string output;
  ASSERT_EQ(RunTool(tool::RunCommand,
                    {"--mailbox", (kExamples / "mailbox").string(), "--senders",
                     (kExamples / "sendersList.xml").string(), "--data", data.path().string(),
                     "--pages", pages.path().string()},
                    &output),
            0);
  for (const auto& [message, decision] : kExpected) {
    EXPECT_THAT(output, HasSubstr(message)) << message;
    const size_t at = output.find(message);
    const std::string line = output.substr(at, output.find('\n', at) - at);
    EXPECT_THAT(line, HasSubstr(decision)) << line;
  }
  EXPECT_THAT(output, HasSubstr("senders list requests: 1"));
  EXPECT_THAT(output, HasSubstr("icon requests: 4"));
  EXPECT_THAT(output, HasSubstr("1 plugin_startup"));
  for (const char* brand : {"Acme Travel", "Blue Heron Books", "Kestrel Bank", "Lumen Energy"}) {
    EXPECT_TRUE(std::filesystem::exists(data.path() / "LocalLow" / "Tidepost" / "provider_icons" /
                                        (std::string(brand) + ".ico")))
        << brand;
  }
  EXPECT_TRUE(std::filesystem::exists(data.path() / "LocalLow" / "Tidepost" / "sendersList.xml"));

  // What the display did: active content in the reading pane and in an inspector, the zoom,
  // the folder switch, and Outlook's view back when the page gives up.
  const std::string statement = "Gmail/02-kestrel-active-content.eml";
  EXPECT_THAT(StepLine(output, statement),
              HasSubstr("reading pane: active content, page of 573 characters; helper told "
                        "alerts@kestrelbank.example, \"Your March statement is ready\", " +
                        statement + ", jane.sample@gmail.com, gmail"));
  EXPECT_THAT(StepLine(output, "Gmail/01-acme-dkim-pass.eml"),
              HasSubstr("reading pane: Outlook's view"));
  EXPECT_THAT(StepLine(output, "zoom in"), HasSubstr("reading pane zoom 100 -> 105 -> 110"));
  EXPECT_THAT(StepLine(output, "switch to Hotmail"),
              HasSubstr("reading pane: browser window detached"));
  EXPECT_THAT(StepLine(output, "open " + statement), HasSubstr("inspector: active content"));
  EXPECT_THAT(StepLine(output, "zoom out"), HasSubstr("inspector zoom 100 -> 95 -> 90"));
  EXPECT_THAT(StepLine(output, "close " + statement),
              HasSubstr("inspector: browser window detached"));
  EXPECT_THAT(StepLine(output, "open Outbox/01-reply-to-acme.eml"),
              HasSubstr("inspector: Outlook's view"));
  EXPECT_THAT(StepLine(output, "helper gives up (cancel)"),
              HasSubstr("reading pane: Outlook's view"));
  EXPECT_THAT(output, ::testing::Not(HasSubstr("offline notice")));
  // Every page handed to a helper object is saved.
  std::string page;
  ASSERT_TRUE(tool::ReadFile(pages.path() / "02-Gmail_02-kestrel-active-content.eml.html", &page))
      << output;
  EXPECT_THAT(page, HasSubstr("[APPointer:res=https://content.kestrelbank.example/statement/8841"));
  EXPECT_THAT(output, HasSubstr("6 pages handed to the helper objects saved in"));
}

// With every worker stuck in a request that the stand-in holds, the run still decides as
// before (the senders list of an earlier run in the data folder) and its quit prints how long
// it took; the add-in's own quit lines stand at the same simulated moment.
TEST(TidepostRunTest, QuitIsTimedWithEveryWorkerStuckInARequestTheServiceStalls) {
  testing::TempFolder data;
  std::string output;
  ASSERT_EQ(RunTool(tool::RunCommand,
                    {"--mailbox", (kExamples / "mailbox").string(), "--senders",
                     (kExamples / "sendersList.xml").string(), "--data", data.path().string(),
                     "--stall", "list", "--stall", "icons", "--stall", "statistics"},
                    &output),
            0);
  EXPECT_THAT(output, HasSubstr("Gmail/01-acme-dkim-pass.eml"));
  EXPECT_THAT(output, HasSubstr("branded as IPM.Note.Tidepost.Acme Travel"));
  const size_t quit = output.find("\nquit: ");
  ASSERT_NE(quit, std::string::npos) << output;
  EXPECT_LT(quit, output.find("Display (what each step showed)")) << "after the decisions";
  const std::string line = output.substr(quit + 1, output.find('\n', quit + 1) - quit - 1);
  EXPECT_EQ(line.find_first_not_of("0123456789", 6), line.size() - 3) << line;
  EXPECT_EQ(line.substr(line.size() - 3), " ms") << line;
  EXPECT_THAT(output, HasSubstr("senders list requests: 1"));
  EXPECT_THAT(output, HasSubstr("icon requests: 1"));
  EXPECT_THAT(output, HasSubstr("statistics posted: 1 (1 plugin_startup)"));

  const std::wstring log = Utf16LeToWide(
      testing::ReadFileBytes(data.path() / "LocalLow" / "Tidepost" / "TidepostOutlookAddin_log.txt")
          .substr(2));
  std::wstring quitStart;
  std::wstring quitEnd;
  for (size_t start = 0; start < log.size();) {
    const size_t end = log.find(L"\r\n", start);
    const std::wstring logged = log.substr(start, end - start);
    start = end == std::wstring::npos ? log.size() : end + 2;
    const std::wstring time = logged.substr(0, logged.find(L"  ["));
    if (logged.ends_with(L"] In OnQuit"))
      quitStart = time;
    if (logged.ends_with(L"] Out of OnQuit"))
      quitEnd = time;
  }
  EXPECT_FALSE(quitStart.empty());
  EXPECT_EQ(quitStart, quitEnd);

  EXPECT_EQ(RunTool(tool::RunCommand, {"--stall", "sideways"}, &output), 64);
}

TEST(TidepostRunTest, OfflineEverythingIsShownInOutlooksViewWithOneNotice) {
  testing::TempFolder data;
  std::string output;
  ASSERT_EQ(RunTool(tool::RunCommand,
                    {"--mailbox", (kExamples / "mailbox").string(), "--senders",
                     (kExamples / "sendersList.xml").string(), "--data", data.path().string(),
                     "--offline"},
                    &output),
            0);
  EXPECT_THAT(output, ::testing::Not(HasSubstr("active content")));
  const size_t notice =
      output.find("offline notice \"Tidepost \xE2\x80\x93 No Internet Connection\"");
  ASSERT_NE(notice, std::string::npos) << output;
  EXPECT_EQ(output.find("offline notice", notice + 1), std::string::npos) << "one notice";
  EXPECT_THAT(StepLine(output, "open Gmail/02-kestrel-active-content.eml"),
              HasSubstr("inspector: Outlook's view"));
}

}  // namespace
}  // namespace tp
