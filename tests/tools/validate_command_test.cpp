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
    const auto path = m_folder.path() / name;
    testing::WriteFileBytes(path, bytes);
    return path.string();
  }
  std::string Branded(const std::string& name, const std::string& json) {
    return File(name, kHead + ("<branding><![CDATA[" + json + "]]></branding></data></content>"));
  }
  // Runs the command; returns its status and keeps what it printed in m_output.
  int Run(const tool::Arguments& arguments) {
    ::testing::internal::CaptureStdout();
    const int status = tool::ValidateCommand(arguments);
    m_output = ::testing::internal::GetCapturedStdout();
    return status;
  }

  testing::TempFolder m_folder;
  std::string m_output;
};

TEST_F(ValidateCommandTest, ALoadedListShowsEachSenderAsTheAddinStoresIt) {
  const std::string path =
      Branded("good.xml",
              "{'branding':[{'name':'Zed','domain':'zed.com'},"
              "{'name':'Acme','domain':'Mail.ACME.com','spf':false,'dkimSigners':'A.net'},"
              "{'name':'Acme','domain':'acme.org','spfIfNoDKIM':1}]}");
  EXPECT_EQ(Run({path}), 0);
  EXPECT_THAT(m_output, HasSubstr("LOADED (status 0)"));
  EXPECT_THAT(m_output, HasSubstr("3 senders under 2 brand names, in the order the add-in "
                                  "searches them:\n"
                                  "  - name \"Acme\"  domain \"mail.acme.com\"  spf yes  "
                                  "spfIfNoDKIM no  dkimSigners \"a.net\"\n"
                                  "  - name \"Acme\"  domain \"acme.org\"  spf no  "
                                  "spfIfNoDKIM yes  dkimSigners \"\"\n"
                                  "  - name \"Zed\""));
  // The only warning: SPF vouches for Acme although its entry says false.
  EXPECT_THAT(m_output, HasSubstr("  warning: entry 2 (Acme): \"spf\" is present with a value "
                                  "that reads as no, yet SPF may vouch for this sender: the "
                                  "key's presence counts, not its value\n"));
  EXPECT_EQ(m_output.find("warning"), m_output.rfind("warning")) << m_output;
  EXPECT_EQ(m_output.find("refused"), std::string::npos) << m_output;
  EXPECT_EQ(m_output.find("add-in log"), std::string::npos) << m_output;
}

// Every entry whose domain is not a host name is listed as refused, with the reason; an "spf"
// key is warned about per entry whatever false-like value it holds; signer domains that are
// not host names are warned about.
TEST_F(ValidateCommandTest, DomainsThatAreNotHostNamesAreRefusedAndSpfValuesWarned) {
  const std::string path =
      Branded("domains.xml",
              "{'branding':[{'name':'Star','domain':'*'},{'name':'Wild','domain':'*.acme.com'},"
              "{'name':'Ip','domain':'192.0.2.1'},{'name':'Literal','domain':'[192.0.2.1]'},"
              "{'name':'Tld','domain':'com'},{'name':'Dot','domain':'acme.com.'},"
              "{'name':'Utf','domain':'b\u00fccher.com'},"
              "{'name':'Idn','domain':'xn--bcher-kva.com','spf':0},"
              "{'name':'Ok','domain':'acme.com','spf':null,'dkimSigners':'esp.com,*'},"
              "{'name':'Yes','domain':'yes.com','spf':'yes'}]}");
  EXPECT_EQ(Run({path}), 0);
  EXPECT_THAT(m_output, HasSubstr("3 senders under 3 brand names"));
  for (const char* line : {
           "refused: entry 1 (Star): the domain \"*\" is not a host name: it holds a wildcard\n",
           "refused: entry 2 (Wild): the domain \"*.acme.com\" is not a host name: it holds a "
           "wildcard\n",
           "refused: entry 3 (Ip): the domain \"192.0.2.1\" is not a host name: it is an IP "
           "address\n",
           "refused: entry 4 (Literal): the domain \"[192.0.2.1]\" is not a host name: it is an "
           "address literal\n",
           "refused: entry 5 (Tld): the domain \"com\" is not a host name: it is a single "
           "label\n",
           "refused: entry 6 (Dot): the domain \"acme.com.\" is not a host name: an empty "
           "label\n",
           "refused: entry 7 (Utf): the domain \"b\xC3\xBC"
           "cher.com\" is not a host name: a "
           "character that is not an ASCII letter, digit, hyphen or dot\n",
           "warning: entry 8 (Idn): \"spf\" is present with a value that reads as no",
           "warning: entry 9 (Ok): \"spf\" is present with a value that reads as no",
           "warning: Ok: the dkimSigners part \"*\" is not a host name (it holds a wildcard) "
           "and vouches for no one\n",
       }) {
    EXPECT_THAT(m_output, HasSubstr(line));
  }
  EXPECT_EQ(m_output.find("entry 10 (Yes)"), std::string::npos) << m_output;
  // The add-in's own log says the same.
  EXPECT_THAT(m_output, HasSubstr("add-in log: Skipping branding entry 1 (Star): the domain "
                                  "\"*\" is not a host name: it holds a wildcard\n"));
}

