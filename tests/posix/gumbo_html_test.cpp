// The gumbo HTML engine: the serialization rules it writes the body by, the collections it
// strips, and no stack growth with depth.
#include <gtest/gtest.h>

#include <string>

#include "host/posix/gumbo_html.h"

namespace tp {
namespace {

std::wstring BodyOf(const std::wstring& html,
                    std::initializer_list<host::HtmlCollection> strip = {}) {
  host::posix::GumboHtmlEngine engine;
  std::unique_ptr<host::HtmlDocument> document = engine.CreateDocument();
  EXPECT_EQ(document->Write(html), hr::kOk);
  for (host::HtmlCollection collection : strip)
    document->RemoveAll(collection);
  return document->BodyOuterHtml().value_or(L"(none)");
}

TEST(GumboHtmlTest, TheBodyIsWrittenByTheSerializationRules) {
  struct Case {
    const wchar_t* html;
    const wchar_t* body;
  };
  const Case cases[] = {
      {L"<P CLASS=a>x<BR>y", L"<body><p class=\"a\">x<br>y</p></body>"},
      {L"<p title='a\"b&amp;c<d>e`f\u00A0'>",
       L"<body><p title=\"a&quot;b&amp;c&lt;d&gt;e&#96;f&nbsp;\"></p></body>"},
      {L"a &lt;b&gt; &amp; \u00A0", L"<body>a &lt;b&gt; &amp; &nbsp;</body>"},
      {L"<xmp>a<b>&amp;</xmp><noscript><b>n</b></noscript>",
       L"<body><xmp>a<b>&amp;</xmp><noscript><b>n</b></noscript></body>"},
      {L"<textarea>a<b>&amp;</textarea>", L"<body><textarea>a&lt;b&gt;&amp;</textarea></body>"},
      {L"<pre>\n\nx</pre>", L"<body><pre>\n\nx</pre></body>"},
      {L"<o:p>w</o:p><img src=a /><input>", L"<body><o:p>w</o:p><img src=\"a\"><input></body>"},
      // Unknown elements are empty, as in MSHTML; prefixed ones (Office's) hold content.
      {L"<xinput type=text>a<p>b</p></xinput><xmeta x><o:p>c<b>d</b></o:p>",
       L"<body><xinput type=\"text\"></xinput>a<p>b</p><xmeta x=\"\"></xmeta><o:p>c<b>d</b>"
       L"</o:p></body>"},
      {L"<p title=\"<xfoo>\"><!-- <xbar> --><textarea><xbaz></textarea>",
       L"<body><p title=\"&lt;xfoo&gt;\"><!-- <xbar> --><textarea>&lt;xbaz&gt;</textarea></p>"
       L"</body>"},
      {L"<svg viewBox=\"0 0 1 1\"><foreignObject><a xlink:href=\"#x\" xml:lang=en "
       L"xmlns:xlink=\"http://www.w3.org/1999/xlink\">t</a></foreignObject></svg>",
       L"<body><svg viewBox=\"0 0 1 1\"><foreignObject><a xlink:href=\"#x\" xml:lang=\"en\" "
       L"xmlns:xlink=\"http://www.w3.org/1999/xlink\">t</a></foreignObject></svg></body>"},
      {L"<svg><![CDATA[<i>]]></svg><!--c-->", L"<body><svg><![CDATA[<i>]]></svg><!--c--></body>"},
      {L"<p>x</p><template><b>t</b></template>",
       L"<body><p>x</p><template><b>t</b></template></body>"},
      {L"<frameset><frame></frameset>", L"(none)"},
  };
  for (const Case& test : cases)
    EXPECT_EQ(BodyOf(test.html), test.body) << ::testing::PrintToString(std::wstring(test.html));
}

TEST(GumboHtmlTest, CollectionsAreRemovedWithTheirContent) {
  const std::wstring html =
      L"<div>a<script>x</script><embed src=e><form><input><script>y</script></form>"
      L"<applet code=c><param name=n>t</applet>b</div>";
  EXPECT_EQ(BodyOf(html, {host::HtmlCollection::kScripts}),
            L"<body><div>a<embed src=\"e\"><form><input></form><applet code=\"c\"><param "
            L"name=\"n\">t</applet>b</div></body>");
  EXPECT_EQ(BodyOf(html, {host::HtmlCollection::kScripts, host::HtmlCollection::kPlugins,
                          host::HtmlCollection::kForms, host::HtmlCollection::kApplets}),
            L"<body><div>ab</div></body>");
}

TEST(GumboHtmlTest, EmptyElementsAreWrittenAsTheSerializerWritesThem) {
  host::posix::GumboHtmlEngine engine;
  std::unique_ptr<host::HtmlDocument> document = engine.CreateDocument();
  EXPECT_EQ(document->EmptyElementMarkup(L"script"), L"<script></script>");
  EXPECT_EQ(document->EmptyElementMarkup(L"embed"), L"<embed>");
  EXPECT_EQ(BodyOf(L"<p>x</p><script></script><style></style><object></object>"),
            L"<body><p>x</p><script></script><style></style><object></object></body>");
}

}  // namespace
}  // namespace tp
