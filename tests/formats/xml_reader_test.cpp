// The XML reader: tree shape, clear sections, entities, tolerated and fatal markup errors.
#include "formats/xml_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text.h"

namespace tp {
namespace {

TEST(XmlReaderTest, EmptyInputGivesTheEmptyNode) {
  EXPECT_TRUE(ParseXml(L"").IsEmpty());
  const XmlNode empty;
  EXPECT_TRUE(empty.GetChildNode(L"a").IsEmpty());
  EXPECT_EQ(empty.GetClearText(0), L"");
  EXPECT_EQ(empty.GetName(), L"");
  EXPECT_FALSE(empty.GetAttribute(L"a").has_value());
}

TEST(XmlReaderTest, ALoneElementIsTheResultElseTheTopNode) {
  EXPECT_EQ(ParseXml(L"<a/>").GetName(), L"a");
  EXPECT_EQ(ParseXml(L"\r\n <a><b/></a>\n").GetName(), L"a");  // white space does not count
  // The declaration, a second element, a clear section or text keep the unnamed top node.
  for (const wchar_t* text :
       {L"<?xml version=\"1.0\"?><a/>", L"<a/><b/>", L"<!--c--><a/>", L"x<a/>", L"<a/>x"}) {
    const XmlNode top = ParseXml(text);
    ASSERT_FALSE(top.IsEmpty()) << WideToUtf8(text);
    EXPECT_EQ(top.GetName(), L"") << WideToUtf8(text);
    EXPECT_FALSE(top.GetChildNode(L"A").IsEmpty()) << WideToUtf8(text);
  }
}

TEST(XmlReaderTest, ChildLookUpIgnoresAsciiCaseAndTakesTheFirstDirectChild) {
  const XmlNode a =
      ParseXml(L"<A><x id='1'><deep/></x><X id='2'/><\u00C9t\u00E9/><data>t</data></A>");
  EXPECT_EQ(a.GetChildNode(L"x").GetAttribute(L"id"), L"1");
  EXPECT_EQ(a.GetChildNode(L"X").GetAttribute(L"ID"), L"1");
  EXPECT_EQ(a.GetChildNode(L"DaTa").GetText(0), L"t");
  EXPECT_TRUE(a.GetChildNode(L"deep").IsEmpty());  // grandchildren are not searched
  EXPECT_FALSE(a.GetChildNode(L"\u00C9t\u00E9").IsEmpty());
  EXPECT_TRUE(a.GetChildNode(L"\u00E9t\u00E9").IsEmpty());  // only ASCII letters fold
  EXPECT_TRUE(a.GetChildNode(L"missing").GetChildNode(L"x").IsEmpty());
}

TEST(XmlReaderTest, ClearSectionsAreKeptVerbatimInOrder) {
  const XmlNode b = ParseXml(
      L"<b>t1<![CDATA[{'a':'&nbsp;<x>'}]]>t2<!-- &bogus; --><!DOCTYPE d>"
      L"<!DOCTYPE e [ <!ENTITY f 'g'> ]><PRE>&lt;<i></PRE></b>");
  ASSERT_FALSE(b.IsEmpty());
  EXPECT_EQ(b.GetClearText(0), L"{'a':'&nbsp;<x>'}");
  EXPECT_EQ(b.GetClearText(1), L" &bogus; ");
  EXPECT_EQ(b.GetClearText(2), L" d");
  EXPECT_EQ(b.GetClearText(3), L" e [ <!ENTITY f 'g'> ]");
  EXPECT_EQ(b.GetClearText(4), L"&lt;<i>");
  EXPECT_EQ(b.GetClearText(5), L"");
  EXPECT_EQ(b.GetText(0), L"t1");
  EXPECT_EQ(b.GetText(1), L"t2");
  // The delimiters are matched exactly: a lower-case <pre> is an element.
  EXPECT_FALSE(ParseXml(L"<a><pre>x</pre></a>").GetChildNode(L"PRE").IsEmpty());
  EXPECT_EQ(ParseXml(L"<a><![CDATA[]]></a>").GetClearText(0), L"");
}

TEST(XmlReaderTest, UnclosedSectionsFail) {
  for (const wchar_t* text : {L"<a><![CDATA[x]]</a>", L"<a><!-- x --</a>", L"<!DOCTYPE a",
                              L"<!DOCTYPE a [ <!ENTITY b 'c'> >", L"<PRE>x</pre>",
                              L"<?xml version='1.0'", L"<!ELEMENT a>"}) {
    EXPECT_TRUE(ParseXml(text).IsEmpty()) << WideToUtf8(text);
  }
}

TEST(XmlReaderTest, EntitiesAndCharacterReferencesDecode) {
  const XmlNode a =
      ParseXml(L"<a v=\"&quot;&APOS;&Amp;\" w='&#65;&#x42;&#X43;'>&lt;&GT;&amp;&#233;&#x00e9;</a>");
  ASSERT_FALSE(a.IsEmpty());
  EXPECT_EQ(a.GetAttribute(L"v"), L"\"'&");
  EXPECT_EQ(a.GetAttribute(L"w"), L"ABC");
  EXPECT_EQ(a.GetText(0), L"<>&\u00e9\u00e9");
}

TEST(XmlReaderTest, CharacterReferencesGiveTheSameUtf16OnEveryPlatform) {
  const std::wstring emoji = Utf8ToWide("\xF0\x9F\x98\x80");
  EXPECT_EQ(ParseXml(L"<a>&#x1F600;</a>").GetText(0), emoji);
  EXPECT_EQ(ParseXml(L"<a>&#128512;</a>").GetText(0), emoji);
  EXPECT_EQ(ParseXml(L"<a>&#xD83D;&#xDE00;</a>").GetText(0), emoji);
  EXPECT_EQ(ParseXml(L"<a>&#x10FFFF;</a>").GetText(0), Utf8ToWide("\xF4\x8F\xBF\xBF"));
}

TEST(XmlReaderTest, AnyOtherEntityFailsTheWholeDocument) {
  for (const wchar_t* text :
       {L"<a>&nbsp;</a>", L"<a><b>x &copy; y</b></a>", L"<a v='&nbsp;'/>", L"<a>&amp</a>",
        L"<a>& amp;</a>", L"<a>&;</a>", L"<a>&#;</a>", L"<a>&#x;</a>", L"<a>&#12a;</a>",
        L"<a>&#0;</a>", L"<a>&#x110000;</a>", L"<a>&#99999999999999999999;</a>", L"<a>R&D</a>",
        L"<a>&ampx;</a>"}) {
    EXPECT_TRUE(ParseXml(text).IsEmpty()) << WideToUtf8(text);
  }
  XmlError error;
  EXPECT_TRUE(ParseXml(L"<a>\n&nbsp;</a>", &error).IsEmpty());
  EXPECT_EQ(error.offset, 4u);
  EXPECT_EQ(error.reason, L"unknown entity \"&nbsp;\"");
}

TEST(XmlReaderTest, AttributesTakeEitherQuote) {
  const XmlNode a = ParseXml(L"<a one=\"1 'x' >\" two = '2 \"y\"'\ttab='t'/>");
  EXPECT_EQ(a.GetAttribute(L"one"), L"1 'x' >");
  EXPECT_EQ(a.GetAttribute(L"TWO"), L"2 \"y\"");
  EXPECT_EQ(a.GetAttribute(L"tab"), L"t");
  EXPECT_FALSE(a.GetAttribute(L"three").has_value());
  for (const wchar_t* text :
       {L"<a one=1/>", L"<a one/>", L"<a one='1'two='2'/>", L"<a one='1/>", L"<a one=\"1'/>", L"<a",
        L"<a one='1'", L"< a/>", L"<>", L"<a =''/>"}) {
    EXPECT_TRUE(ParseXml(text).IsEmpty()) << WideToUtf8(text);
  }
}

TEST(XmlReaderTest, MissingEndTagsAreTolerated) {
  // </a> closes b and c, opened inside it; d is then a sibling of a.
  const XmlNode top = ParseXml(L"<a><b><c>text</a><d><e>");
  ASSERT_FALSE(top.IsEmpty());
  const XmlNode a = top.GetChildNode(L"a");
  EXPECT_FALSE(a.GetChildNode(L"b").GetChildNode(L"c").IsEmpty());
  EXPECT_EQ(a.GetChildNode(L"b").GetChildNode(L"c").GetText(0), L"text");
  EXPECT_FALSE(top.GetChildNode(L"d").GetChildNode(L"e").IsEmpty());
  EXPECT_TRUE(a.GetChildNode(L"d").IsEmpty());
  // End tags match the innermost open element of the name, in any case.
  const XmlNode outer = ParseXml(L"<x><x><y></X><z/></x>");
  EXPECT_FALSE(outer.GetChildNode(L"x").GetChildNode(L"y").IsEmpty());
  EXPECT_FALSE(outer.GetChildNode(L"z").IsEmpty());
}

TEST(XmlReaderTest, AStrayEndTagFailsTheDocument) {
  for (const wchar_t* text :
       {L"</a>", L"<a></b></a>", L"<a></a></a>", L"<a></>", L"<a></a", L"<a></a x>"}) {
    EXPECT_TRUE(ParseXml(text).IsEmpty()) << WideToUtf8(text);
  }
  XmlError error;
  EXPECT_TRUE(ParseXml(L"<a>x</b>", &error).IsEmpty());
  EXPECT_EQ(error.offset, 4u);
  EXPECT_EQ(error.reason, L"end tag </b> matches no open element");
}

TEST(XmlReaderTest, NestingIsBounded) {
  std::wstring deepest;
  for (size_t i = 0; i < kMaxXmlDepth; ++i)
    deepest += L"<e>";
  EXPECT_FALSE(ParseXml(deepest).IsEmpty());
  EXPECT_TRUE(ParseXml(deepest + L"<e>").IsEmpty());
  EXPECT_TRUE(ParseXml(deepest + L"<e/>").IsEmpty());
  // Closing elements makes room again.
  EXPECT_FALSE(ParseXml(deepest + L"</e><e/>").IsEmpty());
  std::wstring hostile;
  for (int i = 0; i < 200000; ++i)
    hostile += L"<e>";
  EXPECT_TRUE(ParseXml(hostile).IsEmpty());
}

TEST(XmlReaderTest, AnyHandleKeepsTheTreeAlive) {
  XmlNode leaf;
  {
    const XmlNode root = ParseXml(L"<?xml?><a><b><![CDATA[kept]]></b></a>");
    leaf = root.GetChildNode(L"a").GetChildNode(L"b");
  }
  EXPECT_EQ(leaf.GetName(), L"b");
  EXPECT_EQ(leaf.GetClearText(0), L"kept");
}

TEST(XmlReaderTest, TheViewEndsTheText) {
  const std::wstring buffer = L"<a>&amp;</a>";
  EXPECT_TRUE(ParseXml(std::wstring_view(buffer).substr(0, 7)).IsEmpty());  // "<a>&amp"
  EXPECT_EQ(ParseXml(std::wstring_view(buffer).substr(0, 8)).GetText(0), L"&");
  EXPECT_TRUE(ParseXml(std::wstring_view(L"<![CDATA[x]]>").substr(0, 12)).IsEmpty());
}

}  // namespace
}  // namespace tp
