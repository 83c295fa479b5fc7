// The display test fixture.
#include "display/display_fixture.h"

#include "host/mapi.h"

namespace tp::testing {

DisplayTest::DisplayTest() {
  readingPane = host::sim::BuildReadingPane(sim().windows, explorerWindow);
  sim().outlook.activeWindow = explorerWindow;
}

void DisplayTest::Start() {
  ASSERT_EQ(Connect(), hr::kOk);
}

std::shared_ptr<host::sim::SimMail> DisplayTest::AddMessage(const std::wstring& entryId,
                                                            bool active) {
  auto mail = AddGmailMessage(entryId, L"alerts@bank.example", L"mx.google.com; dkim=none");
  mail->SetProp(host::kPrBodyW, active ? kActiveBody : L"Plain words only");
  return mail;
}

void DisplayTest::Select(const std::shared_ptr<host::sim::SimMail>& mail) {
  sim().outlook.activeExplorer->selection = {mail};
  sim().outlook.RaiseSelectionChange();
}

void DisplayTest::ShowInPane(const std::shared_ptr<host::sim::SimMail>& mail) {
  Select(mail);
  sim().ui.Advance(100);
}

DisplayTest::Opened DisplayTest::OpenInspector(const std::shared_ptr<host::sim::SimMail>& mail,
                                               host::sim::SimInspectorBody body) {
  Opened opened;
  opened.windows = host::sim::BuildInspectorWindow(sim().windows, body);
  opened.state = sim().outlook.OpenInspector(mail);
  opened.state->window = opened.windows.top;
  sim().outlook.activeInspector = opened.state;
  sim().outlook.activeWindow = opened.windows.top;
  sim().outlook.RaiseNewInspector(opened.state);
  return opened;
}

host::sim::SimBrowserControl* DisplayTest::ControlOf(host::WindowHandle window) {
  return window == 0 ? nullptr : sim().browsers.ControlOf(window).get();
}

}  // namespace tp::testing
