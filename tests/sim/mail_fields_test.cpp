// The From and Date fields.
#include <gtest/gtest.h>

#include "host/sim/mail_fields.h"
#include "support/test_host.h"

namespace tp::host::sim {
namespace {

class MailFieldsTest : public testing::SimHostTest {};

TEST_F(MailFieldsTest, FirstMailboxOfAnAddressField) {
  struct Case {
    const char* field;
    const wchar_t* address;
    const wchar_t* name;
  };
  const Case cases[] = {
      {"Acme Travel <deals@acmetravel.example>", L"deals@acmetravel.example", L"Acme Travel"},
      {"\"Doe, Jane \\\"JD\\\"\" <jane@x.example>", L"jane@x.example", L"Doe, Jane \"JD\""},
      {"=?utf-8?q?Caf=C3=A9?= <cafe@x.example>", L"cafe@x.example", L"Caf\u00E9"},
      {"\"=?utf-8?b?Q2Fmw6k=?=\" <cafe@x.example>", L"cafe@x.example", L"Caf\u00E9"},
      {"plain@x.example", L"plain@x.example", L""},
      {"plain@x.example (Plain Person)", L"plain@x.example", L"Plain Person"},
      {"<@relay.example:routed@x.example>", L"routed@x.example", L""},
      {"first@x.example, second@y.example", L"first@x.example", L""},
      {"A (comment <not@this.example>) <real@x.example>", L"real@x.example", L"A"},
      {"Team: one@x.example, two@y.example;", L"one@x.example", L""},
      {"Broken <unclosed@x.example", L"unclosed@x.example", L"Broken"},
      {"", L"", L""},
  };
  for (const Case& c : cases) {
    const Mailbox mailbox = ParseMailbox(c.field);
    EXPECT_EQ(mailbox.address, c.address) << c.field;
    EXPECT_EQ(mailbox.displayName, c.name) << c.field;
  }
}

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
}  // namespace tp::host::sim
