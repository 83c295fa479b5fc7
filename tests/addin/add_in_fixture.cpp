// The add-in test fixture.
#include "addin/add_in_fixture.h"

#include "base/text.h"
#include "host/mapi.h"
#include "platform/process_state.h"

namespace tp::testing {

AddinTest::AddinTest() {
  inbox = sim().outlook.AddFolder(L"Inbox");
  sim().outlook.activeExplorer = std::make_shared<host::sim::SimExplorerState>();
  explorerWindow = sim().ui.CreateWindow(L"rctrl_renwnd32");
  sim().outlook.activeExplorer->window = explorerWindow;
  sim().outlook.activeExplorer->currentFolder = inbox;
}

AddinTest::~AddinTest() {
  Destroy();
}

AddinOptions AddinTest::QuietOptions() {
  AddinOptions options;
  options.sendersList.firstDelayMs = 3600 * 1000;
  options.senderIcons.firstDelayMs = 3600 * 1000;
  return options;
}

CConnect& AddinTest::Create(AddinOptions options) {
  connect = std::make_unique<CConnect>(std::move(options));
  return *connect;
}

HResult AddinTest::Connect() {
  if (!connect)
    Create(QuietOptions());
  return connect->OnConnection(*sim().outlook.ConnectionArgumentFor());
}

void AddinTest::WriteSendersList(const std::wstring& brandingJson) {
  std::filesystem::create_directories(DataFolder());
  WriteFileBytes(DataFolder() / "sendersList.xml",
                 WideToUtf8(L"<?xml version=\"1.0\" encoding=\"utf-8\"?><content><data><senders/>"
                            L"<branding><![CDATA[" +
                            brandingJson + L"]]></branding></data></content>"));
}

std::shared_ptr<host::sim::SimMail> AddinTest::AddGmailMessage(
    const std::wstring& entryId, const std::wstring& sender,
    const std::wstring& authenticationResults) {
  host::sim::SimMail mail;
  mail.entryId = entryId;
  mail.senderEmailAddress = sender;
  mail.subject = L"Subject of " + entryId;
  mail.account = std::make_shared<host::sim::SimAccount>(
      host::sim::SimAccount{1, L"reader@gmail.com", L"Reader"});
  mail.SetProp(host::kPrMessageClassW, L"IPM.Note");
  mail.SetProp(host::kPrBodyW, L"Hello");
  mail.SetProp(host::kPrTransportMessageHeadersW,
               L"Delivered-To: reader@gmail.com\r\n"
               L"Received: from out.sender.example (out.sender.example. [192.0.2.1])\r\n"
               L"        by mx.google.com with ESMTPS id s1si2\r\n"
               L"        for <reader@gmail.com>; Tue, 04 Mar 2025 01:02:11 -0800 (PST)\r\n"
               L"Authentication-Results: " +
                   authenticationResults + L"\r\nFrom: " + sender + L"\r\n");
  return sim().outlook.AddMail(*inbox, mail);
}

void AddinTest::Destroy() {
  if (!connect)
    return;
  if (g_pConnect == connect.get())
    connect->OnQuit();
  connect.reset();
}

}  // namespace tp::testing
