// Transfer encodings, charsets and encoded-words of the .eml reader.
#include <gtest/gtest.h>

#include "host/codec.h"
#include "host/sim/encoded_words.h"
#include "host/sim/mime_charsets.h"
#include "host/sim/mime_encoding.h"
#include "support/test_host.h"

namespace tp::host::sim {
namespace {

TEST(MimeEncodingTest, QuotedPrintableSoftBreaksEscapesAndTransportBlanks) {
  // Soft breaks with CRLF, LF and blanks added after the "=" in transport.
  EXPECT_EQ(DecodeQuotedPrintable("long li=\r\nne, lf=\nbreak, pad= \t\r\nded"),
            "long line, lfbreak, padded");
  // Escapes in either case; hard line breaks kept as written.
  EXPECT_EQ(DecodeQuotedPrintable("caf=C3=a9\r\nnext"), "caf\xC3\xA9\r\nnext");
  // Blanks at the end of a line were added in transport; blanks inside a line stay.
  EXPECT_EQ(DecodeQuotedPrintable("a  b   \r\nc \t"), "a  b\r\nc");
  // Malformed escapes are kept, a final "=" is a soft break at the end.
  EXPECT_EQ(DecodeQuotedPrintable("100=% and =G1 and =4"), "100=% and =G1 and =4");
  EXPECT_EQ(DecodeQuotedPrintable("tail="), "tail");
  EXPECT_EQ(DecodeQuotedPrintable("=3D=3d"), "==");
}

TEST(MimeEncodingTest, Base64AcrossLinesSkipsForeignCharacters) {
  EXPECT_EQ(DecodeTransferEncoding("base64", "SGVs\r\nbG8s\n IHdv cmxk\r\nIQ=="), "Hello, world!");
  // Characters outside the alphabet and padding in the middle are skipped, a truncated final
  // group gives the bytes it holds.
  EXPECT_EQ(DecodeTransferEncoding("BASE64", "SG*V#sb$G8"), "Hello");
  EXPECT_EQ(DecodeTransferEncoding("base64", "SGk=\r\n"), "Hi");
  EXPECT_EQ(DecodeTransferEncoding("base64", "QUJD\xFFREVG"), "ABCDEF");
  // A zero byte ends the encoded text.
  EXPECT_EQ(DecodeTransferEncoding("base64", std::string("QUJD\0REVG", 9)), "ABC");
  EXPECT_EQ(DecodeTransferEncoding("base64", "==="), "");
}

TEST(MimeEncodingTest, IdentityAndUnknownEncodingsKeepTheBytes) {
  const std::string body("caf\xC3\xA9=\r\n\0x", 9);
  for (const char* encoding : {"7bit", "8bit", "binary", "x-uuencode", "", "  8BIT  "}) {
    EXPECT_EQ(DecodeTransferEncoding(encoding, body), body) << encoding;
  }
  EXPECT_EQ(DecodeTransferEncoding(" Quoted-Printable ", "a=3Db"), "a=b");
}

TEST(MimeCharsetTest, NamesMapToWindowsCodePages) {
  const std::pair<const char*, uint32_t> expected[] = {
      {"iso-8859-1", 28591}, {"ISO-8859-15", 28605}, {"\"windows-1252\"", 1252},
      {"cp1251", 1251},      {"utf-8", 65001},       {"UTF8", 65001},
      {"us-ascii", 20127},   {"iso-2022-jp", 50220}, {"Shift_JIS", 932},
      {"koi8-r", 20866},     {"gb2312", 936},        {"GBK", 936},
      {"big5", 950},         {"utf-16", 1200},       {"utf-16be", 1201},
      {"euc-kr", 51949},     {"ks_c_5601-1987", 949}};
  for (const auto& [name, codePage] : expected) {
    EXPECT_EQ(CodePageForCharset(name), codePage) << name;
  }
  // Parts of ISO 8859 and Windows code pages that Windows does not have.
  for (const char* name : {"iso-8859-11", "iso-8859-16", "windows-1300", "x-unknown", ""}) {
    EXPECT_FALSE(CodePageForCharset(name)) << name;
  }
}

TEST(MimeCharsetTest, Utf8Validation) {
  EXPECT_TRUE(IsValidUtf8("plain \xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"));
  EXPECT_FALSE(IsValidUtf8("\xE9t\xE9"));         // Latin-1
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(IsValidUtf8("\xE2\x82"));          // truncated
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
}

class MimeCharsetHostTest : public testing::SimHostTest {};

TEST_F(MimeCharsetHostTest, ConvertsThroughTheHostCodec) {
  uint32_t used = 0;
  EXPECT_EQ(DecodeCharset("caf\xE9", "iso-8859-1", &used), L"caf\u00E9");
  EXPECT_EQ(used, 28591u);
  EXPECT_EQ(DecodeCharset("\x80 5", "windows-1252", &used), L"\u20AC 5");
  EXPECT_EQ(DecodeCharset("\xF0\xD2\xC9\xD7\xC5\xD4", "koi8-r"),
            L"\u041F\u0440\u0438\u0432\u0435\u0442");
  EXPECT_EQ(DecodeCharset("\x93\xFA\x96\x7B", "shift_jis"), L"\u65E5\u672C");
  // Wine's code pages stop short of ISO-2022-JP; Windows and iconv have it.
  if (!codec().ToWide(50220, "\x1B$BF|K\\\x1B(B").empty()) {
    EXPECT_EQ(DecodeCharset("\x1B$BF|K\\\x1B(B", "iso-2022-jp"), L"\u65E5\u672C");
  }
  EXPECT_EQ(DecodeCharset("\xC4\xE3\xBA\xC3", "gb2312"), L"\u4F60\u597D");
  EXPECT_EQ(DecodeCharset(std::string("\xFF\xFE"
                                      "A\0\xE9\0",
                                      6),
                          "utf-16", &used),
            L"A\u00E9");
  EXPECT_EQ(used, 1200u);
  EXPECT_EQ(DecodeCharset(std::string("\xFE\xFF\0A\0\xE9", 6), "utf-16", &used), L"A\u00E9");
  EXPECT_EQ(used, 1201u);
  EXPECT_EQ(DecodeCharset("\xEF\xBB\xBFhi", "utf-8"), L"hi");  // byte-order mark dropped
}

TEST_F(MimeCharsetHostTest, UnknownOrMislabelledCharsetsFallBack) {
  uint32_t used = 0;
  EXPECT_EQ(DecodeCharset("caf\xC3\xA9", "x-made-up", &used), L"caf\u00E9");
  EXPECT_EQ(used, 65001u);
  EXPECT_EQ(DecodeCharset("caf\xE9", "", &used), L"caf\u00E9");
  EXPECT_EQ(used, 1252u);
  // us-ascii over 8-bit bytes is a common mislabel of UTF-8.
  EXPECT_EQ(DecodeCharset("caf\xC3\xA9", "us-ascii", &used), L"caf\u00E9");
  EXPECT_EQ(used, 65001u);
  EXPECT_EQ(DecodeCharset("plain", "us-ascii", &used), L"plain");
  EXPECT_EQ(used, 20127u);
}

TEST_F(MimeCharsetHostTest, EncodedWords) {
  EXPECT_EQ(DecodeHeaderText("=?utf-8?B?Q2Fmw6kgb2ZmZXJz?="), L"Caf\u00E9 offers");
  EXPECT_EQ(DecodeHeaderText("=?ISO-8859-1?Q?Caf=E9_deals?= today"), L"Caf\u00E9 deals today");
  // White space between adjacent words goes; around plain text it stays.
  EXPECT_EQ(DecodeHeaderText("Re: =?utf-8?q?a?= \r\n =?utf-8?q?b?= c"), L"Re: ab c");
  EXPECT_EQ(DecodeHeaderText("=?utf-8?q?a?= x =?utf-8?q?b?="), L"a x b");
  // A character split across two words in the same charset survives.
  EXPECT_EQ(DecodeHeaderText("=?utf-8?B?4oI=?= =?utf-8?B?rA==?="), L"\u20AC");
  // Words in different charsets, and an RFC 2231 language suffix.
  EXPECT_EQ(DecodeHeaderText("=?iso-8859-1?q?=E9?= =?koi8-r*ru?b?8NLJ18XU?="),
            L"\u00E9\u041F\u0440\u0438\u0432\u0435\u0442");
  EXPECT_EQ(DecodeHeaderText("=?shift_jis?B?k/qWew==?="), L"\u65E5\u672C");
  // Malformed words stay as written.
  EXPECT_EQ(DecodeHeaderText("=?utf-8?x?abc?= =?utf-8?q?no end"),
            L"=?utf-8?x?abc?= =?utf-8?q?no end");
  EXPECT_EQ(DecodeHeaderText("=?utf-8?q?has space?="), L"=?utf-8?q?has space?=");
  EXPECT_EQ(DecodeHeaderText("a =? b ?= c"), L"a =? b ?= c");
  // Raw 8-bit header text: UTF-8 when valid, else windows-1252.
  EXPECT_EQ(DecodeHeaderText("caf\xC3\xA9"), L"caf\u00E9");
  EXPECT_EQ(DecodeHeaderText("caf\xE9 =?utf-8?q?=C3=A9?="), L"caf\u00E9 \u00E9");
}

TEST_F(MimeCharsetHostTest, EncodedWordScanStaysLinearOnHostileText) {
  // Every "=?" opens a word that never closes: a scan without a bound would be quadratic.
  std::string hostile;
  for (int i = 0; i < 20000; ++i)
    hostile += "=?a?q?" + std::string(100, 'x');
  const std::wstring decoded = DecodeHeaderText(hostile);
  EXPECT_EQ(decoded.size(), hostile.size());
}

}  // namespace
}  // namespace tp::host::sim
