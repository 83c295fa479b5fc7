// Where mail readers divide a multipart differently, the reader names the doubt; and the
// searches it divides with stay linear on hostile text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/mime_header.h"
#include "formats/mime_parser.h"
#include "formats/occurrences.h"

namespace tp::mime {
namespace {

std::vector<size_t> AllOccurrences(std::string_view text, std::string_view pattern) {
  std::vector<size_t> found;
  Occurrences occurrences(text, pattern);
  for (size_t at = occurrences.Next(); at != std::string_view::npos; at = occurrences.Next())
    found.push_back(at);
  return found;
}

TEST(OccurrencesTest, FindsEveryOccurrenceOverlappingOnesIncluded) {
  EXPECT_EQ(AllOccurrences("--b--b---b", "--b"), (std::vector<size_t>{0, 3, 7}));
  EXPECT_EQ(AllOccurrences("-----", "---"), (std::vector<size_t>{0, 1, 2}));
  EXPECT_EQ(AllOccurrences("aabaabaab", "aabaab"), (std::vector<size_t>{0, 3}));
  EXPECT_TRUE(AllOccurrences("--", "---").empty());
  // 202 dashes in 16 MiB of dashes: every position matches, each found in constant time.
  const std::string dashes(16u << 20, '-');
  const std::string pattern(202, '-');
  Occurrences occurrences(dashes, pattern);
  size_t count = 0;
  while (occurrences.Next() != std::string_view::npos)
    ++count;
  EXPECT_EQ(count, dashes.size() - 201);
}

TEST(StructuredValueTest, NamesRepeatedAndIrregularParameters) {
  struct Case {
    const char* value;
    const char* boundary;  // the value the reader takes
    bool repeated;
    bool irregular;
  };
  const Case cases[] = {
      {"multipart/signed; boundary=\"a b\"", "a b", false, false},
      {"multipart/signed; boundary=plain-token", "plain-token", false, false},
      {"multipart/signed; boundary=\"first\"; BOUNDARY=second", "first", true, false},
      {"multipart/signed; x-note=\"filed; boundary=gen\"; boundary=real", "real", false, false},
      {"multipart/signed; boundary=\"quoted\"tail", "quoted", false, true},
      {"multipart/signed; boundary=\"never closed", "never closed", false, true},
      {"multipart/signed; boundary=two words", "two words", false, true},
      {"multipart/signed; boundary=(comment)token", "token", false, true},
      {"multipart/signed; boundary=half\"quoted\"", "halfquoted", false, true},
      {"multipart/signed; boundary=\"quoted\" (a comment)", "quoted", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    const StructuredValue value = ParseStructuredValue(c.value);
    EXPECT_EQ(value.params.at("boundary"), c.boundary);
    EXPECT_EQ(value.repeated.count("boundary") == 1, c.repeated);
    EXPECT_EQ(value.irregular.count("boundary") == 1, c.irregular);
  }
}

std::string Signed(const std::string& typeField, const std::string& body) {
  return "Content-Type: " + typeField + "\r\n\r\n" + body;
}

constexpr char kTwoParts[] =
    "preamble\r\n--b\r\nContent-Type: text/plain\r\n\r\nshown\r\n--b\r\n"
    "Content-Type: application/pkcs7-signature\r\n\r\nsig\r\n--b--\r\nepilogue\r\n";

TEST(MimeDoubtTest, ReadersAgreeOnPlainEntitiesWhateverTheLineEndsAndPadding) {
  struct Case {
    const char* name;
    std::string entity;
  };
  const Case cases[] = {
      {"quoted boundary", Signed("multipart/signed; boundary=\"b\"", kTwoParts)},
      {"token boundary", Signed("multipart/signed; boundary=b", kTwoParts)},
      {"line feeds only",
       "Content-Type: multipart/signed; boundary=b\n\n--b\nContent-Type: text/plain\n\nshown\n"
       "--b\nContent-Type: application/pkcs7-signature\n\nsig\n--b--\n"},
      {"transport padding after each delimiter",
       Signed("multipart/signed; boundary=b",
              "--b \t \r\nContent-Type: text/plain\r\n\r\nshown\r\n--b\t\r\n\r\nsig\r\n--b--  ")},
      {"delimiter text inside a line", Signed("multipart/signed; boundary=b",
                                              "--b\r\n\r\nshown --b here\r\n--b\r\n\r\nsig\r\n"
                                              "--b--\r\n")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const MimePart top = ParseMimeEntity(c.entity);
    EXPECT_EQ(top.doubt, StructureDoubt::kNone) << DescribeDoubt(top.doubt);
    EXPECT_FALSE(top.truncated);
    ASSERT_EQ(top.children.size(), 2u);
    EXPECT_EQ(top.children[0].body.substr(0, 5), "shown");
  }
}

TEST(MimeDoubtTest, NamesEachWayReadersCouldDivideAnEntityDifferently) {
  struct Case {
    const char* name;
    std::string entity;
    StructureDoubt doubt;
  };
  const std::string type = "multipart/signed; boundary=b";
  const Case cases[] = {
      {"two Content-Type fields",
       "Content-Type: multipart/signed; boundary=b\r\nContent-Type: text/plain\r\n\r\n" +
           std::string(kTwoParts),
       StructureDoubt::kContentTypeRepeated},
      {"boundary given twice", Signed("multipart/signed; boundary=b; boundary=gen", kTwoParts),
       StructureDoubt::kBoundaryRepeated},
      {"boundary quoted then continued", Signed("multipart/signed; boundary=\"b\"x", kTwoParts),
       StructureDoubt::kBoundaryIrregular},
      {"boundary in RFC 2231 pieces too",
       Signed("multipart/signed; boundary=b; boundary*0=g; boundary*1=en", kTwoParts),
       StructureDoubt::kBoundaryContinued},
      {"boundary ending in a blank", Signed("multipart/signed; boundary=\"b \"", kTwoParts),
       StructureDoubt::kBoundaryCharacters},
      {"boundary as an encoded-word",
       Signed("multipart/signed; boundary=\"=?utf-8?q?b?=\"", kTwoParts),
       StructureDoubt::kBoundaryCharacters},
      {"8-bit boundary", Signed("multipart/signed; boundary=\"b\xC3\xA9\"", kTwoParts),
       StructureDoubt::kBoundaryCharacters},
      {"a longer line that starts with the delimiter",
       Signed(type, "--bX\r\nhidden\r\n" + std::string(kTwoParts)),
       StructureDoubt::kLineStartsWithDelimiter},
      {"a delimiter with text after its padding",
       Signed(type, "--b x\r\nhidden\r\n" + std::string(kTwoParts)),
       StructureDoubt::kLineStartsWithDelimiter},
      {"a delimiter ended by a carriage return alone",
       Signed(type, "--b\rhidden\r\n" + std::string(kTwoParts)),
       StructureDoubt::kLineStartsWithDelimiter},
      {"a delimiter after a carriage return alone",
       Signed(type, "text\r--b\r\nhidden\r\n" + std::string(kTwoParts)),
       StructureDoubt::kDelimiterAfterCarriageReturn},
      {"no closing delimiter",
       Signed(type,
              "--b\r\n\r\nshown\r\n--b\r\nContent-Type: application/pkcs7-signature\r\n\r\n"
              "sig\r\n"),
       StructureDoubt::kNoClosingDelimiter},
      {"a closing delimiter in the preamble", Signed(type, "--b--\r\n" + std::string(kTwoParts)),
       StructureDoubt::kDelimiterAfterClose},
      {"a third part after the closing delimiter",
       Signed(type, std::string(kTwoParts) + "--b\r\n\r\nthird\r\n--b--\r\n"),
       StructureDoubt::kDelimiterAfterClose},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ParseMimeEntity(c.entity).doubt, c.doubt)
        << DescribeDoubt(ParseMimeEntity(c.entity).doubt);
  }
}

TEST(MimeDoubtTest, APartRunsFromAfterItsDelimiterLineToBeforeTheNextOnesLineEnd) {
  const std::string entity = Signed("multipart/signed; boundary=b", kTwoParts);
  const MimePart top = ParseMimeEntity(entity);
  ASSERT_EQ(top.children.size(), 2u);
  EXPECT_EQ(top.entity, entity);
  EXPECT_EQ(top.children[0].entity, "Content-Type: text/plain\r\n\r\nshown");
  EXPECT_EQ(top.children[1].entity, "Content-Type: application/pkcs7-signature\r\n\r\nsig");
  // The doubt of a part inside belongs to that part.
  const std::string nested = Signed(
      "multipart/mixed; boundary=outer",
      "--outer\r\nContent-Type: multipart/alternative; boundary=in; boundary=x\r\n\r\n--in\r\n"
      "\r\ntext\r\n--in--\r\n--outer--\r\n");
  const MimePart outer = ParseMimeEntity(nested);
  EXPECT_EQ(outer.doubt, StructureDoubt::kNone);
  ASSERT_EQ(outer.children.size(), 1u);
  EXPECT_EQ(outer.children[0].doubt, StructureDoubt::kBoundaryRepeated);
}

}  // namespace
}  // namespace tp::mime
