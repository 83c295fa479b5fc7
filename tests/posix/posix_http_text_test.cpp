// The posix HTTP port's texts: system messages for every code the adapters report, and the
// percent-encoding of form values.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "host/posix/posix_errors.h"
#include "host/posix/posix_http.h"

namespace tp {
namespace {

TEST(PosixSystemMessageTest, EveryCodeTheAdaptersReportHasATextEndingInALineBreak) {
  host::posix::PosixHttpTransport transport;
  std::vector<uint32_t> codes = {8,     87,    122,   12002, 12004, 12005, 12007,
                                 12019, 12029, 12030, 12031, 12150, 12152};
  for (int error = 0; error < 140; ++error) {
    if (const uint32_t code = host::posix::Win32ErrorFromErrno(error); code != 0) {
      codes.push_back(code);
    }
  }
  for (const uint32_t code : codes) {
    const std::optional<std::wstring> text = transport.SystemMessage(code);
    ASSERT_TRUE(text.has_value()) << code;
    EXPECT_TRUE(text->size() > 2 && text->ends_with(L"\r\n")) << code;
  }
  EXPECT_EQ(transport.SystemMessage(12029),
            L"A connection with the server could not be established\r\n");
  EXPECT_EQ(transport.SystemMessage(2), L"The system cannot find the file specified.\r\n");
  EXPECT_FALSE(transport.SystemMessage(0x2ee0 + 999).has_value());
}

TEST(PosixCanonicalizeUrlTest, EncodesUnsafeBytesAndPercentSignsOnly) {
  host::posix::PosixHttpTransport transport;
  EXPECT_EQ(transport.CanonicalizeUrl("a b%c\"<>\\^`{|}[]", 1024),
            "a%20b%25c%22%3C%3E%5C%5E%60%7B%7C%7D%5B%5D");
  EXPECT_EQ(transport.CanonicalizeUrl("\xC3\xA9\t\x7F", 1024), "%C3%A9%09%7F");
  // Reserved and unreserved characters keep their meaning in a query string.
  const std::string kept = "az09-_.!~*'()/?:@&=+$,;#";
  EXPECT_EQ(transport.CanonicalizeUrl(kept, 1024), kept);
}

TEST(PosixCanonicalizeUrlTest, TheResultAndItsTerminatorMustFitTheBuffer) {
  host::posix::PosixHttpTransport transport;
  EXPECT_EQ(transport.CanonicalizeUrl("a b", 6), "a%20b");
  EXPECT_FALSE(transport.CanonicalizeUrl("a b", 5).has_value());
  EXPECT_EQ(transport.LastError(), host::kErrorInsufficientBuffer);
  EXPECT_EQ(transport.CanonicalizeUrl("", 1), "");
}

}  // namespace
}  // namespace tp
