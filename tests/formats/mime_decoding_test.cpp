// Transfer encodings, charsets and encoded-words of the .eml reader.
#include <gtest/gtest.h>

#include "formats/encoded_words.h"
#include "formats/mime_charsets.h"
#include "formats/mime_encoding.h"
#include "formats/mime_header.h"
#include "host/codec.h"
#include "support/test_host.h"

namespace tp::mime {
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
      {"iso-8859-1", 28591},
      {"ISO-8859-15", 28605},
      {"iso_8859-2:1987", 28592},
      {"ISO8859-5", 28595},
      {"latin1", 28591},
      {"\"windows-1252\"", 1252},
      {"cp1251", 1251},
      {"x-cp1250", 1250},
      {"utf-8", 65001},
      {"UTF8", 65001},
      {"utf-7", 65000},
      {"UNICODE-1-1-UTF-7", 65000},
      {"x-unicode-2-0-utf-7", 65000},
      {"us-ascii", 20127},
      {"ANSI_X3.4-1968", 20127},
      {"iso-2022-jp", 50220},
      {"csISO2022JP", 50221},
      {"Shift_JIS", 932},
      {"x-sjis", 932},
      {"euc-jp", 51932},
      {"koi8-r", 20866},
      {"koi8-u", 21866},
      {"gb2312", 936},
      {"GBK", 936},
      {"gb18030", 54936},
      {"hz-gb-2312", 52936},
      {"big5", 950},
      {"utf-16", 1200},
      {"utf-16be", 1201},
      {"euc-kr", 51949},
      {"ks_c_5601-1987", 949},
      {"iso-2022-kr", 50225},
      {"iso-8859-8-i", 38598},
      {"iso-8859-11", 874},
      {"TIS-620", 874},
      {"cp866", 866},
      {"IBM850", 850},
      {"ibm00858", 858},
      {"ibm037", 37},
      {"ibm273", 20273},
      {"cp273", 20273},
      {"IBM01141", 1141},
      {"x-cp50227", 50227},
      {"macintosh", 10000},
      {"x-mac-cyrillic", 10007},
      {"x-iscii-de", 57002},
  };
  for (const auto& [name, codePage] : expected) {
    EXPECT_EQ(CodePageForCharset(name), codePage) << name;
  }
  // Parts of ISO 8859 and code pages that Windows does not have.
  for (const char* name :
       {"iso-8859-16", "iso-8859-12", "windows-1300", "cp99999", "ibm12", "cp", "x-unknown", ""}) {
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

// Text in the charsets mail is written in, as their labels name them; each expected text
// checked against the charset's code chart.
TEST_F(MimeCharsetHostTest, CharsetsOfRealMail) {
  struct Case {
    const char* charset;
    const char* bytes;
    const wchar_t* text;
  };
  const Case cases[] = {
      {"iso-8859-1",
       "Gr\xFC\xDF"
       "e",
       L"Gr\u00FC\u00DF"
       L"e"},
      {"ISO-8859-2",
       "\xA3\xF3"
       "d\xBC",
       L"\u0141\u00F3"
       L"d\u017A"},
      {"iso-8859-15", "10 \xA4", L"10 \u20AC"},
      {"windows-1250",
       "\xA3\xF3"
       "d\x9F",
       L"\u0141\u00F3"
       L"d\u017A"},
      {"windows-1251", "\xCF\xF0\xE8\xE2\xE5\xF2", L"\u041F\u0440\u0438\u0432\u0435\u0442"},
      {"koi8-r", "\xF0\xD2\xC9\xD7\xC5\xD4", L"\u041F\u0440\u0438\u0432\u0435\u0442"},
      {"koi8-u", "\xEB\xC9\xA7\xD7", L"\u041A\u0438\u0457\u0432"},
      {"cp866", "\x8F\xE0\xA8\xA2\xA5\xE2", L"\u041F\u0440\u0438\u0432\u0435\u0442"},
      {"iso-8859-5", "\xBF\xE0\xD8\xD2\xD5\xE2", L"\u041F\u0440\u0438\u0432\u0435\u0442"},
      {"x-mac-cyrillic", "\x8F\xF0\xE8\xE2\xE5\xF2", L"\u041F\u0440\u0438\u0432\u0435\u0442"},
      {"iso-8859-7", "\xCA\xE1\xEB\xE7\xEC\xDD\xF1\xE1",
       L"\u039A\u03B1\u03BB\u03B7\u03BC\u03AD\u03C1\u03B1"},
      {"windows-1253", "\xCA\xE1\xEB\xE7\xEC\xDD\xF1\xE1",
       L"\u039A\u03B1\u03BB\u03B7\u03BC\u03AD\u03C1\u03B1"},
      {"iso-8859-9", "\xDDstanbul", L"\u0130stanbul"},
      {"windows-1254", "\xDDstanbul", L"\u0130stanbul"},
      {"iso-8859-8-i", "\xF9\xEC\xE5\xED", L"\u05E9\u05DC\u05D5\u05DD"},
      {"windows-1255", "\xF9\xEC\xE5\xED", L"\u05E9\u05DC\u05D5\u05DD"},
      {"windows-1256", "\xE3\xD1\xCD\xC8\xC7", L"\u0645\u0631\u062D\u0628\u0627"},
      {"iso-8859-6", "\xE5\xD1\xCD\xC8\xC7", L"\u0645\u0631\u062D\u0628\u0627"},
      {"windows-1257", "\xC0\xFEuolas", L"\u0104\u017Euolas"},
      {"iso-8859-13", "\xC0\xFEuolas", L"\u0104\u017Euolas"},
      {"windows-874", "\xCA\xC7\xD1\xCA\xB4\xD5", L"\u0E2A\u0E27\u0E31\u0E2A\u0E14\u0E35"},
      {"tis-620", "\xCA\xC7\xD1\xCA\xB4\xD5", L"\u0E2A\u0E27\u0E31\u0E2A\u0E14\u0E35"},
      {"shift_jis", "\x93\xFA\x96{", L"\u65E5\u672C"},
      {"euc-jp", "\xC6\xFC\xCB\xDC", L"\u65E5\u672C"},
      {"iso-2022-jp", "\x1B$BF|K\\\x1B(B", L"\u65E5\u672C"},
      {"iso-2022-jp", "\x1B(I12\x1B$BF|K\\\x1B(B", L"\uFF71\uFF72\u65E5\u672C"},
      {"iso-2022-kr", "\x1B$)C\x0E>H3g\x0F", L"\uC548\uB155"},
      {"gb2312", "\xC4\xE3\xBA\xC3", L"\u4F60\u597D"},
      {"gbk", "\xC4\xE3\xBA\xC3", L"\u4F60\u597D"},
      {"gb18030", "\xC4\xE3\xBA\xC3", L"\u4F60\u597D"},
      {"hz-gb-2312", "~{Dc:C~}~~", L"\u4F60\u597D~"},
      {"big5",
       "\xA7"
       "A\xA6n",
       L"\u4F60\u597D"},
      {"euc-kr", "\xBE\xC8\xB3\xE7", L"\uC548\uB155"},
      {"ks_c_5601-1987", "\xBE\xC8\xB3\xE7", L"\uC548\uB155"},
      {"macintosh", "caf\x8E", L"caf\u00E9"},
      {"ibm850", "caf\x82", L"caf\u00E9"},
      {"ibm037", "\xC8\x85\x93\x93\x96", L"Hello"},
  };
  for (const Case& c : cases) {
    uint32_t used = 0;
    EXPECT_EQ(DecodeCharset(c.bytes, c.charset, &used), c.text) << c.charset;
    EXPECT_EQ(used, CodePageForCharset(c.charset).value_or(0)) << c.charset;
  }
  // JIS X 0212 in ISO-2022-JP, and GB 18030's four-byte sequences beyond GBK: Windows and
  // iconv have them, Wine does not.
  uint32_t used = 0;
  if (host::codec().ToWide(20932, "\x8F\xA2\xAF") == L"\u02D8") {
    EXPECT_EQ(DecodeCharset("\x1B$(D\"/\x1B(B", "csISO2022JP"), L"\u02D8");
  }
  if (!host::codec().ToWide(54936, "\x94\x39\xFC\x36").empty()) {
    EXPECT_EQ(DecodeCharset("\x94\x39\xFC\x36\xD6\xD0\xA2\xE3", "gb18030", &used),
              L"\U0001F600\u4E2D\u20AC");
  }
  // Unicode in 16 bits, its byte-order mark deciding; UTF-8's mark dropped.
  EXPECT_EQ(DecodeCharset(std::string("\xFF\xFE"
                                      "A\0\xE9\0",
                                      6),
                          "utf-16", &used),
            L"A\u00E9");
  EXPECT_EQ(used, 1200u);
  EXPECT_EQ(DecodeCharset(std::string("\xFE\xFF\0A\0\xE9", 6), "utf-16", &used), L"A\u00E9");
  EXPECT_EQ(used, 1201u);
  EXPECT_EQ(DecodeCharset("\xEF\xBB\xBFhi", "utf-8"), L"hi");
}

// UTF-7 (RFC 2152), which Windows converts as code page 65000: the RFC's own examples, the
// optional "-" after a shifted run, "+-" for a plus sign, characters beyond 16 bits.
TEST_F(MimeCharsetHostTest, Utf7) {
  struct Case {
    const char* bytes;
    const wchar_t* text;
  };
  const Case cases[] = {
      {"Hi Mom -+Jjo--!", L"Hi Mom -\u263A-!"},
      {"A+ImIDkQ.", L"A\u2262\u0391."},
      {"+ZeVnLIqe-", L"\u65E5\u672C\u8A9E"},
      {"+ZeVnLIqe", L"\u65E5\u672C\u8A9E"},
      {"Item 3 is +AKM-1.",
       L"Item 3 is \u00A3"
       L"1."},
      {"1 +- 1 = 2", L"1 + 1 = 2"},
      {"Gr+APwA3w-e",
       L"Gr\u00FC\u00DF"
       L"e"},
      {"+2D3cAQ-", L"\U0001F401"},
  };
  for (const Case& c : cases) {
    uint32_t used = 0;
    EXPECT_EQ(DecodeCharset(c.bytes, "utf-7", &used), c.text) << c.bytes;
    EXPECT_EQ(used, 65000u);
  }
  // In encoded-words, both encodings, and in an RFC 2231 parameter.
  EXPECT_EQ(DecodeHeaderText("=?utf-7?Q?Hi_Mom_-+Jjo--!?="), L"Hi Mom -\u263A-!");
  EXPECT_EQ(DecodeHeaderText("=?UNICODE-1-1-UTF-7?B?K1plVm5MSXFlLQ==?= news"),
            L"\u65E5\u672C\u8A9E news");
  EXPECT_EQ(ParameterText(ParseStructuredValue("attachment; filename*=utf-7''%2BZeVnLIqe-.txt"),
                          "filename"),
            L"\u65E5\u672C\u8A9E.txt");
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
}  // namespace tp::mime
