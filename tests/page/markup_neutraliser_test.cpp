// The neutralising stage: its documented results, and the same text as the reference
// (restart-from-the-start) algorithm on hand-picked and generated inputs.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "literal_neutraliser.h"
#include "page/markup_neutraliser.h"

namespace tp {
namespace {

struct Neutralised {
  std::wstring html;
  std::wstring styles;
};

Neutralised Linear(std::wstring html) {
  std::vector<std::wstring> styles;
  NeutraliseMarkup(&html, &styles);
  Neutralised result{std::move(html), {}};
  for (const std::wstring& style : styles)
    result.styles += style;
  return result;
}

Neutralised Literal(std::wstring html) {
  Neutralised result;
  testing::LiteralNeutraliseMarkup(&html, &result.styles);
  result.html = std::move(html);
  return result;
}

void ExpectSameAsLiteral(const std::wstring& input) {
  const Neutralised linear = Linear(input);
  const Neutralised literal = Literal(input);
  EXPECT_EQ(linear.html, literal.html) << "input: " << ::testing::PrintToString(input);
  EXPECT_EQ(linear.styles, literal.styles) << "input: " << ::testing::PrintToString(input);
}

TEST(MarkupNeutraliserTest, DocumentedResults) {
  struct Case {
    const wchar_t* input;
    const wchar_t* html;
    const wchar_t* styles;
  };
  const Case cases[] = {
      // Script elements go whole, whatever their case.
      {L"a<SCRIPT>alert(1)</SCRIPT>b", L"ab", L""},
      {L"a<ScRiPt src=x></sCrIpT >b", L"ab", L""},
      // Style elements move to the head when they hold no "script", "url" or "=".
      {L"<style>p{color:red}</style>x", L"x", L"<style>p{color:red}</style>"},
      {L"<STYLE>P{}</STYLE>x", L"x", L"<STYLE>P{}</style>"},
      {L"<style type=\"text/css\">a{}</style>x", L"x", L""},
      {L"<style>a{background:URL(x)}</style>x", L"x", L""},
      {L"<style>a{x:java s cript}</style>x", L"x", L""},
      // Script URLs keep their own case.
      {L"<a href=\"JavaScript:go()\">", L"<a href=\"JxavaScript:go()\">", L""},
      {L"VBScript:x vbs:y", L"VxBScript:x vxbs:y", L""},
      // Elements without a closing tag stay, neutralised.
      {L"<input type=text><meta x>", L"<xinput type=text><xmeta x>", L""},
      // "<frame" and "</frame" also match a frameset's tags, which go with the frame pair;
      // the frameset pair looks for "<x/frame", which never occurs.
      {L"<frameset><frame src=a></frameset>b", L"b", L""},
      {L"<frame>a</frame>b", L"b", L""},
      // Without its closing mark, or the '>' after it, the removal stops for that pair.
      {L"<iframe src=a>b", L"<xiframe src=a>b", L""},
      {L"<iframe>a</iframe", L"<xiframe>a</xiframe", L""},
      {L"<object>a</object>b<object>", L"b<xobject>", L""},
  };
  for (const Case& test : cases) {
    const Neutralised result = Linear(test.input);
    EXPECT_EQ(result.html, test.html) << ::testing::PrintToString(test.input);
    EXPECT_EQ(result.styles, test.styles) << ::testing::PrintToString(test.input);
  }
}

TEST(MarkupNeutraliserTest, MatchesTheReferenceWhereEditsMeet) {
  // Cuts join the text around them; marks and patterns may form across the joint.
  const wchar_t* const inputs[] = {
      L"<scr<script>x</script>ipt>alert(1)</scr<script></script>ipt>",
      L"<sty<style>a</style>le>b{}</style>",
      L"<x<style></style>style>p{}</xstyle>",
      L"<xsty<style>q</style>le>z</xstyle>tail",
      L"<<script>a</script>xscript>b</xscript>c",
      L"<style>a<style>b</style>c</style>",
      L"<style>a</style</style>>",
      L"</sty<style>x</style>le></style>",
      L"java<script></script>script:",
      L"<iframe><iframe>a</iframe>b</iframe>",
      L"<iframe>a</iframe</iframe>>",
      L"<frameset></frame></frameset></frame>x>",
      L"<xstyle>already</xstyle>",
      L"<XSTYLE>upper</XsTyLe >",
      L"<style>a</xstyle>",
      L"<style>>>>",
      L"</style><style>",
      L"<embed><form><input><audio><video><meta><marquee></marquee></meta></video></audio>"
      L"</input></form></embed>",
      L"jjavascript:avascript: vvbs:bs: vbscript:vbscript:",
      L"<s\u0130yle><style>\u212Aa</style>",
  };
  for (const wchar_t* input : inputs)
    ExpectSameAsLiteral(input);
}

TEST(MarkupNeutraliserTest, MatchesTheReferenceOnGeneratedText) {
  // Text built from the pieces of every pattern and mark, so that partial and joined
  // patterns are common.
  const std::wstring pieces[] = {
      L"<",      L"</",      L">",          L"x",       L"X",        L"style",    L"STYLE",
      L"script", L"sc",      L"ript",       L"iframe",  L"frame",    L"frameset", L"object",
      L"embed",  L"form",    L"input",      L"audio",   L"video",    L"meta",     L"marquee",
      L"java",   L"script:", L"vb",         L"s:",      L"vbs:",     L" ",        L"=",
      L"url",    L"p{}",     L"a",          L"<xstyle", L"</xstyle", L"<script",  L"</script",
      L"<style", L"</style", L"javascript:"};
  std::mt19937 random(20240611);
  std::uniform_int_distribution<size_t> piece(0, std::size(pieces) - 1);
  std::uniform_int_distribution<int> length(1, 60);
  for (int run = 0; run < 3000; ++run) {
    std::wstring input;
    for (int count = length(random); count > 0; --count)
      input += pieces[piece(random)];
    ExpectSameAsLiteral(input);
    if (::testing::Test::HasFailure())
      return;
  }
}

}  // namespace
}  // namespace tp
