// The Date field.
#include <gtest/gtest.h>

#include "formats/mail_fields.h"
#include "support/test_host.h"

namespace tp::mime {
namespace {

class MailFieldsTest : public testing::SimHostTest {};

TEST_F(MailFieldsTest, DatesInCurrentAndObsoleteForms) {
  // 2025-03-04 09:15:02 UTC.
  constexpr int64_t kUtc = 1741079702;
  EXPECT_EQ(ParseMailDate("Tue, 4 Mar 2025 09:15:02 +0000"), kUtc);
  EXPECT_EQ(ParseMailDate("Tue, 04 Mar 2025 10:15:02 +0100 (CET)"), kUtc);
  EXPECT_EQ(ParseMailDate(" 4 Mar 2025 04:15:02 EST"), kUtc);
  EXPECT_EQ(ParseMailDate("Tue,4 Mar 25 01:15:02 PST"), kUtc);
  EXPECT_EQ(ParseMailDate("4 March 2025 09:15:02 -0000"), kUtc);
  EXPECT_EQ(ParseMailDate("Tue, 4 Mar 2025 09:15 GMT"), kUtc - 2);
  EXPECT_EQ(ParseMailDate("4 Mar 2025 09:15:02 +0000 (unknown zone wins nothing) XYZ"), kUtc);
  EXPECT_EQ(ParseMailDate("Thu, 1 Jan 1970 00:00:00 +0000"), 0);
  EXPECT_EQ(ParseMailDate("Mon, 29 Feb 2016 23:59:59 -0230"), 1456790399 + 2 * 3600 + 30 * 60);
  for (const char* bad : {"", "garbage", "Tue, 4 Mar 2025", "4 Foo 2025 09:15:02",
                          "32 Mar 2025 09:15:02", "4 Mar 2025 25:00:00", "4 Mar 2025 9:x"}) {
    EXPECT_FALSE(ParseMailDate(bad)) << bad;
  }
}

}  // namespace
}  // namespace tp::mime