TEST_F(ValidateCommandTest, EntriesTheAddinSkipsOrCannotMatchAreShown) {
  const std::string path =
      Branded("odd.xml",
              "{\"branding\":[{\"name\":\"A\",\"domain\":\"\"},7,"
              "{\"name\":\"C\",\"domain\":\"c.com\",\"dkimSigners\":\"x.com, y.com\"}]}");
  EXPECT_EQ(Run({path}), 0);
  EXPECT_THAT(m_output, HasSubstr("1 senders under 1 brand names"));
  EXPECT_THAT(m_output,
              HasSubstr("add-in log: Skipping branding entry 1 (A): no name or no domain"));
  EXPECT_THAT(m_output, HasSubstr("add-in log: Skipping branding entry 2: not an object"));
  EXPECT_THAT(m_output, HasSubstr("warning: C: the dkimSigners part \" y.com\" has white space"));

  EXPECT_EQ(Run({Branded("empty.xml", "{'branding':[]}")}), 0);
  EXPECT_THAT(m_output, HasSubstr("LOADED (status 0)\n  no sender is branded\n"));
}

TEST_F(ValidateCommandTest, ARefusedEnvelopeSaysWhyAndWhere) {
  EXPECT_EQ(Run({File("space.xml", std::string(" ") + kHead + "</data></content>")}), 1);
  EXPECT_THAT(m_output, HasSubstr("REFUSED (status 1): the text does not begin with \"<?xml\""));
  EXPECT_THAT(m_output, HasSubstr("Senders list XML loading failed"));

  EXPECT_EQ(Run({File("entity.xml", std::string(kHead) + "\n&nbsp;</data></content>")}), 1);
  EXPECT_THAT(m_output, HasSubstr("the XML does not parse"));
  EXPECT_THAT(m_output, HasSubstr("at line 3, column 1: unknown entity \"&nbsp;\""));

  EXPECT_EQ(Run({File("nosenders.xml", "<?xml?><content><data/></content>")}), 1);
  EXPECT_THAT(m_output, HasSubstr("\"data\" has no \"senders\" element"));

  EXPECT_EQ(Run({(m_folder.path() / "missing.xml").string()}), 1);
  EXPECT_THAT(m_output, HasSubstr("the file cannot be read"));
}

TEST_F(ValidateCommandTest, AJsonSyntaxErrorShowsTheParsersMessageAndPosition) {
  const std::string path = Branded("bad.json.xml", "{'branding':[{'name':'O'Brien'}]}");
  EXPECT_EQ(Run({path}), 2);
  EXPECT_THAT(m_output, HasSubstr("JSON ERROR (status 2): Expected 'Comma (,)' but recieved "
                                  "'Brien\"}]}\n"));
  EXPECT_THAT(m_output, HasSubstr("at line 2, column 69 of the file"));
  EXPECT_THAT(m_output, HasSubstr("add-in log: Error parsing branding JSON: Expected 'Comma (,)'"));

  EXPECT_EQ(Run({Branded("blank.xml", " \n ")}), 2);
  EXPECT_THAT(m_output, HasSubstr("add-in log: Could not parse JSON"));
}

TEST_F(ValidateCommandTest, ParsedJsonWithoutUsableBrandingIsStatusThree) {
  EXPECT_EQ(Run({Branded("nokey.xml", "{'senders':[]}")}), 3);
  EXPECT_THAT(m_output, HasSubstr("the JSON root has no \"branding\" member"));
  EXPECT_THAT(m_output, HasSubstr("add-in log: could not locate branding in JSON"));
  EXPECT_EQ(Run({Branded("array.xml", "[{'branding':[]}]")}), 3);
  EXPECT_THAT(m_output, HasSubstr("the JSON root is not an object"));
  EXPECT_EQ(Run({Branded("object.xml", "{'branding':{}}")}), 3);
  EXPECT_THAT(m_output, HasSubstr("\"branding\" is not an array"));
  EXPECT_EQ(Run({File("nobranding.xml", std::string(kHead) + "</data></content>")}), 3);
  EXPECT_THAT(m_output, HasSubstr("\"data\" has no \"branding\" element"));
  EXPECT_EQ(Run({File("plain.xml", std::string(kHead) + "<branding>{}</branding></data>")}), 3);
  EXPECT_THAT(m_output, HasSubstr("\"branding\" holds no CDATA section"));
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
