// tidepost validate end to end: files in a temporary folder, each exit status, the report.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "commands.h"
#include "support/test_host.h"

namespace tp {
namespace {

using ::testing::HasSubstr;

constexpr char kHead[] = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<content><data><senders/>";

class ValidateCommandTest : public ::testing::Test {
 protected:
  // Writes a file and returns its path.
  std::string File(const std::string& name, const std::string& bytes) {
    const auto path = folder_.path() / name;
    testing::WriteFileBytes(path, bytes);
    return path.string();
  }
  std::string Branded(const std::string& name, const std::string& json) {
    return File(name, kHead + ("<branding><![CDATA[" + json + "]]></branding></data></content>"));
  }
  // Runs the command; returns its status and keeps what it printed in output_.
  int Run(const tool::Arguments& arguments) {
    ::testing::internal::CaptureStdout();
    const int status = tool::ValidateCommand(arguments);
    output_ = ::testing::internal::GetCapturedStdout();
    return status;
  }

  testing::TempFolder folder_;
  std::string output_;
};

TEST_F(ValidateCommandTest, ALoadedListShowsEachSenderAsTheAddinStoresIt) {
  const std::string path =
      Branded("good.xml",
              "{'branding':[{'name':'Zed','domain':'zed.com'},"
              "{'name':'Acme','domain':'Mail.ACME.com','spf':false,'dkimSigners':'A.net'},"
              "{'name':'Acme','domain':'acme.org','spfIfNoDKIM':1}]}");
  EXPECT_EQ(Run({path}), 0);
  EXPECT_THAT(output_, HasSubstr("LOADED (status 0)"));
  EXPECT_THAT(output_, HasSubstr("3 senders under 2 brand names, in the order the add-in "
                                 "searches them:\n"
                                 "  - name \"Acme\"  domain \"mail.acme.com\"  spf yes  "
                                 "spfIfNoDKIM no  dkimSigners \"a.net\"\n"
                                 "  - name \"Acme\"  domain \"acme.org\"  spf no  "
                                 "spfIfNoDKIM yes  dkimSigners \"\"\n"
                                 "  - name \"Zed\""));
  EXPECT_EQ(output_.find("warning"), std::string::npos) << output_;
  EXPECT_EQ(output_.find("add-in log"), std::string::npos) << output_;
}

TEST_F(ValidateCommandTest, EntriesTheAddinSkipsOrCannotMatchAreShown) {
  const std::string path =
      Branded("odd.xml",
              "{\"branding\":[{\"name\":\"A\",\"domain\":\"\"},7,"
              "{\"name\":\"C\",\"domain\":\"c.com\",\"dkimSigners\":\"x.com, y.com\"}]}");
  EXPECT_EQ(Run({path}), 0);
  EXPECT_THAT(output_, HasSubstr("1 senders under 1 brand names"));
  EXPECT_THAT(output_,
              HasSubstr("add-in log: Skipping branding entry 1 (A): no name or no domain"));
  EXPECT_THAT(output_, HasSubstr("add-in log: Skipping branding entry 2: not an object"));
  EXPECT_THAT(output_, HasSubstr("warning: C: the dkimSigners part \" y.com\" has white space"));

  EXPECT_EQ(Run({Branded("empty.xml", "{'branding':[]}")}), 0);
  EXPECT_THAT(output_, HasSubstr("LOADED (status 0)\n  no sender is branded\n"));
}

TEST_F(ValidateCommandTest, ARefusedEnvelopeSaysWhyAndWhere) {
  EXPECT_EQ(Run({File("space.xml", std::string(" ") + kHead + "</data></content>")}), 1);
  EXPECT_THAT(output_, HasSubstr("REFUSED (status 1): the text does not begin with \"<?xml\""));
  EXPECT_THAT(output_, HasSubstr("Senders list XML loading failed"));

  EXPECT_EQ(Run({File("entity.xml", std::string(kHead) + "\n&nbsp;</data></content>")}), 1);
  EXPECT_THAT(output_, HasSubstr("the XML does not parse"));
  EXPECT_THAT(output_, HasSubstr("at line 3, column 1: unknown entity \"&nbsp;\""));

  EXPECT_EQ(Run({File("nosenders.xml", "<?xml?><content><data/></content>")}), 1);
  EXPECT_THAT(output_, HasSubstr("\"data\" has no \"senders\" element"));

  EXPECT_EQ(Run({(folder_.path() / "missing.xml").string()}), 1);
  EXPECT_THAT(output_, HasSubstr("the file cannot be read"));
}

TEST_F(ValidateCommandTest, AJsonSyntaxErrorShowsTheParsersMessageAndPosition) {
  const std::string path = Branded("bad.json.xml", "{'branding':[{'name':'O'Brien'}]}");
  EXPECT_EQ(Run({path}), 2);
  EXPECT_THAT(output_, HasSubstr("JSON ERROR (status 2): Expected 'Comma (,)' but recieved "
                                 "'Brien\"}]}\n"));
  EXPECT_THAT(output_, HasSubstr("at line 2, column 69 of the file"));
  EXPECT_THAT(output_, HasSubstr("add-in log: Error parsing branding JSON: Expected 'Comma (,)'"));

  EXPECT_EQ(Run({Branded("blank.xml", " \n ")}), 2);
  EXPECT_THAT(output_, HasSubstr("add-in log: Could not parse JSON"));
}

TEST_F(ValidateCommandTest, ParsedJsonWithoutUsableBrandingIsStatusThree) {
  EXPECT_EQ(Run({Branded("nokey.xml", "{'senders':[]}")}), 3);
  EXPECT_THAT(output_, HasSubstr("the JSON root has no \"branding\" member"));
  EXPECT_THAT(output_, HasSubstr("add-in log: could not locate branding in JSON"));
  EXPECT_EQ(Run({Branded("array.xml", "[{'branding':[]}]")}), 3);
  EXPECT_THAT(output_, HasSubstr("the JSON root is not an object"));
  EXPECT_EQ(Run({Branded("object.xml", "{'branding':{}}")}), 3);
  EXPECT_THAT(output_, HasSubstr("\"branding\" is not an array"));
  EXPECT_EQ(Run({File("nobranding.xml", std::string(kHead) + "</data></content>")}), 3);
  EXPECT_THAT(output_, HasSubstr("\"data\" has no \"branding\" element"));
  EXPECT_EQ(Run({File("plain.xml", std::string(kHead) + "<branding>{}</branding></data>")}), 3);
  EXPECT_THAT(output_, HasSubstr("\"branding\" holds no CDATA section"));
}

TEST_F(ValidateCommandTest, SeveralFilesGiveTheWorstStatus) {
  const std::string good = Branded("good.xml", "{'branding':[]}");
  const std::string bad = Branded("bad.xml", "{");
  const std::string none = Branded("none.xml", "{}");
  EXPECT_EQ(Run({good, bad, none}), 3);
  EXPECT_EQ(Run({good, bad}), 2);
  EXPECT_EQ(Run({good, File("bom.xml", "\xEF\xBB\xBF" + testing::ReadFileBytes(good))}), 0);
  EXPECT_EQ(Run({}), 64);
}

}  // namespace
}  // namespace tp
