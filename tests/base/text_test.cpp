// Encodings, letter case, ordering and number parsing shared by every subsystem.
#include "base/text.h"

#include <gtest/gtest.h>

namespace tp {
namespace {

TEST(TextTest, Utf8RoundTripsEveryPlane) {
  const std::string utf8 = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";  // a é € 😀 z
  const std::wstring wide = Utf8ToWide(utf8);
  EXPECT_EQ(wide.size(), sizeof(wchar_t) == 2 ? 6u : 5u);
  EXPECT_EQ(WideToUtf8(wide), utf8);
}

TEST(TextTest, MalformedUtf8BecomesReplacementCharacters) {
  EXPECT_EQ(Utf8ToWide("a\xFF"
                       "b"),
            L"a\uFFFD"
            L"b");
  EXPECT_EQ(Utf8ToWide("\xE2\x82"), L"\uFFFD");                  // truncated sequence
  EXPECT_EQ(Utf8ToWide("\xC0\xAF"), L"\uFFFD\uFFFD");            // overlong
  EXPECT_EQ(Utf8ToWide("\xED\xA0\x80"), L"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
  EXPECT_EQ(Utf8ToWide("\xE2\x82"
                       "A"),
            L"\uFFFD"
            L"A");  // resumes at the stray byte
}

TEST(TextTest, LoneSurrogatesBecomeReplacementInUtf8) {
  std::wstring lone;
  lone += static_cast<wchar_t>(0xD800);
  EXPECT_EQ(WideToUtf8(lone), "\xEF\xBF\xBD");
}

TEST(TextTest, Utf16LittleEndianBothWays) {
  const std::wstring text = L"A\u00e9";
  const std::string bytes = WideToUtf16Le(text);
  EXPECT_EQ(bytes, std::string("A\0\xE9\0", 4));
  EXPECT_EQ(Utf16LeToWide(bytes), text);
  EXPECT_EQ(Utf16LeToWide(bytes + "x"), text);  // odd trailing byte ignored
  const std::wstring emoji = Utf8ToWide("\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf16LeToWide(WideToUtf16Le(emoji)), emoji);
}

TEST(TextTest, LetterCase) {
  EXPECT_EQ(ToLower(L"MiXeD.COM \u00C9\u0100\u0410"), L"mixed.com \u00E9\u0101\u0430");
  EXPECT_EQ(ToLowerAscii(L"ABC\u00C9"), L"abc\u00C9");
  EXPECT_TRUE(EqualsIgnoreCase(L"Gmail.COM", L"gmail.com"));
  EXPECT_FALSE(EqualsIgnoreCase(L"gmail.com", L"gmail.co"));
  EXPECT_TRUE(EqualsIgnoreAsciiCase(L"CONTENT", L"content"));
  EXPECT_EQ(FindIgnoreAsciiCase(L"xxBoundaryYY", L"boundary"), 2u);
  EXPECT_EQ(FindIgnoreAsciiCase(L"short", L"longer text"), std::wstring_view::npos);
}

TEST(TextTest, SplitSkipsEmptyPartsAndTrimKeepsInnerSpace) {
  EXPECT_EQ(SplitSkippingEmpty(L",a,,b, c,", L','), (std::vector<std::wstring>{L"a", L"b", L" c"}));
  EXPECT_TRUE(SplitSkippingEmpty(L",,", L',').empty());
  EXPECT_EQ(Trim(L" \t\r\n a b \r\n"), L"a b");
}

TEST(TextTest, OrderingFollowsUtf16CodeUnits) {
  EXPECT_LT(CompareUtf16(L"Zeta", L"alpha"), 0);  // capitals before small letters
  EXPECT_LT(CompareUtf16(L"ab", L"abc"), 0);
  EXPECT_EQ(CompareUtf16(L"same", L"same"), 0);
  // U+10000 is D800 DC00 in UTF-16, so it sorts before U+FFFD although it is larger.
  const std::wstring supplementary = Utf8ToWide("\xF0\x90\x80\x80");
  EXPECT_LT(CompareUtf16(supplementary, L"\uFFFD"), 0);
  EXPECT_GT(CompareUtf16(supplementary, L"\uD7FF"), 0);
}

TEST(TextTest, LeadingIntegersParseLikeWtoi) {
  EXPECT_EQ(ParseLeadingInt(L"16.0.0.4266"), 16);
  EXPECT_EQ(ParseLeadingInt(L"  -12abc"), -12);
  EXPECT_EQ(ParseLeadingInt(L"+7"), 7);
  EXPECT_EQ(ParseLeadingInt(L"x12"), 0);
  EXPECT_EQ(ParseLeadingInt(L""), 0);
  EXPECT_EQ(ParseLeadingInt(L"99999999999"), 2147483647);
  EXPECT_EQ(ParseLeadingInt(L"-99999999999"), -2147483647 - 1);
  EXPECT_EQ(ParseLeadingInt64(L"1767225600"), 1767225600);
  EXPECT_EQ(ParseLeadingInt64(L"99999999999999999999"), INT64_MAX);
}

}  // namespace
}  // namespace tp
