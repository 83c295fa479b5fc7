// The style checks: what old browsers run from a style, however it is hidden, goes; the
// styles of ordinary mail stay as they are.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "page/css_filter.h"

namespace tp {
namespace {

const UrlPolicy kUrls(L"C:/Temp/Tidepost/outlook_temp/", RemoteContent::kAllowed);

// A style attribute and what is kept of it (nothing: the attribute goes).
struct StyleCase {
  const wchar_t* style;
  std::optional<std::wstring> kept;
};

template <size_t N>
void ExpectKept(const StyleCase (&cases)[N], const UrlPolicy& urls = kUrls) {
  for (const StyleCase& test : cases) {
    EXPECT_EQ(FilterStyleAttribute(test.style, urls), test.kept)
        << ::testing::PrintToString(std::wstring(test.style));
  }
}

TEST(CssFilterTest, OrdinaryStyleAttributesStayUnchanged) {
  const wchar_t* const styles[] = {
      L"color:#333333;font-family:Arial,Helvetica,sans-serif;font-size:14px",
      L"margin:0 0 10px 0; padding: 20px 30px;  line-height:20px;",
      L"font-family:\"Segoe UI\",'Helvetica Neue';mso-line-height-rule:exactly",
      L"font-family:\"\\5FAE\\8F6F\\96C5\\9ED1\"",           // Microsoft YaHei, escaped
      L"font-family:\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF",  // MS Gothic, full-width letters
      L"background-color:rgba(0,0,0,.5);width:calc(100% - 20px) !important",
      L"background:url(https://img.example/bg.png) no-repeat;border:0",
      L"background-image:url('cid:bg@shop')",
      L"background-image:url(\"C:/Temp/Tidepost/outlook_temp/1_2/3_bg.png\")",
      L"filter:alpha(opacity=50);-ms-interpolation-mode:bicubic;*zoom:1",
      L"transform:rotate(45deg) translate(1px,2px)",
      L"",
  };
  for (const wchar_t* style : styles)
    EXPECT_EQ(FilterStyleAttribute(style, kUrls), std::optional<std::wstring>(style)) << style;
}

TEST(CssFilterTest, DeclarationsThatRunOrLoadGoInEveryDisguise) {
  const StyleCase cases[] = {
      {L"color:red;width:expression(alert(1))", L"color:red"},
      {L"width:EXPRESSION(alert(1));color:red", L"color:red"},
      {L"width:expr/**/ession(alert(1))", std::nullopt},
      {L"width:exp\\ression(alert(1))", std::nullopt},
      {L"width:\\65xpression(alert(1))", std::nullopt},
      {L"width:\uFF45\uFF58\uFF50\uFF52\uFF45\uFF53\uFF53\uFF49\uFF4F\uFF4E(alert(1))",
       std::nullopt},
      {L"width:\uFF45\uFF58\uFF50\u0280\uFF45\uFF53\uFF53\u026A\uFF4F\uFF4E/**/(x)", std::nullopt},
      // The attribute's character references are replaced before; CSS reads none itself, so
      // what is left splits at the ';'.
      {L"width:e&#120;pression(x)", L"width:e&#120"},
      {L"behavior:url(#default#VML)", std::nullopt},
      {L"-ms-behavior:url(x.htc);_behavior:url(x.htc);*behavior:url(x.htc)", std::nullopt},
      {L"b\\65havior:url(x.htc)", std::nullopt},
      {L"-moz-binding:url(http://x/y.xml#z);color:blue", L"color:blue"},
      {L"background:url(javascript:alert(1))", std::nullopt},
      {L"background:url( 'vbscript:x' )", std::nullopt},
      {L"background:url(\"java\\73 cript:x\")", std::nullopt},
      {L"background:url(file:///c:/x.png)", std::nullopt},
      {L"background:url(C:/Windows/x.png)", std::nullopt},
      {L"background:url(\\\\\\\\server\\\\x.png)", std::nullopt},
      {L"background:u\\72l(x.png)", std::nullopt},
      {L"-o-link:'javascript:x';-o-link-source:current", std::nullopt},
      {L"margin:0;x:java\tscript:y", L"margin:0"},
      {L"@import 'x.css';color:red", L"color:red"},
      {L"color:red;x:y(1)", L"color:red"},
      {L"content:\"\";x:\"a\\\"b\"", L"content:\"\""},  // an escaped quote in a string
      {L"color:red;font-family:\"unterminated", L"color:red"},
      {L"color:red/*;width:expression(x)*/", std::nullopt},
      {L"content:\"/*\";width:expression(alert(1));x:\"*/\"", L"content:\"/*\"; x:\"*/\""},
      {L"width:\uFF08x\uFF09", std::nullopt},
      {L"\u0441olor:red", std::nullopt},  // a Cyrillic letter in the property name
  };
  ExpectKept(cases);
}

TEST(CssFilterTest, FiltersAndNetworkPathsGoInEveryDisguise) {
  const StyleCase cases[] = {
      {L"-ms-filter:\"progid:DXImageTransform.Microsoft.AlphaImageLoader(src='file://evil/x.png')"
       L"\";color:red",
       L"color:red"},
      {L"color:red;filter:progid:DXImageTransform.Microsoft.Alpha(opacity=50)", L"color:red"},
      {L"filter:'prog/**/id:DXImageTransform.Microsoft.AlphaImageLoader(src=x)'", std::nullopt},
      {L"FILTER: \"PROG ID:x\"", std::nullopt},
      {L"filter:\"p\\72 ogid:x\"", std::nullopt},
      {L"*filter:progid:x;_filter:progid:x", std::nullopt},
      {L"background:url(file://evil/share/x.png)", std::nullopt},
      {L"background:url('FILE:////evil/share/x.png')", std::nullopt},
      {L"background:url('//evil/share/x.png')", std::nullopt},
      {L"background:url(/**///evil/x.png)", std::nullopt},
      {L"font-family:'//evil/share';color:blue", L"color:blue"},
      {L"font-family:\"a/**/b\";content:\"file:/**///evil/x\"", L"font-family:\"a/**/b\""},
      // Harmless filters and web URLs with double slashes stay.
      {L"filter:alpha(opacity=50);zoom:1", L"filter:alpha(opacity=50);zoom:1"},
      {L"background:url(https://img.example/a//b.png)",
       L"background:url(https://img.example/a//b.png)"},
  };
  ExpectKept(cases);
}

TEST(CssFilterTest, ForASenderThatIsNotBrandedStylesLoadNothingRemote) {
  const UrlPolicy notBranded(L"C:/Temp/Tidepost/outlook_temp/", RemoteContent::kBlocked);
  const StyleCase cases[] = {
      {L"color:red;background:url(https://t.example/bg.png)", L"color:red"},
      {L"background-image:url(  'HTTP://t.example/a.png' )", std::nullopt},
      {L"background-image:url(\"h\\74tp://t.example/a.png\")", std::nullopt},
      {L"background:url(bg.png) no-repeat;padding:0", L"padding:0"},
      {L"cursor:url(http://t.example/c.cur),auto", std::nullopt},
      {L"list-style-image:url(//t.example/a.png)", std::nullopt},
      {L"--bg:url(https://t.example/a.png);background:var(--bg)", L"background:var(--bg)"},
      {L"background:url('cid:bg@shop')", L"background:url('cid:bg@shop')"},
      {L"background:url(C:/Temp/Tidepost/outlook_temp/1_2/3_bg.png)",
       L"background:url(C:/Temp/Tidepost/outlook_temp/1_2/3_bg.png)"},
      {L"background:url(data:image/png;base64,AA==)",
       L"background:url(data:image/png;base64,AA==)"},
      {L"color:#333;font-family:Arial", L"color:#333;font-family:Arial"},
  };
  ExpectKept(cases, notBranded);
}

TEST(CssFilterTest, StyleSheets) {
  const wchar_t* const safe[] = {
      L"p{color:red}",
      L"<!-- p.MsoNormal{margin:0in;font-family:\"Calibri\",\"sans-serif\"} -->",
      L"@media only screen and (max-width:600px){.col{width:100%!important}}",
      L"@media (prefers-color-scheme: dark){body{color:#fff}} :root{color-scheme:light dark}",
      L"a[x-apple-data-detectors]{color:inherit!important} #outlook a{padding:0}",
      L"td:nth-child(2n+1), li:not(.x){margin:0} @font-face{font-family:X;src:local(\"X\")}",
      L"@page WordSection1{size:8.5in 11.0in} /* a comment */",
  };
  for (const wchar_t* css : safe)
    EXPECT_TRUE(IsSafeStyleSheet(css)) << ::testing::PrintToString(std::wstring(css));
  const wchar_t* const unsafe[] = {
      L"p{width:expression(alert(1))}",
      L"p{width:expr/**/ession(alert(1))}",
      L"@import 'https://x.example/y.css';",
      L"@imp\\6fort 'y.css';",
      L"@namespace x url(y);",
      L"@-moz-document url-prefix(){p{}}",
      L"p{background:url(x.png)}",
      L"p{background:u/**/rl(x.png)}",
      L"p{-moz-binding:u\\72l(x)}",
      L"v\\:* {behavior:url(#default#VML);}",
      L"p{}</style><script>alert(1)</script>",
      L"/*</noscript><img src=x onerror=alert(1)>*/",
      L"p{font-family:\"</select><img src=x onerror=alert(1)>\"}",
      L"p{x:y(1)}",
      L"p{width:\uFF45\uFF58\uFF50\uFF52\uFF45\uFF53\uFF53\uFF49\uFF4F\uFF4E(1)}",
      L"p{font-family:\"x}",
      L"p{-ms-filter:\"progid:DXImageTransform.Microsoft.AlphaImageLoader(src='file://evil/x')\"}",
      L"p{filter:prog/**/id:x}",
      L"p{filter:\"prog/**/id:x\"}",
      L"p{font-family:\"\\\\evil\\share\"}",
      L"p{x:'file://evil/x'}",
      L"p{x:'//evil/share'}",
  };
  for (const wchar_t* css : unsafe)
    EXPECT_FALSE(IsSafeStyleSheet(css)) << ::testing::PrintToString(std::wstring(css));
}

}  // namespace
}  // namespace tp
