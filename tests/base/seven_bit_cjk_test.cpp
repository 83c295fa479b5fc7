// The 7-bit East Asian encodings rewritten as EUC: shifts, escapes and damaged input.
#include "base/seven_bit_cjk.h"

#include <gtest/gtest.h>

#include <string>

namespace tp {
namespace {

struct Case {
  const char* what;
  std::string in;
  std::string out;
};

TEST(SevenBitCjkTest, Iso2022Jp) {
  const Case cases[] = {
      {"JIS X 0208 between escapes", "a\x1B$BF|K\\\x1B(Bb",
       "a\xC6\xFC\xCB\xDC"
       "b"},
      {"the 1978 set and JIS-Roman", "\x1B$@F|\x1B(J~", "\xC6\xFC~"},
      {"katakana by escape", "\x1B(I12\x1B(B", "\x8E\xB1\x8E\xB2"},
      {"katakana by shift",
       "\x0E"
       "12\x0F"
       "3",
       "\x8E\xB1\x8E\xB2"
       "3"},
      {"8-bit katakana left in", "\xB1", "\x8E\xB1"},
      {"JIS X 0212", "\x1B$(D\"/", "\x8F\xA2\xAF"},
      {"a line end inside the set", "\x1B$BF|\r\nK\\", "\xC6\xFC\r\n\xCB\xDC"},
      {"a lone byte at the end", "\x1B$BF|K", "\xC6\xFCK"},
      {"an unknown escape passes", "\x1B$AX", "\x1B$AX"},
      {"an escape cut short", "x\x1B$", "x\x1B$"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Iso2022JpToEucJp(c.in), c.out) << c.what;
}

TEST(SevenBitCjkTest, Iso2022KrAndHz) {
  const Case korean[] = {
      {"a shifted run", "\x1B$)C\x0E>H3g\x0F!", "\xBE\xC8\xB3\xE7!"},
      {"a line end shifts back", "\x0E>H\r\n3g", "\xBE\xC8\r\n3g"},
  };
  for (const Case& c : korean)
    EXPECT_EQ(Iso2022KrToEucKr(c.in), c.out) << c.what;
  const Case chinese[] = {
      {"a GB run and a tilde", "~{Dc:C~}~~", "\xC4\xE3\xBA\xC3~"},
      {"a soft line break", "a~\r\nb~\nc", "abc"},
      {"a run a line end closes", "~{Dc\nDc", "\xC4\xE3\nDc"},
      {"a tilde that escapes nothing", "~x", "~x"},
  };
  for (const Case& c : chinese)
    EXPECT_EQ(HzToGb2312(c.in), c.out) << c.what;
}

}  // namespace
}  // namespace tp
