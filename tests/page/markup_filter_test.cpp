// The markup filter on markup as an engine may write it (MSHTML writes unquoted values and
// upper-case names): everything that can run script or redirect the page goes, in any
// encoding, and ordinary markup is written in the canonical form.
#include <gtest/gtest.h>

#include <string>

#include "page/markup_filter.h"

namespace tp {
namespace {

constexpr wchar_t kCopies[] = L"C:/Users/ann/AppData/Local/Temp/Tidepost/outlook_temp/";

// A branded sender's page, which may load remote content.
std::wstring Filter(const std::wstring& html) {
  return MarkupFilter(UrlPolicy(kCopies, RemoteContent::kAllowed)).FilterBody(html);
}

// The page of a sender the decision does not vouch for, which loads nothing remote.
std::wstring FilterNotBranded(const std::wstring& html) {
  return MarkupFilter(UrlPolicy(kCopies, RemoteContent::kBlocked)).FilterBody(html);
}

struct Case {
  const wchar_t* input;
  const wchar_t* output;
};

template <size_t N>
void ExpectAll(const Case (&cases)[N], std::wstring (*filter)(const std::wstring&) = &Filter) {
  for (const Case& test : cases)
    EXPECT_EQ(filter(test.input), test.output) << ::testing::PrintToString(test.input);
}

// Each value goes from each attribute of a link.
template <size_t V, size_t A>
void ExpectDropped(const wchar_t* const (&values)[V], const wchar_t* const (&attributes)[A],
                   std::wstring (*filter)(const std::wstring&)) {
  for (const wchar_t* attribute : attributes) {
    for (const wchar_t* value : values) {
      const std::wstring input = std::wstring(L"<a ") + attribute + L"=\"" + value + L"\">x</a>";
      EXPECT_EQ(filter(input), L"<a>x</a>") << ::testing::PrintToString(input);
    }
  }
}

TEST(MarkupFilterTest, EventAttributesGoInEveryForm) {
  const Case cases[] = {
      {L"<IMG src=x onerror=alert(1)>", L"<img src=\"x\">"},
      {L"<img/src=\"x\"/onerror=\"alert(1)\">", L"<img src=\"x\">"},
      {L"<div ONCLICK='f()' class=a>", L"<div class=\"a\">"},
      {L"<img src=x onerror\n=alert(1)>", L"<img src=\"x\">"},
      {L"<img src=x onerror\t\t=\talert(1)>", L"<img src=\"x\">"},
      {L"<p x:onclick=f() xlink:onmouseover=g() one-x:y=1 xml:base=x>", L"<p>"},
      {L"<body onload=go() bgcolor=white>", L"<body bgcolor=\"white\">"},
      {L"<img src=x =onerror=alert(1)>", L"<img src=\"x\">"},
      {L"<img src=x on\u00E9rror=alert(1)>", L"<img src=\"x\">"},  // not a name we write
      {L"<a ap_denied=\"f()\">x</a>", L"<a ap_denied=\"f()\">x</a>"},
  };
  ExpectAll(cases);
}

TEST(MarkupFilterTest, ScriptUrlsGoFromEveryAttributeInEveryEncoding) {
  const wchar_t* const values[] = {
      L"javascript:alert(1)",
      L"JAVASCRIPT:alert(1)",
      L"&#106;avascript:alert(1)",
      L"&#x6A;avascript:alert(1)",
      L"&#0000106avascript:alert(1)",
      L"&#X6a&#X61vascript:alert(1)",
      L"java&#9;script:alert(1)",
      L"java&#x0A;script:alert(1)",
      L"java&#13;script:alert(1)",
      L" &#1;javascript:alert(1)",
      L"\tjava\nscript:alert(1)",
      L"javascript&#58;alert(1)",
      L"vbscript:msgbox(1)",
      L"VBS:msgbox(1)",
      L"livescript:x",
      L"data:text/html;base64,PHNjcmlwdD5hbGVydCgxKTwvc2NyaXB0Pg==",
      L"&#x64;ata:text/html,x",
      L"file:///c:/windows/system32/calc.exe",
      L"ms-msdt:/id x",
      L"search-ms:query=x",
      L"\\\\attacker\\share\\x.png",
      L"C:/Windows/win.ini",
      L"vbscript&#x3A;x",
  };
  const wchar_t* const attributes[] = {L"href",       L"src",    L"action",     L"formaction",
                                       L"background", L"poster", L"xlink:href", L"lowsrc",
                                       L"dynsrc",     L"data",   L"cite",       L"longdesc",
                                       L"folder",     L"icon",   L"srcset"};
  ExpectDropped(values, attributes, &Filter);
  // An attribute that holds no URL may hold any text, but never a script URL.
  EXPECT_EQ(Filter(L"<div title=\"java&#9;script:x\" lang=en>"), L"<div lang=\"en\">");
  EXPECT_EQ(Filter(L"<div title=\"note: javascript\">"), L"<div title=\"note: javascript\">");
  EXPECT_EQ(Filter(L"<img srcset=\"ok.png 1x, va\tscript:x 2x\">"), L"<img>");
}

TEST(MarkupFilterTest, LinksAndImagesOfOrdinaryMailStay) {
  const Case cases[] = {
      {L"<a href=\"https://shop.example/x?a=1&amp;b=2#top\">",
       L"<a href=\"https://shop.example/x?a=1&amp;b=2#top\">"},
      {L"<a href=http://a.example/>", L"<a href=\"http://a.example/\">"},
      {L"<a href=\"mailto:help@shop.example?subject=Hi\">",
       L"<a href=\"mailto:help@shop.example?subject=Hi\">"},
      {L"<a href=\"/account\"><a href=\"#top\"><a href=\"?x=1\">",
       L"<a href=\"/account\"><a href=\"#top\"><a href=\"?x=1\">"},
      {L"<img src=\"cid:logo@shop\" width=10>", L"<img src=\"cid:logo@shop\" width=\"10\">"},
      {L"<img src=\"data:image/png;base64,iVBORw0KGgo=\">",
       L"<img src=\"data:image/png;base64,iVBORw0KGgo=\">"},
      {L"<img src=\"C:/Users/ann/AppData/Local/Temp/Tidepost/outlook_temp/3_9/4_logo.png\">",
       L"<img src=\"C:/Users/ann/AppData/Local/Temp/Tidepost/outlook_temp/3_9/4_logo.png\">"},
      // Local files elsewhere, or out of the copies' folder, are not loaded.
      {L"<img src=\"C:/Users/ann/AppData/Local/Temp/Tidepost/outlook_temp/../../secret.png\">",
       L"<img>"},
      {L"<img src=\"C:/Users/ann/Pictures/x.png\">", L"<img>"},
      // The copies as file URLs, as an engine may write them back; nothing else local.
      {L"<img src=\"file:///C:/Users/ann/AppData/Local/Temp/Tidepost/outlook_temp/3_9/4_a.png\">",
       L"<img src=\"file:///C:/Users/ann/AppData/Local/Temp/Tidepost/outlook_temp/3_9/4_a.png\">"},
      {L"<img src=\"file:///C:/Users/ann/AppData/Local/Temp/Tidepost/outlook_temp/../x.png\">",
       L"<img>"},
      {L"<img src=\"file:C:/Users/ann/AppData/Local/Temp/Tidepost/outlook_temp/3_9/4_a.png\">",
       L"<img>"},
      {L"<a href=\"file:///C:/Users/ann/AppData/Local/Temp/Tidepost/outlook_temp/3_9/4_a.png\">"
       L"a</a>",
       L"<a>a</a>"},
      {L"<td background=\"https://img.example/bg.gif\">",
       L"<td background=\"https://img.example/bg.gif\">"},
      {L"<img srcset=\"a.png 1x, https://img.example/b.png 2x\">",
       L"<img srcset=\"a.png 1x, https://img.example/b.png 2x\">"},
      // The neutralising stage's harmless schemes stay as it wrote them in links; there is
      // nothing to load from them.
      {L"<a href=\"JxavaScript:go()\">", L"<a href=\"JxavaScript:go()\">"},
      {L"<img src=\"jxavascript:go()\" dynsrc=\"vxbs:x\">", L"<img>"},
  };
  ExpectAll(cases);
}

TEST(MarkupFilterTest, ElementsThatRunOrRedirectGo) {
  const Case cases[] = {
      {L"a<SCRIPT>alert(1)</SCRIPT>b", L"ab"},
      {L"a<script>x</script b>c", L"ac"},
      {L"a<iframe src=\"https://x\">fallback</iframe>b", L"ab"},
      {L"a<noembed><img src=x onerror=alert(1)></noembed>b", L"ab"},
      {L"<base href=\"http://attacker.example/\"><a href=\"x\">", L"<a href=\"x\">"},
      {L"<meta http-equiv=refresh content=\"0;url=http://x\"><link rel=stylesheet href=x.css>",
       L""},
      {L"<object data=x.swf><param name=a value=b><embed src=x.swf>fallback</object>", L"fallback"},
      {L"<applet code=A.class>text</applet><frameset><frame src=x></frameset>", L"text"},
      {L"<svg><a xlink:href=\"#x\"><text>t</text></a></svg><math><mi>m</mi></math>",
       L"<a xlink:href=\"#x\"><text>t</text></a><mi>m</mi>"},
      {L"<x:script>alert(1)</x:script><html:iframe>t</html:iframe>", L"alert(1)t"},
      // The engine removes forms; one under a prefix is no form to it, but loses its tags too.
      {L"<o:form action=\"https://x.example/\">t</o:form>", L"t"},
      {L"<xml id=i><x>data</x></xml><isindex action=x>", L"<x>data</x>"},
      {L"<template><b>t</b></template>", L"<b>t</b>"},
      // Their content is text: shown as written, in a pre element.
      {L"<xmp><b>&amp;</b></xmp>", L"<pre>&lt;b&gt;&amp;amp;&lt;/b&gt;</pre>"},
      {L"<plaintext><i>x</plaintext>", L"<pre>&lt;i&gt;x</pre>"},
      // Text elements keep their text, escaped.
      {L"<textarea><script>x</script> &amp;</textarea>",
       L"<textarea>&lt;script&gt;x&lt;/script&gt; &amp;</textarea>"},
      {L"<body><p>a</p><body onload=x><p>b</p></body>", L"<body><p>a</p><p>b</p></body>"},
      {L"<!DOCTYPE html><?xml version=\"1.0\"?><?import namespace=x implementation=y.htc>t", L"t"},
  };
  ExpectAll(cases);
}

TEST(MarkupFilterTest, StyleElementsAndAttributesThatRunScriptGo) {
  const Case cases[] = {
      {L"<style>p{color:red}</style>", L"<style>p{color:red}</style>"},
      {L"<style>p{width:expression(alert(1))}</style>x", L"x"},
      {L"<style>@import 'https://x/y.css';</style>x", L"x"},
      {L"<p style=\"color:red;width:expression(alert(1))\">", L"<p style=\"color:red\">"},
      {L"<p style=\"behavior:url(x.htc)\">", L"<p>"},
      {L"<p STYLE=\"COLOR: RED; -moz-binding: url(x.xml#y)\">", L"<p style=\"COLOR: RED\">"},
      {L"<p style=\"background:url(javascript:alert(1))\">", L"<p>"},
      {L"<p style=\"background:url(&quot;https://img.example/a.png&quot;)\">",
       L"<p style=\"background:url(&quot;https://img.example/a.png&quot;)\">"},
  };
  ExpectAll(cases);
}

TEST(MarkupFilterTest, OnlyConditionalCommentsStayAndTheirContentIsFilteredToo) {
  const Case cases[] = {
      {L"a<!-- a note -->b<!---->c<!-->d", L"abcd"},
      {L"<!--[if mso]><table><tr><td><![endif]-->", L"<!--[if mso]><table><tr><td><![endif]-->"},
      {L"<!--[if (gte mso 9)|(IE)]><img src=x onerror=alert(1)><a href=javascript:x>a</a>"
       L"<![endif]-->",
       L"<!--[if (gte mso 9)|(IE)]><img src=\"x\"><a>a</a><![endif]-->"},
      // The content may hold no comment of its own: it could end the outer one early.
      {L"<!--[if IE]>a<!b>c<?d>e<![endif]-->", L"<!--[if IE]>ace<![endif]-->"},
      {L"<!--[if IE]>a<!-- b -->c<![endif]-->", L"c"},
      {L"<!--[if false]><script>alert(1)</script><![endif]-->x", L"x"},
      {L"<!--[if true]><!-->shown<!--<![endif]-->", L"<!--[if true]><!-->shown<!--<![endif]-->"},
      {L"<!--[if !mso]><!-- -->shown<!--<![endif]-->", L"<!--[if !mso]><!-->shown<!--<![endif]-->"},
      {L"<![if !vml]><img src=\"cid:a\"><![endif]>", L"<![if !vml]><img src=\"cid:a\"><![endif]>"},
      // Conditions other browsers could read as markup, and unterminated forms, go.
      {L"<!--[if <script>]>x<![endif]-->y", L"y"},
      {L"<!--[if IE]>x-->y", L"y"},
      {L"<![if IE\"><img src=x onerror=alert(1)>]>", L"<img src=\"x\">]&gt;"},
  };
  ExpectAll(cases);
}

TEST(MarkupFilterTest, MarkupIsWrittenInOneCanonicalForm) {
  const Case cases[] = {
      {L"<TABLE Border=0 class=x><TR><TD>a</TD></TR></TABLE>",
       L"<table border=\"0\" class=\"x\"><tr><td>a</td></tr></table>"},
      {L"<p title='say \"hi\" `now`' title=dup>",
       L"<p title=\"say &quot;hi&quot; &#96;now&#96;\">"},
      {L"<p title=\"a&lt;b&gt;c&amp;d&copy&nbsp;\">",
       L"<p title=\"a&lt;b&gt;c&amp;d\u00A9&nbsp;\">"},
      {L"<a href=\"?a=1&copy=2\">", L"<a href=\"?a=1&amp;copy=2\">"},
      {L"a < b > c &amp; d &nbsp;", L"a &lt; b &gt; c &amp; d &nbsp;"},
      {L"<br/><o:p></o:p><v:imagedata src=\"cid:x\"/>",
       L"<br/><o:p></o:p><v:imagedata src=\"cid:x\"/>"},
      {L"<p a\"b=1 c=2>", L"<p c=\"2\">"},
      {L"<a-->x</a-->", L"x"},
      {L"<p>cut<img src=\"x", L"<p>cut"},
  };
  ExpectAll(cases);
}

TEST(MarkupFilterTest, AnimationAndTimedElementsGoWithTheirAttributesAndKeepTheirWords) {
  const Case cases[] = {
      {L"<svg><set attributeName=href to=\"javascript:alert(1)\"/><a href=\"https://ok.example/"
       L"\">ok</a></svg>",
       L"<a href=\"https://ok.example/\">ok</a>"},
      {L"<animate attributeName=\"href\" values=\"#a;&#106;avascript:alert(1)\">words</animate>",
       L"words"},
      {L"<SVG:ANIMATE attributename=x>a</SVG:ANIMATE><x:animateMotion><mpath xlink:href=\"#p\"/>"
       L"</x:animateMotion><animateTransform/><animateColor/><discard/>b",
       L"ab"},
      // HTML+TIME, under whatever prefix: its elements go, the content of its containers stays.
      {L"<t:set attributeName=innerHTML to=\"&lt;img src=x onerror=alert(1)&gt;\"/>text", L"text"},
      {L"<time:SET targetElement=a attributeName=innerHTML to=\"&lt;b&gt;\"></time:SET>", L""},
      {L"<my:par><p class=x>words</p></my:par><T:SEQ><t:img src=\"https://x.example/a.gif\"/>"
       L"</T:SEQ><z:media src=x></z:media><q:transitionFilter type=fade/>",
       L"<p class=\"x\">words</p>"},
      // An image without a prefix is an image; Office's own elements stay.
      {L"<img src=\"cid:a\" alt=\"A\"><o:p>b</o:p>", L"<img src=\"cid:a\" alt=\"A\"><o:p>b</o:p>"},
      {L"<!--[if IE]><t:set attributeName=innerHTML to=x/><b>kept</b><![endif]-->",
       L"<!--[if IE]><b>kept</b><![endif]-->"},
  };
  ExpectAll(cases);
}

TEST(MarkupFilterTest, AttributesThatWriteIntoOtherAttributesGoFromEveryElement) {
  const Case cases[] = {
      {L"<div attributeName=innerHTML to=\"&lt;b&gt;\" from=a by=b class=x>w</div>",
       L"<div class=\"x\">w</div>"},
      {L"<span t:begin=0 T:DUR=5 t:timeAction=display timecontainer=par "
       L"TARGETELEMENT=y title=keep>w</span>",
       L"<span title=\"keep\">w</span>"},
      {L"<p values=\"a;b\" keyTimes=\"0;1\" calcMode=discrete lang=en>", L"<p lang=\"en\">"},
  };
  ExpectAll(cases);
}

TEST(MarkupFilterTest, ListsAreReadItemByItemWhateverTheSeparator) {
  const Case cases[] = {
      {L"<img srcset=\"ok.png 1x,javascript:alert(1) 2x\" alt=a>", L"<img alt=\"a\">"},
      {L"<img srcset=\"ok.png 1x, java&#9;script:x 2x\">", L"<img>"},
      {L"<div data-values=\"a;vbscript:msgbox(1)\" data-list=\"a|b\">", L"<div data-list=\"a|b\">"},
      {L"<p title=\"one; two, three\" data-x=\"x ecmascript:y\">",
       L"<p title=\"one; two, three\">"},
      {L"<a href=\"https://shop.example/?a=1;b=2,c=3\">s</a>",
       L"<a href=\"https://shop.example/?a=1;b=2,c=3\">s</a>"},
  };
  ExpectAll(cases);
}

TEST(MarkupFilterTest, NoNetworkPathStaysInAnyAttribute) {
  const wchar_t* const values[] = {
      L"\\\\attacker\\share\\x.png",
      L"&#92;&#92;attacker&#92;share",
      L"&#x5C;/attacker/share",
      L"//attacker/share/x.png",
      L"/&#47;attacker/share/x.png",
      L" \t/\n/attacker/x.png",
      L"file://attacker/share/x.png",
      L"FILE:////attacker/share/x.png",
      L"fi&#x6C;e:&#x2F;/attacker/x.png",
      L"file:\\\\attacker\\x.png",
      L"ok.png 1x, //attacker/x.png 2x",
      L"ok.png;file://attacker/x",
      L"progid:DXImageTransform.Microsoft.AlphaImageLoader(src='x.png')",
      L"PROG&#73;D:x",
  };
  const wchar_t* const attributes[] = {
      L"href",   L"src",    L"background", L"lowsrc", L"dynsrc", L"srcset", L"title", L"alt",
      L"data-x", L"o:href", L"xlink:href", L"folder", L"class",  L"usemap", L"vrml",  L"cite"};
  ExpectDropped(values, attributes, &Filter);
  ExpectDropped(values, attributes, &FilterNotBranded);
  // The copies as file URLs and web URLs with double slashes stay.
  const Case kept[] = {
      {L"<img src=\"file:///C:/Users/ann/AppData/Local/Temp/Tidepost/outlook_temp/1_2/3_a.png\" "
       L"alt=\"a\\b\">",
       L"<img src=\"file:///C:/Users/ann/AppData/Local/Temp/Tidepost/outlook_temp/1_2/3_a.png\" "
       L"alt=\"a\\b\">"},
      {L"<a href=\"https://shop.example/a//b?u=https://x.example/\">s</a>",
       L"<a href=\"https://shop.example/a//b?u=https://x.example/\">s</a>"},
  };
  ExpectAll(kept);
  ExpectAll(kept, &FilterNotBranded);
}

TEST(MarkupFilterTest, TheUnbrandedPageLoadsNothingRemoteAndKeepsItsLinksAndInlineImages) {
  const Case cases[] = {
      {L"<img src=\"https://t.example/open.gif?u=1\" alt=\"Sale\" width=1>",
       L"<img alt=\"Sale\" width=\"1\">"},
      {L"<IMG SRC=\" HTTP://t.example/p.gif\"><img src=\"h&#116;tps://t.example/p.gif\">",
       L"<img><img>"},
      {L"<img src=\"//t.example/p.gif\"><img src=\"p.gif\"><img src=\"\"><img src=\"/p.gif\">",
       L"<img><img><img><img>"},
      {L"<body background=\"https://t.example/bg.png\" bgcolor=white>",
       L"<body bgcolor=\"white\">"},
      {L"<table background=\"http://t.example/bg.png\"><tr><td background=\"//t.example/x\">t",
       L"<table><tr><td>t"},
      {L"<img lowsrc=\"http://t.example/a\" dynsrc=\"https://t.example/b\" "
       L"vrml=\"http://t.example/c\" usemap=\"https://t.example/m#m\">",
       L"<img>"},
      {L"<img srcset=\"cid:a 1x, https://t.example/b.png 2x\">", L"<img>"},
      {L"<picture><source srcset=\"https://t.example/a.webp\"><img src=\"cid:a\"></picture>",
       L"<picture><source><img src=\"cid:a\"></picture>"},
      {L"<v:imagedata src=\"http://t.example/a.png\" o:href=\"http://t.example/b.png\" "
       L"o:title=\"\"/>",
       L"<v:imagedata o:title=\"\"/>"},
      {L"<image href=\"https://t.example/a.png\"><div data-bg=\"url=https://t.example/bg\">",
       L"<image><div>"},
      // A control character before a scheme: one parser drops it, another reads a relative
      // URL, which loads from the page's base.
      {L"<e href=\"&#1;cid:x\"><img src=\"\x01"
       L"cid:y\">",
       L"<e><img>"},
      {L"<p class=\"x https://t.example/\" rel=\"x https://t.example/\">", L"<p>"},
      {L"<blockquote cite=\"https://t.example/q\">q</blockquote><img "
       L"longdesc=\"http://t.example/\" "
       L"folder=\"https://t.example/f\"><button formaction=\"https://t.example/b\">b</button>",
       L"<blockquote>q</blockquote><img><button>b</button>"},
      // A web URL after another scheme's ':' is an item of its own to a reader of lists.
      {L"<a stylhref=\"vxbscript:https://t.example/\">a</a>", L"<a>a</a>"},
      {L"<b href=\"vxbscript:ht//s://t.example/\">b</b>", L"<b>b</b>"},
      {L"<img href=\"vxbscript:https://t.example/\" src=\"JxavaScript:https://t.example/\">",
       L"<img>"},
      {L"<!--[if mso]><v:fill src=\"https://t.example/bg.png\" type=\"frame\"/><![endif]-->",
       L"<!--[if mso]><v:fill type=\"frame\"/><![endif]-->"},
      // Links, titles, the message's own images and inline data stay.
      {L"<a href=\"https://shop.example/\" title=\"https://shop.example/\">Shop</a>",
       L"<a href=\"https://shop.example/\" title=\"https://shop.example/\">Shop</a>"},
      {L"<a href=\"/account\">a</a><area href=\"http://shop.example/\"><a href=\"#top\">t</a>",
       L"<a href=\"/account\">a</a><area href=\"http://shop.example/\"><a href=\"#top\">t</a>"},
      {L"<img src=\"cid:logo@shop\" alt=\"Logo\"><img usemap=\"#m\">",
       L"<img src=\"cid:logo@shop\" alt=\"Logo\"><img usemap=\"#m\">"},
      {L"<img src=\"C:/Users/ann/AppData/Local/Temp/Tidepost/outlook_temp/1_2/3_logo.png\">",
       L"<img src=\"C:/Users/ann/AppData/Local/Temp/Tidepost/outlook_temp/1_2/3_logo.png\">"},
      {L"<img src=\"data:image/png;base64,//8AprogidAA=\">",
       L"<img src=\"data:image/png;base64,//8AprogidAA=\">"},
      {L"<img src=\"data:image/png;base64,iVBORw0KGgo=\"><div xmlns:o=\"urn:schemas-microsoft-com:"
       L"office:office\">",
       L"<img src=\"data:image/png;base64,iVBORw0KGgo=\"><div xmlns:o=\"urn:schemas-microsoft-com:"
       L"office:office\">"},
      {L"<p style=\"color:red;background:url(https://t.example/bg.png)\">w</p>",
       L"<p style=\"color:red\">w</p>"},
  };
  ExpectAll(cases, &FilterNotBranded);
}

TEST(MarkupFilterTest, HeadStylesMustBeOneSafeStyleElement) {
  const MarkupFilter filter(UrlPolicy{});
  EXPECT_EQ(filter.FilterHeadStyle(L"<style>p{color:red}</style>"), L"<style>p{color:red}</style>");
  EXPECT_EQ(filter.FilterHeadStyle(L"<STYLE media>P{}</style>"), L"<style>P{}</style>");
  EXPECT_EQ(filter.FilterHeadStyle(L"<style><!-- p{} --></style>"), L"<style><!-- p{} --></style>");
  EXPECT_EQ(filter.FilterHeadStyle(L"<style>@import 'x.css';</style>"), L"");
  EXPECT_EQ(filter.FilterHeadStyle(L"<style>p{width:expr/**/ession(alert(1))}</style>"), L"");
  EXPECT_EQ(filter.FilterHeadStyle(L"<stylesheet><b>x</b></style>"), L"");
  EXPECT_EQ(filter.FilterHeadStyle(L"<style>a<xstyle>b</style>"), L"");
  EXPECT_EQ(filter.FilterHeadStyle(L"<style>a</style><b>x</b>"), L"");
}

}  // namespace
}  // namespace tp
