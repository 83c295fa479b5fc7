// Format(): the printf conversions the add-in's messages use, identical on every toolchain.
#include "base/format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace tp {
namespace {

TEST(FormatTest, StringsOfEveryKindThroughPercentS) {
  const std::wstring wide = L"wide";
  EXPECT_EQ(Format(L"[%s|%s|%s|%s]", wide, L"literal", std::string("narrow"), "utf8 \xC3\xA9"),
            L"[wide|literal|narrow|utf8 \u00e9]");
  EXPECT_EQ(Format(L"%s", static_cast<const wchar_t*>(nullptr)), L"");
  EXPECT_EQ(Format(L"[%5s|%-5s|%.2s]", L"ab", L"ab", L"abcdef"), L"[   ab|ab   |ab]");
}

TEST(FormatTest, HresultsAndHandlesInTheLogsHexForm) {
  // "%xx" is a hexadecimal conversion followed by a literal x.
  EXPECT_EQ(Format(L"Error: %xx", static_cast<int32_t>(0x80004005)), L"Error: 80004005x");
  EXPECT_EQ(Format(L"%xx", 12002), L"2ee2x");
  EXPECT_EQ(Format(L"%X", 255u), L"FF");
  EXPECT_EQ(Format(L"[%x]", static_cast<uint32_t>(0x1A2B)), L"[1a2b]");
  EXPECT_EQ(Format(L"%x", static_cast<int64_t>(-1)), L"ffffffffffffffff");
}

TEST(FormatTest, IntegersWithWidthsFlagsAndSigns) {
  EXPECT_EQ(Format(L"%d/%d %02d:%02d:%02d.%03d", 6, 12, 9, 5, 7, 42), L"6/12 09:05:07.042");
  EXPECT_EQ(Format(L"%ld", static_cast<int32_t>(-5)), L"-5");
  EXPECT_EQ(Format(L"%u", static_cast<int32_t>(-1)), L"4294967295");
  EXPECT_EQ(Format(L"[%5d|%-5d|%+d|%05d]", 42, 42, 42, -42), L"[   42|42   |+42|-0042]");
  EXPECT_EQ(Format(L"%d", INT64_MIN), L"-9223372036854775808");
  EXPECT_EQ(Format(L"%I64d %lld", int64_t{1} << 40, 7LL), L"1099511627776 7");
  EXPECT_EQ(Format(L"%d", true), L"1");
}

TEST(FormatTest, FloatsCharactersAndPercentSigns) {
  EXPECT_EQ(Format(L"%.1f%%", 99.25), L"99.2%");
  EXPECT_EQ(Format(L"%c%c", L'o', L'k'), L"ok");
}

TEST(FormatTest, MismatchesAndMissingArgumentsAreVisibleNotFatal) {
  EXPECT_EQ(Format(L"%d and %s", L"text"), L"<?> and <?>");
  EXPECT_EQ(Format(L"%s %s", L"one"), L"one <?>");
  EXPECT_EQ(Format(L"no conversions", 1, 2), L"no conversions");
  EXPECT_EQ(Format(L"trailing %"), L"trailing %");
}

}  // namespace
}  // namespace tp
