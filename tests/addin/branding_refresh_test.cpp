// A newer senders list while Outlook runs: the worker only loads it, the user-interface thread
// switches to it at its next timer tick (never inside a check), new brands are branded and
// published for their icons, withdrawn ones are not, and their messages keep their class.
#include <gtest/gtest.h>

#include <functional>

#include "addin/add_in_fixture.h"
#include "branding/branding_decision.h"
#include "host/mapi.h"
#include "net/brand_names.h"
#include "platform/timer_ids.h"

namespace tp {
namespace {

using host::sim::SimMail;
using Names = std::vector<std::wstring>;

constexpr wchar_t kAcme[] = L"{'name':'Acme','domain':'acme.example'}";
constexpr wchar_t kBeta[] = L"{'name':'Beta','domain':'beta.example'}";

std::wstring Branding(std::initializer_list<const wchar_t*> entries) {
  std::wstring json = L"{'branding':[";
  for (const wchar_t* entry : entries)
    json += (json.back() == L'[' ? L"" : L",") + std::wstring(entry);
  return json + L"]}";
}

std::wstring Envelope(const std::wstring& brandingJson) {
  return L"<?xml version=\"1.0\"?><content><data><senders/><branding><![CDATA[" + brandingJson +
         L"]]></branding></data></content>";
}

// Outlook's own view, with a call of the test's own where the check looks for embedded
// content: inside the check, before the branding decision.
class DisplayCallingBack final : public OutlookViewDisplay {
 public:
  explicit DisplayCallingBack(std::function<void()>* callback) : m_callback(callback) {}
  bool CheckTideEmbed(host::MailItem&, bool, CheckedMessage*) override {
    if (*m_callback)
      (*m_callback)();
    return false;
  }

 private:
  std::function<void()>* m_callback;
};

class BrandingRefreshTest : public testing::AddinTest {
 protected:
  void SetUp() override {
    WriteSendersList(Branding({kAcme}));
    AddinOptions options = QuietOptions();
    options.display = std::make_unique<DisplayCallingBack>(&duringCheck);
    Create(std::move(options));
    ASSERT_EQ(Connect(), hr::kOk);
  }

  // What the senders-list worker does with a download: the downloader takes it, and nothing
  // else.
  static void WorkerLoads(const std::wstring& brandingJson) {
    ASSERT_TRUE(g_sendersListDownloader->LoadSendersListXml(Envelope(brandingJson)));
  }
  // The next timer tick of the user-interface thread.
  void Tick() { sim().ui.Advance(1000); }

  // A message whose DKIM signature passes for the sender's own domain.
  std::shared_ptr<SimMail> MailFrom(const std::wstring& sender) {
    const std::wstring domain = sender.substr(sender.find(L'@') + 1);
    return AddGmailMessage(L"m" + std::to_wstring(++m_serial), sender,
                           L"mx.google.com; dkim=pass header.i=@" + domain);
  }
  bool Brand(const std::shared_ptr<SimMail>& mail, bool viewed = false) {
    return connect->BrandMailItem(*Item(mail), viewed);
  }
  static std::wstring ClassOf(const SimMail& mail) {
    return mail.props.at(host::kPrMessageClassW).text;
  }

  std::function<void()> duringCheck;
  int m_serial = 0;
};

TEST_F(BrandingRefreshTest, ANewBrandIsBrandedAndPublishedFromTheNextTick) {
  EXPECT_EQ(BrandNameList(), Names{L"Acme"});
  WorkerLoads(Branding({kAcme, kBeta}));
  // Loaded by the worker, not yet switched to.
  EXPECT_FALSE(Brand(MailFrom(L"news@beta.example")));
  EXPECT_EQ(connect->last_decision()->reason, BrandingReason::kSenderNotListed);
  EXPECT_EQ(BrandNameList(), Names{L"Acme"});

  Tick();
  EXPECT_EQ(CountLogged(L"Branding list updated: 2 senders"), 1);
  EXPECT_EQ(BrandNameList(), (Names{L"Acme", L"Beta"}));
  const auto beta = MailFrom(L"news@beta.example");
  EXPECT_TRUE(Brand(beta));
  EXPECT_EQ(ClassOf(*beta), L"IPM.Note.Tidepost.Beta");

  // The same list downloaded again changes nothing.
  WorkerLoads(Branding({kAcme, kBeta}));
  Tick();
  EXPECT_EQ(CountLogged(L"Branding list updated: 2 senders"), 1);
}

TEST_F(BrandingRefreshTest, AWithdrawnBrandIsNoLongerBrandedAndItsMessagesAreLeftAsTheyAre) {
  const auto before = MailFrom(L"news@acme.example");
  ASSERT_TRUE(Brand(before));
  WorkerLoads(Branding({kBeta}));
  Tick();
  EXPECT_TRUE(Logged(L"Branding list updated: 1 senders"));
  EXPECT_EQ(BrandNameList(), Names{L"Beta"});

  const auto after = MailFrom(L"news@acme.example");
  EXPECT_FALSE(Brand(after));
  EXPECT_EQ(ClassOf(*after), L"IPM.Note");
  // The message branded before keeps its class: the list can no longer judge that brand.
  EXPECT_FALSE(Brand(before, true));
  EXPECT_EQ(ClassOf(*before), L"IPM.Note.Tidepost.Acme");
  EXPECT_TRUE(
      Logged(L"The brand of class IPM.Note.Tidepost.Acme is not in the branding list; "
             L"message left as it is"));
}

TEST_F(BrandingRefreshTest, TheListIsNeverSwitchedInsideACheck) {
  WorkerLoads(Branding({kAcme, kBeta}));
  // Outlook runs a timer while the check waits on one of its calls.
  duringCheck = [this] { connect->OnTimer(explorerWindow, 0, kTimerDestroyClosedWindows, 0); };
  const auto beta = MailFrom(L"news@beta.example");
  connect->CheckMailItem(*Item(beta), false);
  EXPECT_FALSE(Logged(L"Branding list updated: 2 senders"));
  EXPECT_EQ(ClassOf(*beta), L"IPM.Note");

  duringCheck = nullptr;
  Tick();
  EXPECT_TRUE(Logged(L"Branding list updated: 2 senders"));
  connect->CheckMailItem(*Item(beta), false);
  EXPECT_EQ(ClassOf(*beta), L"IPM.Note.Tidepost.Beta");
}

TEST_F(BrandingRefreshTest, ANewerListThatCannotBeUsedKeepsTheCurrentOne) {
  WorkerLoads(L"{'branding':[}");
  Tick();
  EXPECT_TRUE(Logged(L"The newer branding document cannot be used; the branding list is kept"));
  ASSERT_TRUE(g_sendersListDownloader->LoadSendersListXml(
      L"<?xml version=\"1.0\"?><content><data><senders/></data></content>"));
  Tick();
  EXPECT_TRUE(Logged(L"The newer senders list holds no branding; the branding list is kept"));
  EXPECT_EQ(BrandNameList(), Names{L"Acme"});
  EXPECT_TRUE(Brand(MailFrom(L"news@acme.example")));

  // A list the service empties on purpose is taken.
  WorkerLoads(L"{'branding':[]}");
  Tick();
  EXPECT_TRUE(Logged(L"Branding list updated: 0 senders"));
  EXPECT_EQ(BrandNameList(), Names{});
}

}  // namespace
}  // namespace tp
