// Embedded content: the markers, the temporary folder with the copies of inline
// attachments, safe copy names, one folder per message on screen, and the temporary root
// emptied at start and at quit.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "addin/add_in_fixture.h"
#include "base/text.h"
#include "display/message_embedded_content.h"
#include "host/mapi.h"
#include "host/sim/sim_outlook_windows.h"
#include "page/fake_html_engine.h"
#include "page/temp_folder.h"
#include "platform/process_state.h"

namespace tp {
namespace {

namespace fs = std::filesystem;
using host::sim::SimAttachment;
using host::sim::SimMail;

constexpr wchar_t kInstallLink[] = L"<a href=\"https://plugin.tidepost.com/install?x=1\">get</a>";

class EmbeddedContentTest : public testing::AddinTest {
 protected:
  EmbeddedContentTest() : m_installed(WithEngine()) {}
  // The add-in's threads go before the host they use is put back.
  ~EmbeddedContentTest() override { Destroy(); }

  std::shared_ptr<SimMail> Message(const std::wstring& html,
                                   std::vector<SimAttachment> attachments = {}) {
    auto mail = AddGmailMessage(L"m" + std::to_wstring(++m_messages), L"news@acme.example", L"");
    mail->SetBinaryProp(host::kPrHtml, WideToUtf8(html));
    mail->internetCodepage = 65001;
    mail->attachments = std::move(attachments);
    return mail;
  }
  static SimAttachment Inline(const std::wstring& name, const std::wstring& contentId,
                              const std::string& bytes = "PNG") {
    SimAttachment attachment;
    attachment.fileName = name;
    attachment.contentId = contentId;
    attachment.mimeType = L"image/png";
    attachment.bytes = bytes;
    return attachment;
  }
  bool Check(const std::shared_ptr<SimMail>& mail, CheckedMessage* message) {
    return MessageEmbeddedContent(m_heads).CheckTideEmbed(*Item(mail), false, message);
  }
  fs::path Root() const { return folder().path() / "Temp" / "Tidepost" / "outlook_temp"; }
  // The message folders made, and the files in each.
  std::vector<fs::path> Folders() const {
    std::vector<fs::path> folders;
    std::error_code missing;
    for (const auto& entry : fs::directory_iterator(Root(), missing))
      folders.push_back(entry.path());
    return folders;
  }
  static std::vector<std::string> Files(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  testing::FakeHtmlEngine engine;

 private:
  host::Host WithEngine() {
    host::Host host = sim().host();
    host.html = &engine;
    return host;
  }
  host::ScopedHost m_installed;
  PageHeads m_heads;
  int m_messages = 0;
};

TEST_F(EmbeddedContentTest, MarkersAreFoundHoweverEncodedOrCased) {
  struct Case {
    const wchar_t* html;
    bool found;
  };
  const Case cases[] = {
      {L"<a href=\"http://plugin.tidepost.com/install\">", true},
      {L"HTTPS://PLUGIN.TIDEPOST.COM/INSTALL", true},
      {L"https%3A%2F%2Fplugin.tidepost.com%2Finstall", true},
      {L"%70%6C%75%67%69%6E%2E%74%69%64%65%70%6F%73%74%2E%63%6F%6D%2F%69%6E%73%74%61%6C%6C", true},
      {L"<a href=\"app?TidePost-App=7\">", true},
      {L"tidepost-app%3d1", true},
      {L"plugin.tidepost.com/download tidepost-app", false},
      {L"plugin.tidepost.com%zzinstall", false},  // not a digit: the pair reads as U+10EF
      {L"tidepost-app%", false},
      {L"tidepost-app%3", false},  // a '%' without two characters ends the text
  };
  for (const Case& test : cases)
    EXPECT_EQ(HoldsEmbedMarker(test.html), test.found) << ::testing::PrintToString(test.html);
  EXPECT_EQ(MarkerSearchText(L"A%41%zz%4"), std::wstring(L"aa") + wchar_t(0x10EF));
}

TEST_F(EmbeddedContentTest, WithoutMarkerOrPointerNothingIsMade) {
  CheckedMessage message;
  message.page = L"previous";
  EXPECT_FALSE(Check(Message(L"<p>plain</p>", {Inline(L"a.png", L"a")}), &message));
  EXPECT_FALSE(message.embedFound);
  EXPECT_FALSE(message.activeWanted);
  EXPECT_EQ(message.page, L"previous");
  EXPECT_FALSE(fs::exists(folder().path() / "Temp" / "Tidepost"));
  EXPECT_TRUE(engine.calls.empty());
}

TEST_F(EmbeddedContentTest, AMarkedMessageGetsItsCopiesAndItsPage) {
  auto mail =
      Message(std::wstring(kInstallLink) +
                  L"<img src=\"cid:logo@acme\"><img src=\"cid:logo2@acme\">"
                  L"<img src=\"cid:missing@acme\"><img src=\"cid:plain\">",
              {Inline(L"logo.png", L"logo@acme", "one"), Inline(L"logo.png", L"logo2@acme", "two"),
               Inline(L"plain.txt", L""), Inline(L"x.gif", L"x")});
  CheckedMessage message;
  EXPECT_TRUE(Check(mail, &message));
  EXPECT_TRUE(message.embedFound);
  EXPECT_TRUE(message.activeWanted);
  EXPECT_TRUE(Logged(L"Found tide embed in message"));

  const std::vector<fs::path> folders = Folders();
  ASSERT_EQ(folders.size(), 1u);
  const std::string name = folders[0].filename().string();
  EXPECT_EQ(name.substr(name.find('_') + 1), std::to_string(sim().clock.TickCount()));
  // Both copies of logo.png, told apart by the counter; the part without a content id is not
  // copied.
  const std::vector<std::string> files = Files(folders[0]);
  ASSERT_EQ(files.size(), 3u);
  std::vector<std::string> logos;
  for (const std::string& file : files) {
    if (file.find("_logo.png") != std::string::npos)
      logos.push_back(file);
  }
  ASSERT_EQ(logos.size(), 2u);
  EXPECT_NE(logos[0], logos[1]);

  // The page names each copy by its path with forward slashes; references without a copy
  // stay.
  std::wstring root = Utf8ToWide(folders[0].string());
  std::replace(root.begin(), root.end(), L'\\', L'/');
  EXPECT_NE(engine.written.find(L"<img src=\"" + root + L"/"), std::wstring::npos);
  EXPECT_EQ(engine.written.find(L"cid:logo"), std::wstring::npos);
  EXPECT_NE(engine.written.find(L"cid:missing@acme"), std::wstring::npos);
  EXPECT_NE(engine.written.find(L"cid:plain"), std::wstring::npos);
  EXPECT_NE(message.page.find(root), std::wstring::npos);  // local copies may be loaded
  EXPECT_EQ(
      testing::ReadFileBytes(folders[0] / logos[0]) + testing::ReadFileBytes(folders[0] / logos[1]),
      "onetwo");
}

TEST_F(EmbeddedContentTest, OnlyABrandedSendersPageLoadsRemoteContent) {
  const std::wstring html = std::wstring(kInstallLink) +
                            L"<p style=\"background:url(https://t.example/bg.png)\">Hello</p>"
                            L"<img src=\"https://t.example/open.gif\"><img src=\"cid:logo@acme\">";
  for (const bool branded : {false, true}) {
    CheckedMessage message;
    message.senderBranded = branded;
    ASSERT_TRUE(Check(Message(html, {Inline(L"logo.png", L"logo@acme")}), &message));
    EXPECT_EQ(message.page.find(L"https://t.example/open.gif") != std::wstring::npos, branded);
    EXPECT_EQ(message.page.find(L"url(https://t.example/bg.png)") != std::wstring::npos, branded);
    EXPECT_NE(message.page.find(L"Hello</p>"), std::wstring::npos);
    EXPECT_NE(message.page.find(L"_logo.png\">"), std::wstring::npos);  // the copy, either way
    EXPECT_NE(message.page.find(L"<a href=\"https://plugin.tidepost.com/install?x=1\">"),
              std::wstring::npos);
  }
}

TEST_F(EmbeddedContentTest, TheMailCheckDecidesBeforeItBuildsThePage) {
  WriteSendersList(L"{\"branding\":[{\"name\":\"Acme\",\"domain\":\"acme.example\"}]}");
  Create(QuietOptions());
  ASSERT_EQ(Connect(), hr::kOk);
  const std::wstring html =
      std::wstring(kInstallLink) + L"<img src=\"https://t.example/open.gif\" alt=\"Sale\">";
  const wchar_t* const passing = L"mx.google.com; dkim=pass header.i=@acme.example";
  for (const bool authentic : {false, true}) {
    auto mail = AddGmailMessage(authentic ? L"a" : L"f", L"news@acme.example",
                                authentic ? passing : L"mx.google.com; dkim=fail");
    mail->SetBinaryProp(host::kPrHtml, WideToUtf8(html));
    mail->internetCodepage = 65001;
    mail->SetProp(host::kPrBodyW, L"no pointer here");
    connect->CheckMailItem(*Item(mail), false);
    const CheckedMessage& checked = connect->checked_message();
    EXPECT_EQ(checked.senderBranded, authentic);
    EXPECT_EQ(checked.page.find(L"<img src=\"https://t.example/open.gif\" alt=\"Sale\">") !=
                  std::wstring::npos,
              authentic);
    EXPECT_NE(checked.page.find(L"alt=\"Sale\">"), std::wstring::npos);
  }
}

TEST_F(EmbeddedContentTest, AnActivePointerBuildsThePageWithoutAMarker) {
  CheckedMessage message;
  message.activeWanted = true;  // the mail check found a pointer placed outside the message
  EXPECT_FALSE(Check(Message(L"<p>x</p>"), &message));
  EXPECT_FALSE(message.embedFound);
  EXPECT_TRUE(message.activeWanted);
  EXPECT_NE(message.page.find(L"<p>x</p>"), std::wstring::npos);
  EXPECT_EQ(Folders().size(), 1u);
}

TEST_F(EmbeddedContentTest, AFailedCopyIsLoggedAndItsReferenceStays) {
  SimAttachment failing = Inline(L"a.png", L"a");
  failing.saveResult = static_cast<HResult>(0x80030070);  // STG_E_MEDIUMFULL
  CheckedMessage message;
  EXPECT_TRUE(
      Check(Message(std::wstring(kInstallLink) + L"<img src=\"cid:a\">", {failing}), &message));
  EXPECT_NE(engine.written.find(L"cid:a"), std::wstring::npos);
  bool logged = false;
  for (const std::wstring& line : LogMessages())
    logged = logged || (line.rfind(L"Failed saving attachment to ", 0) == 0 &&
                        line.find(L"Result=80030070x") != std::wstring::npos);
  EXPECT_TRUE(logged);
}

TEST_F(EmbeddedContentTest, HostileFileNamesStayInTheMessageFolderAndInTheAttribute) {
  const std::wstring names[] = {
      L"..\\..\\..\\evil.exe",
      L"../../etc/passwd",
      L"C:\\Windows\\system32\\x.dll",
      L"CON",
      L"nul.txt",
      L"logo\" onerror=\"alert(1).png",
      L"a'b`c<d>e|f?g*h.png",
      L"tab\there\r\n.png",
      L"stream.png:Zone.Identifier",
      L"%2e%2e%2fup.png",
      L"frag#ment&amp;.png",
      L"trailing dots... ",
      L"..",
      L"",
      std::wstring(300, L'n') + L".png",
  };
  std::vector<SimAttachment> attachments;
  std::wstring html = kInstallLink;
  for (size_t i = 0; i < std::size(names); ++i) {
    attachments.push_back(Inline(names[i], L"id" + std::to_wstring(i)));
    html += L"<img src=\"cid:id" + std::to_wstring(i) + L"\">";
  }
  CheckedMessage message;
  ASSERT_TRUE(Check(Message(html, attachments), &message));
  const std::vector<fs::path> folders = Folders();
  ASSERT_EQ(folders.size(), 1u);
  EXPECT_EQ(Files(folders[0]).size(), std::size(names));
  for (const auto& entry : fs::recursive_directory_iterator(folder().path())) {
    if (entry.is_regular_file() && entry.path().extension() != ".txt") {
      const fs::path parent = entry.path().parent_path();
      EXPECT_TRUE(parent == folders[0] || parent.filename() == "Tidepost")  // the log
          << entry.path();
    }
  }
  // Each reference became one quoted path: nothing broke out of its attribute.
  size_t images = 0;
  for (size_t at = engine.written.find(L"<img src=\""); at != std::wstring::npos;
       at = engine.written.find(L"<img src=\"", at + 1)) {
    const size_t end = engine.written.find(L"\">", at + 10);
    ASSERT_NE(end, std::wstring::npos);
    const std::wstring path = engine.written.substr(at + 10, end - at - 10);
    EXPECT_EQ(path.find_first_of(L"\"'<>`\\%#&\r\n\t"), std::wstring::npos) << WideToUtf8(path);
    ++images;
  }
  EXPECT_EQ(images, std::size(names));
}

TEST(SafeFileNameTest, NamesFromMessagesAreMadeSafe) {
  struct Case {
    std::wstring name;
    std::wstring safe;
  };
  const Case cases[] = {
      {L"logo.png", L"logo.png"},
      {L"r\u00E9sum\u00E9 \u65E5\u672C.pdf", L"r\u00E9sum\u00E9 \u65E5\u672C.pdf"},
      {L"..\\..\\evil.exe", L".._.._evil.exe"},
      {L"C:\\x.dll", L"C__x.dll"},
      {L"CON", L"_CON"},
      {L"com1.txt", L"_com1.txt"},
      {L"console.log", L"console.log"},
      {L"a\"b'c.png", L"a_b_c.png"},
      {L"x\u202Egnp.exe", L"x_gnp.exe"},
      {L"end. . ", L"end"},
      {L"  lead.png", L"lead.png"},
      {L"..", L"attachment"},
      {L"", L"attachment"},
      {std::wstring(100, L'a') + L".jpeg", std::wstring(75, L'a') + L".jpeg"},
      {std::wstring(100, L'b') + L".verylongextension", std::wstring(80, L'b')},
  };
  for (const Case& test : cases)
    EXPECT_EQ(SafeFileName(test.name), test.safe) << WideToUtf8(test.name);
}

TEST_F(EmbeddedContentTest, TheTemporaryRootIsEmptiedAtStartAndAtQuit) {
  const fs::path outside = folder().path() / "Temp" / "keep.txt";
  auto fill = [&] {
    fs::create_directories(Root() / "7_100" / "deeper");
    testing::WriteFileBytes(Root() / "7_100" / "8_a.png", "a");
    testing::WriteFileBytes(Root() / "7_100" / "deeper" / "b", "b");
    testing::WriteFileBytes(Root() / "loose.txt", "c");
  };
  fs::create_directories(outside.parent_path());
  testing::WriteFileBytes(outside, "x");
  fill();
  Create(QuietOptions());
  EXPECT_TRUE(fs::exists(Root()));
  EXPECT_TRUE(fs::is_empty(Root()));
  ASSERT_EQ(Connect(), hr::kOk);
  fill();
  connect->OnQuit();
  EXPECT_TRUE(fs::is_empty(Root()));
  EXPECT_TRUE(fs::exists(outside));
}

// At most one folder of copies per message shown: the message shown again keeps its folder,
// and a folder goes once no page on screen needs it (the reading pane's, an inspector's).
TEST_F(EmbeddedContentTest, EachMessageOnScreenKeepsOneFolderAndTheRestGo) {
  host::sim::BuildReadingPane(sim().windows, explorerWindow);
  sim().outlook.activeWindow = explorerWindow;
  Create(QuietOptions());
  ASSERT_EQ(Connect(), hr::kOk);
  const auto select = [this](std::vector<std::shared_ptr<SimMail>> mails) {
    sim().outlook.activeExplorer->selection = std::move(mails);
    sim().outlook.RaiseSelectionChange();
    sim().ui.Advance(500);
  };
  auto first =
      Message(std::wstring(kInstallLink) + L"<img src=\"cid:a\">", {Inline(L"a.png", L"a")});
  auto second =
      Message(std::wstring(kInstallLink) + L"<img src=\"cid:b\">", {Inline(L"b.png", L"b")});
  auto plain = Message(L"<p>plain</p>");

  select({first});
  const std::vector<fs::path> firstFolder = Folders();
  ASSERT_EQ(firstFolder.size(), 1u);
  for (int again = 0; again < 3; ++again) {
    select({first, second});  // two selected: the first alone is checked anew after
    select({first});
    EXPECT_EQ(Folders(), firstFolder) << "selection " << again;
  }
  EXPECT_EQ(Files(firstFolder[0]).size(), 1u);

  // The first in an inspector while the reading pane goes on to the second: both on screen.
  const host::sim::SimMessageWindows windows =
      host::sim::BuildInspectorWindow(sim().windows, host::sim::SimInspectorBody::kWord);
  auto inspector = sim().outlook.OpenInspector(first);
  inspector->window = windows.top;
  sim().outlook.activeInspector = inspector;
  sim().outlook.activeWindow = windows.top;
  sim().outlook.RaiseNewInspector(inspector);
  EXPECT_EQ(Folders(), firstFolder);
  sim().outlook.activeWindow = explorerWindow;
  select({second});
  ASSERT_EQ(Folders().size(), 2u);

  // The reading pane gives up its page for Outlook's view: the second's folder goes.
  select({plain});
  EXPECT_EQ(Folders(), firstFolder);
  // The inspector closes: nothing on screen needs copies any more.
  sim().outlook.RaiseInspectorClose(inspector);
  EXPECT_TRUE(Folders().empty());
}

TEST_F(EmbeddedContentTest, TheMailCheckShowsAMarkedMessageFromItsOwnHtml) {
  Create(QuietOptions());
  ASSERT_EQ(Connect(), hr::kOk);
  auto mail = Message(std::wstring(kInstallLink) + L"<p onclick=x()>hello</p>");
  mail->SetProp(host::kPrBodyW, L"hello, no pointer here");
  connect->CheckMailItem(*Item(mail), false);
  const CheckedMessage& checked = connect->checked_message();
  EXPECT_TRUE(checked.embedFound);
  EXPECT_TRUE(checked.activeWanted);
  EXPECT_EQ(checked.page.substr(0, PlainHead().size() - 7),
            PlainHead().substr(0, PlainHead().size() - 7));
  EXPECT_NE(checked.page.find(L"<p ap_denied=\"x()\">hello</p>"), std::wstring::npos);
  EXPECT_FALSE(Logged(L"Did not find a valid pointer and message does not contain an active link"));
}

}  // namespace
}  // namespace tp
