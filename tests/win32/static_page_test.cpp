// The static page on Windows: MSHTML's HTMLDocument where Wine has no HTML engine behind it,
// and embedded content with the copies of a message's attachments under the real temporary
// folder, through the Outlook adapters over fake Outlook objects.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/text.h"
#include "display/message_embedded_content.h"
#include "fake_outlook.h"
#include "host/host.h"
#include "host/mapi.h"
#include "host/platform.h"
#include "host/win32/outlook/connection_argument.h"
#include "host/win32/win32_files.h"
#include "host/win32/win32_html.h"
#include "page/html_sanitizer.h"
#include "page/markup_filter.h"
#include "page/temp_folder.h"
#include "support/test_host.h"
#include "win32_test_support.h"

namespace tp::testing {
namespace {

namespace fs = std::filesystem;

class StaticPageTest : public ComTest {
 protected:
  StaticPageTest() : m_installed(host::PlatformHost()) {}

  std::shared_ptr<host::MailItem> Mail() {
    host::win32::DispatchConnectionArgument argument(m_outlook.ApplicationArgument());
    std::shared_ptr<host::OutlookApplication> application;
    host::ConnectionArgument::Step step = host::ConnectionArgument::Step::kGetIdsOfNames;
    EXPECT_EQ(argument.ResolveApplication(&application, &step), hr::kOk);
    return application->ActiveExplorer()->GetSelection()->Item(1)->AsMailItem();
  }
  static fs::path Root() { return fs::path(*TemporaryRoot()); }

  TestWindow m_window;
  FakeOutlook m_outlook{m_window.handle()};
  host::ScopedHost m_installed;
  const PageHeads m_heads{L"<head 226></head>", L"<head 225></head>"};
};

TEST_F(StaticPageTest, WithoutItsHtmlEngineTheDocumentIsNotMadeAndThePageStays) {
  // Wine's MSHTML needs Gecko, which these machines do not have (and the tests turn off).
  EXPECT_EQ(host::win32::MshtmlEngine().CreateDocument(), nullptr);
  std::wstring page = L"previous";
  EXPECT_EQ(HtmlSanitizer(m_heads, UrlPolicy{}).SanitizeHtml(L"<p>x</p>", &page), hr::kNoInterface);
  EXPECT_EQ(page, L"previous");
}

TEST_F(StaticPageTest, AttachmentsAreCopiedUnderTheTemporaryFolderOnWindowsPaths) {
  const std::optional<std::wstring> temp =
      host::win32::Win32FileSystem().KnownFolderPath(host::KnownFolder::kTemp);
  ASSERT_TRUE(temp.has_value());
  EXPECT_EQ(*TemporaryRoot(), *temp + L"Tidepost\\outlook_temp");
  EXPECT_EQ(TemporaryRootUrl().find(L'\\'), std::wstring::npos);
  CleanTempFolder();

  m_outlook.message->SetStream(
      host::kPrHtml,
      "<a href=\"https://plugin.tidepost.com/install\">x</a><img src=\"cid:logo@shop\">");
  m_outlook.AddAttachment(L"logo.png", L"logo@shop", "one");
  m_outlook.AddAttachment(L"logo.png", L"second@shop", "two");
  m_outlook.AddAttachment(L"..\\..\\..\\evil.exe", L"evil@shop", "MZ");
  m_outlook.AddAttachment(L"notes.txt", L"", "no content id");
  m_outlook.AddAttachment(L"full.png", L"full@shop", "x", STG_E_MEDIUMFULL);

  CheckedMessage message;
  message.page = L"previous";
  EXPECT_TRUE(MessageEmbeddedContent(m_heads).CheckTideEmbed(*Mail(), false, &message));
  EXPECT_TRUE(message.embedFound);
  EXPECT_TRUE(message.activeWanted);
  EXPECT_EQ(message.page, L"previous");  // no HTML engine here

  std::vector<fs::path> folders;
  for (const auto& entry : fs::directory_iterator(Root()))
    folders.push_back(entry.path());
  ASSERT_EQ(folders.size(), 1u);
  std::vector<std::wstring> names;
  for (const auto& entry : fs::directory_iterator(folders[0]))
    names.push_back(entry.path().filename().wstring());
  std::sort(names.begin(), names.end());
  ASSERT_EQ(names.size(), 3u);
  int logos = 0;
  for (const std::wstring& name : names) {
    EXPECT_EQ(name.find_first_of(L"\\/:"), std::wstring::npos) << WideToUtf8(name);
    logos += name.find(L"_logo.png") != std::wstring::npos;
  }
  EXPECT_EQ(logos, 2);
  EXPECT_FALSE(fs::exists(Root().parent_path().parent_path() / "evil.exe"));

  CleanTempFolder();
  EXPECT_TRUE(fs::exists(Root()));
  EXPECT_TRUE(fs::is_empty(Root()));
}

TEST_F(StaticPageTest, APageWithoutRemoteContentKeepsTheCopiesUnderTheWindowsTemporaryFolder) {
  const std::wstring root = TemporaryRootUrl();
  ASSERT_EQ(root.substr(1, 2), L":/");  // a drive path with forward slashes
  const MarkupFilter filter(UrlPolicy(root, RemoteContent::kBlocked));
  for (const std::wstring& copy : {root + L"1_2/3_logo.png", L"file:///" + root + L"1_2/3_a.png"}) {
    const std::wstring image = L"<img src=\"" + copy + L"\" alt=\"logo\">";
    EXPECT_EQ(filter.FilterBody(image), image);
  }
  EXPECT_EQ(filter.FilterBody(L"<img src=\"\\\\host\\share\\x.png\"><img "
                              L"src=\"file://host/share/x.png\"><img src=\"//host/share/x.png\">"
                              L"<img src=\"https://t.example/x.png\"><img src=\"" +
                              root.substr(0, 3) + L"Windows/win.ini\">"),
            L"<img><img><img><img><img>");
}

TEST_F(StaticPageTest, ShellDeletionEmptiesAFolderAndKeepsIt) {
  TempFolder folder;
  const fs::path root = folder.path() / "outlook_temp";
  fs::create_directories(root / "1_5" / "deeper");
  WriteFileBytes(root / "1_5" / "2_a.png", "a");
  WriteFileBytes(root / "1_5" / "deeper" / "b", "b");
  WriteFileBytes(root / "loose.txt", "c");
  WriteFileBytes(folder.path() / "beside.txt", "keep");
  host::win32::Win32FileSystem files;
  files.EmptyDirectory(root.wstring());
  EXPECT_TRUE(fs::exists(root));
  EXPECT_TRUE(fs::is_empty(root));
  EXPECT_TRUE(fs::exists(folder.path() / "beside.txt"));
  files.EmptyDirectory((folder.path() / "missing").wstring());  // no error, no window
}

}  // namespace
}  // namespace tp::testing
