// The add-in against the stand-in of our service: a brand the cached senders list lacks is
// branded, and its icon fetched, within one download cycle; a brand the service withdraws is
// branded no more after the next one. The user-interface thread runs on the simulated clock;
// the workers download over loopback.
#include <gtest/gtest.h>

#include <algorithm>

#include "addin/connect.h"
#include "base/text.h"
#include "host/mapi.h"
#include "platform/process_state.h"
#include "service_fixture.h"

namespace tp {
namespace {

using host::sim::SimMail;

std::string Envelope(const std::string& brandingJson) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?><content><data><senders/><branding>"
         "<![CDATA[" +
         brandingJson + "]]></branding></data></content>";
}

constexpr char kAcmeOnly[] = "{'branding':[{'name':'Acme','domain':'acme.example'}]}";
constexpr char kAcmeAndXeno[] =
    "{'branding':[{'name':'Acme','domain':'acme.example'},"
    "{'name':'Xeno, Inc.','domain':'xeno.example'}]}";
constexpr char kXenoOnly[] = "{'branding':[{'name':'Xeno, Inc.','domain':'xeno.example'}]}";

class SendersRefreshTest : public testing::ServiceTest {
 protected:
  SendersRefreshTest() {
    m_inbox = sim().outlook.AddFolder(L"Inbox");
    sim().outlook.activeExplorer = std::make_shared<host::sim::SimExplorerState>();
    sim().outlook.activeExplorer->window = sim().ui.CreateWindow(L"rctrl_renwnd32");
    sim().outlook.activeExplorer->currentFolder = m_inbox;
    std::filesystem::create_directories(DataFolder());
    testing::WriteFileBytes(DataFolder() / "sendersList.xml", Envelope(kAcmeOnly));
  }
  ~SendersRefreshTest() override {
    if (m_addin && g_pConnect == m_addin.get())
      m_addin->OnQuit();
    m_addin.reset();
  }

  // The add-in, downloading at once and then every `cycleMs`.
  void Start(uint32_t cycleMs) {
    AddinOptions options;
    options.sendersList.cycleMs = cycleMs;
    options.sendersList.requestTimeoutMs = 10000;
    options.senderIcons.firstDelayMs = 0;
    options.senderIcons.namesRetryMs = 10;
    options.senderIcons.requestTimeoutMs = 10000;
    m_addin = std::make_unique<CConnect>(std::move(options));
    ASSERT_EQ(m_addin->OnConnection(*sim().outlook.ConnectionArgumentFor()), hr::kOk);
  }

  // Waits until the worker has loaded this many different lists (the cached one counts).
  bool WorkerLoadedVersion(uint64_t version) {
    return WaitUntil([version] { return g_sendersListDownloader->BrandingVersion() >= version; });
  }

  bool Branded(const std::wstring& sender) {
    const std::wstring domain = sender.substr(sender.find(L'@') + 1);
    SimMail mail;
    mail.entryId = L"m" + std::to_wstring(++m_serial);
    mail.senderEmailAddress = sender;
    mail.account = std::make_shared<host::sim::SimAccount>(
        host::sim::SimAccount{1, L"reader@gmail.com", L"Reader"});
    mail.SetProp(host::kPrMessageClassW, L"IPM.Note");
    mail.SetProp(host::kPrTransportMessageHeadersW,
                 L"Received: from out." + domain + L" (out." + domain +
                     L". [192.0.2.1])\r\n        by mx.google.com with ESMTPS id s1si2\r\n"
                     L"Authentication-Results: mx.google.com; dkim=pass header.i=@" +
                     domain + L"\r\nFrom: " + sender + L"\r\n");
    return m_addin->BrandMailItem(*sim().outlook.MailItemFor(sim().outlook.AddMail(*m_inbox, mail)),
                                  false);
  }

  bool Requested(const std::string& target) {
    const std::vector<std::string> targets = Targets();
    return std::find(targets.begin(), targets.end(), target) != targets.end();
  }

  std::shared_ptr<host::sim::SimFolder> m_inbox;
  std::unique_ptr<CConnect> m_addin;
  int m_serial = 0;
};

TEST_F(SendersRefreshTest, ABrandTheCacheLacksIsBrandedWithinOneCycleAndWithdrawnAfterAnother) {
  server.SetSendersList(Envelope(kAcmeAndXeno));
  server.AddIcon("Acme");
  server.AddIcon("Xeno, Inc.");
  // The first download is held until the add-in has loaded its cached list.
  gate.Close(kPatience);
  Start(3600 * 1000);
  EXPECT_FALSE(Branded(L"news@xeno.example"));

  // The first cycle's download, taken at the next tick.
  gate.Open();
  ASSERT_TRUE(WorkerLoadedVersion(2));
  sim().ui.Advance(1000);
  EXPECT_TRUE(LogHas(L"Branding list updated: 2 senders"));
  EXPECT_TRUE(Branded(L"news@xeno.example"));
  EXPECT_TRUE(Branded(L"news@acme.example"));
  // Its icon is asked for by its whole name, comma and all.
  EXPECT_TRUE(WaitUntil([this] { return Requested("/ams/brandingicon/Xeno%2C%20Inc..ico"); }));
  EXPECT_FALSE(Requested("/ams/brandingicon/Xeno.ico"));
  EXPECT_TRUE(WaitUntil([] { return Cached(L"CachedSendersIcons") == L"|Acme|,|Xeno, Inc.|,"; }));
  m_addin->OnQuit();
  m_addin.reset();

  // A later run: the service withdraws Acme between two cycles.
  server.SetSendersList(Envelope(kAcmeAndXeno));
  Start(50);
  server.SetSendersList(Envelope(kXenoOnly));
  ASSERT_TRUE(WaitUntil(
      [] { return g_sendersListDownloader->CurrentBranding().json == Utf8ToWide(kXenoOnly); }));
  sim().ui.Advance(1000);
  EXPECT_TRUE(LogHas(L"Branding list updated: 1 senders"));
  EXPECT_FALSE(Branded(L"news@acme.example"));
  EXPECT_TRUE(Branded(L"news@xeno.example"));
}

}  // namespace
}  // namespace tp
