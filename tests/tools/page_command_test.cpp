// tidepost page end to end: the page of an example message with an inline image, of an HTML
// file, and the command's refusals.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "commands.h"
#include "support/test_host.h"

namespace tp {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

const fs::path kExamples = fs::path(TP_SOURCE_DIR) / "examples";

struct Outcome {
  int status = 0;
  std::string out;
  std::string err;
};

Outcome Page(const tool::Arguments& arguments) {
  Outcome run;
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  run.status = tool::PageCommand(arguments);
  run.out = ::testing::internal::GetCapturedStdout();
  run.err = ::testing::internal::GetCapturedStderr();
  return run;
}

TEST(TidepostPageTest, AMessagesImagesAreCopiedAndThePageNamesTheCopies) {
  testing::TempFolder temp;
  const fs::path out = temp.path() / "page.html";
  const Outcome run =
      Page({"--out", out.string(),
            (kExamples / "mailbox" / "Gmail" / "06-blueheron-inline-image.eml").string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  const std::string page = testing::ReadFileBytes(out);
  EXPECT_THAT(page, HasSubstr("<base target=\"_blank\" href=\"http://www.tidepost.com/\">"));
  EXPECT_THAT(page, HasSubstr("<p>New arrivals for March: three novels and a field guide to "
                              "shore birds.</p>"));
  EXPECT_THAT(page, Not(HasSubstr("cid:")));

  const std::string kCopied = "tidepost: inline attachments copied to ";
  ASSERT_THAT(run.err, HasSubstr(kCopied));
  const size_t at = run.err.find(kCopied) + kCopied.size();
  const fs::path folder = run.err.substr(at, run.err.find('\n', at) - at);
  ASSERT_TRUE(fs::is_directory(folder)) << folder;
  const fs::path copy = *fs::directory_iterator(folder);
  EXPECT_THAT(copy.filename().string(), HasSubstr("_heron-logo.png"));
  EXPECT_EQ(testing::ReadFileBytes(copy).substr(1, 3), "PNG");
  EXPECT_THAT(page,
              HasSubstr("<img src=\"" + copy.generic_string() + "\" alt=\"Blue Heron Books\""));
  std::error_code ignored;
  fs::remove_all(folder.parent_path().parent_path().parent_path().parent_path(), ignored);
}

TEST(TidepostPageTest, AnHtmlFileIsTheBodyOfAMessageWithoutAttachments) {
  testing::TempFolder temp;
  const fs::path body = temp.path() / "body.html";
  testing::WriteFileBytes(body,
                          "<p onclick=\"go()\">caf\xC3\xA9<script>x()</script></p>"
                          "<a href=\"java&#9;script:x\">y</a>");
  const Outcome run = Page({body.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_THAT(run.out, HasSubstr("</head><body><p ap_denied=\"go()\">caf\xC3\xA9</p><a>y</a>"
                                 "</body></html>"));
  EXPECT_THAT(run.err, Not(HasSubstr("copied")));
}

TEST(TidepostPageTest, ThePageIsAnUnbrandedSendersUnlessToldAndStandardErrorSaysWhich) {
  testing::TempFolder temp;
  const fs::path body = temp.path() / "body.html";
  testing::WriteFileBytes(body,
                          "<body background=\"https://t.example/bg.png\"><p>Sale</p>"
                          "<img src=\"https://t.example/open.gif\" alt=\"x\">"
                          "<a href=\"https://shop.example/\">shop</a></body>");
  const Outcome unbranded = Page({body.string()});
  ASSERT_EQ(unbranded.status, 0) << unbranded.err;
  EXPECT_THAT(unbranded.out, HasSubstr("<body><p>Sale</p><img alt=\"x\"><a "
                                       "href=\"https://shop.example/\">shop</a></body>"));
  EXPECT_THAT(unbranded.err, HasSubstr("tidepost: the page of a sender that is not branded: "
                                       "remote content is left out (--sender-branded shows a "
                                       "branded sender's page)\n"));
  const Outcome branded = Page({"--sender-branded", body.string()});
  ASSERT_EQ(branded.status, 0) << branded.err;
  EXPECT_THAT(branded.out, HasSubstr("<body background=\"https://t.example/bg.png\"><p>Sale</p>"
                                     "<img src=\"https://t.example/open.gif\" alt=\"x\">"));
  EXPECT_THAT(branded.err,
              HasSubstr("tidepost: the page of a branded sender: remote content is kept\n"));
}

TEST(TidepostPageTest, RefusalsHaveTheirOwnStatus) {
  testing::TempFolder temp;
  EXPECT_EQ(Page({}).status, 64);
  EXPECT_EQ(Page({"a.eml", "b.eml"}).status, 64);
  EXPECT_EQ(Page({"--out"}).status, 64);
  EXPECT_EQ(Page({(temp.path() / "missing.html").string()}).status, 66);
  const fs::path plain = temp.path() / "plain.eml";
  testing::WriteFileBytes(plain, "From: a@b.example\r\nSubject: s\r\n\r\nonly text\r\n");
  const Outcome run = Page({plain.string()});
  EXPECT_EQ(run.status, 65);
  EXPECT_THAT(run.err, HasSubstr("has no HTML body"));
}

}  // namespace
}  // namespace tp
