// Building the static page around the HTML engine (a stand-in here, so that this runs
// natively and under Wine): the order of the engine's steps, what is done to the text before
// and after it, the head, and FixupHtml.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_html_engine.h"
#include "page/html_sanitizer.h"
#include "support/test_host.h"

namespace tp {
namespace {

const PageHeads kHeads{L"<html><head><title>2007</title></head>",
                       L"<html><head><title>2010</title></head>"};

constexpr wchar_t kWordStart[] = L"<html xmlns:v=\"urn:schemas-microsoft-com:vml\" x>";

class HtmlSanitizerTest : public testing::SimHostTest {
 protected:
  HtmlSanitizerTest() : m_installed(WithEngine()) {}

  std::wstring Page(const std::wstring& html) {
    std::wstring page = L"previous";
    result = HtmlSanitizer(kHeads, UrlPolicy{}).SanitizeHtml(html, &page);
    return page;
  }
  // The page without its head.
  std::wstring Body(const std::wstring& html) {
    const std::wstring page = Page(html);
    const size_t end = page.find(L"</head>");
    return end == std::wstring::npos ? page : page.substr(end + 7);
  }

  testing::FakeHtmlEngine engine;
  HResult result = hr::kOk;

 private:
  host::Host WithEngine() {
    host::Host host = sim().host();
    host.html = &engine;
    return host;
  }
  host::ScopedHost m_installed;
};

TEST_F(HtmlSanitizerTest, WithoutTheEngineThePageIsLeftAsItWas) {
  engine.available = false;
  EXPECT_EQ(Page(L"<p>x</p>"), L"previous");
  EXPECT_TRUE(hr::Failed(result));
  EXPECT_TRUE(Logged(L"Failed to create HTMLDocument instance"));
}

TEST_F(HtmlSanitizerTest, AFailedWriteLeavesThePageAndIsLogged) {
  engine.writeResult = static_cast<HResult>(0x80004005);
  EXPECT_EQ(Page(L"<p>x</p>"), L"previous");
  EXPECT_EQ(result, static_cast<HResult>(0x80004005));
  EXPECT_TRUE(Logged(L"Failed writing the message into the HTML document. Result=80004005x"));
}

TEST_F(HtmlSanitizerTest, TheEngineGetsTheNeutralisedTextAndStripsInOrder) {
  (void)Page(L"<p onclick=f()>a<script>x</script><a href=javascript:y>b</a></p>");
  EXPECT_EQ(engine.written, L"<p onclick=f()>a<a href=jxavascript:y>b</a></p>");
  EXPECT_EQ(engine.calls,
            (std::vector<std::wstring>{L"CreateDocument", L"Write", L"RemoveAll 0", L"RemoveAll 1",
                                       L"RemoveAll 2", L"RemoveAll 3", L"RemoveAll 4", L"Body"}));
}

TEST_F(HtmlSanitizerTest, WithoutABodyThePageIsEmptyHtml) {
  engine.hasBody = false;
  EXPECT_EQ(Page(L"<frameset>"), L"<html></html>");
  EXPECT_EQ(result, hr::kOk);
}

TEST_F(HtmlSanitizerTest, TheEnginesEmptyLeftoversAndEventAttributesGo) {
  engine.body =
      L"<BODY onload=go()><SCRIPT></SCRIPT><EMBED></EMBED><OBJECT></OBJECT><STYLE></STYLE>"
      L"<P\tONCLICK=\"f()\" class=a>x</P><P title=\"the\u00A0onion=1\">y</P></BODY>";
  EXPECT_EQ(Body(L"x"),
            L"<body ap_denied=\"go()\"><p ap_denied=\"f()\" class=\"a\">x</p>"
            L"<p title=\"the ap_denied=1\">y</p></body></html>");
}

TEST_F(HtmlSanitizerTest, EventAttributesAreRenamedAsTheExpressionMatchesThem) {
  struct Case {
    const wchar_t* input;
    const wchar_t* output;
  };
  const Case cases[] = {
      {L"<div onclick=\"f()\">", L"<div ap_denied=\"f()\">"},
      {L"<div onClick=f()>", L"<div ap_denied=f()>"},
      {L"<div\nONLOAD=x>", L"<div ap_denied=x>"},
      {L"<div on=x one =y>", L"<div on=x one =y>"},
      {L"<div x=a\u3000on_x=b>", L"<div x=a ap_denied=b>"},
      {L"a onb onc=", L"a onb ap_denied="},
      {L" on1= on2=", L" ap_denied= ap_denied="},
  };
  for (const Case& test : cases) {
    std::wstring html = test.input;
    RenameEventAttributes(&html);
    EXPECT_EQ(html, test.output) << ::testing::PrintToString(std::wstring(test.input));
  }
}

TEST_F(HtmlSanitizerTest, TheHeadFollowsTheWordLayout) {
  const std::wstring word2007 =
      std::wstring(kWordStart) + L"<meta name=Generator content=\"Microsoft Word 12 (x)\">";
  EXPECT_EQ(Page(word2007).substr(0, 27), L"<html><head><title>2007</ti");
  EXPECT_EQ(Page(std::wstring(kWordStart) + L"<meta name=Generator content=\"Microsoft Word 14\">")
                .substr(0, 27),
            L"<html><head><title>2010</ti");
  EXPECT_EQ(Page(L" " + std::wstring(kWordStart)).substr(0, PlainHead().size() - 7),
            PlainHead().substr(0, PlainHead().size() - 7));
  EXPECT_EQ(DetectWordLayout(L"<HTML xmlns:v=\"urn:schemas-microsoft-com:vml\""),
            WordLayout::kPlain);
}

TEST_F(HtmlSanitizerTest, CollectedStylesAndTheLayoutStyleGoBeforeTheHeadsEnd) {
  // The second style fails the style checks, the third is not collected (it holds '=').
  const std::wstring page = Page(std::wstring(kWordStart) +
                                 L"<style>p{color:red}</style><style>a{width:expression(x)}"
                                 L"</style><style type=x>b{}</style>text");
  EXPECT_EQ(page.substr(0, page.find(L"<body>")),
            L"<html><head><title>2010</title><style>p{color:red}</style>" +
                std::wstring(kLayoutStyle) + L"</head>");
}

TEST_F(HtmlSanitizerTest, PlainHeadAndHeadsWithoutTheirEnd) {
  EXPECT_EQ(PlainHead(),
            L"<html><head><meta http-equiv=\"X-UA-Compatible\" content=\"IE=8\"><meta "
            L"http-equiv=Content-Type content=\"text/html; charset=utf8\"><base target=\"_blank\" "
            L"href=\"http://www.tidepost.com/\"></head>");
  const PageHeads headless{L"", L"<html>"};
  std::wstring page;
  ASSERT_EQ(HtmlSanitizer(headless, UrlPolicy{}).SanitizeHtml(std::wstring(kWordStart), &page),
            hr::kOk);
  EXPECT_EQ(page.substr(0, 12), L"<html><body>");
}

TEST_F(HtmlSanitizerTest, FixupPointsContentIdsAtTheCopiesAndSwitchesConditions) {
  const ContentMap copies = {
      {L"logo", L"C:\\T\\1_logo.png"},
      {L"logo1", L"C:\\T\\2_logo.png"},
      {L"", L"C:\\T\\3_all.png"},     // would match every "cid:"
      {L"cid:x", L"C:\\T\\4_x.png"},  // holds the scheme itself
  };
  std::wstring html =
      L"<img src=\"cid:logo\"><img src=\"cid:logo1\"><img src=\"cid:logo12\">"
      L"<img src=\"cid:other\"><img src=\"CID:logo\">cid:cid:x"
      L"<![if !vml]><!--[if gte vml 1]><!--[if !mso]><!--[if gte mso 9]><!--[IF !MSO]>";
  FixupHtml(&html, copies);
  EXPECT_EQ(html,
            L"<img src=\"C:/T/1_logo.png\"><img src=\"C:/T/2_logo.png\">"
            L"<img src=\"C:/T/2_logo.png2\"><img src=\"cid:other\"><img src=\"CID:logo\">cid:cid:x"
            L"<![if true]><!--[if false]><!--[if true]><!--[if false]><!--[IF !MSO]>");
}

}  // namespace
}  // namespace tp
