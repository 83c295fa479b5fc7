// Header blocks, structured values and the MIME tree, including hostile structure.
#include <gtest/gtest.h>

#include "formats/mime_header.h"
#include "formats/mime_parser.h"
#include "support/test_host.h"

namespace tp::mime {
namespace {

TEST(MimeHeaderTest, RawBlockIsByteExactWithCrLfAndFoldsKept) {
  const std::string lf =
      "Received: from a.example\n\tby b.example; Tue, 4 Mar 2025 09:15:02 +0000\n"
      "Subject:  two  spaces \n"
      "X-Odd:\r\n  folded\r\n\r\nbody line\n";
  const HeaderBlock block = SplitHeaderBlock(lf);
  EXPECT_EQ(block.raw,
            "Received: from a.example\r\n\tby b.example; Tue, 4 Mar 2025 09:15:02 +0000\r\n"
            "Subject:  two  spaces \r\n"
            "X-Odd:\r\n  folded\r\n");
  EXPECT_EQ(lf.substr(block.bodyOffset), "body line\n");
  ASSERT_EQ(block.fields.size(), 3u);
  EXPECT_EQ(block.fields[0].value,
            " from a.example\n\tby b.example; Tue, 4 Mar 2025 09:15:02 +0000");
  EXPECT_EQ(Unfold(block.fields[0].value),
            "from a.example\tby b.example; Tue, 4 Mar 2025 09:15:02 +0000");
  EXPECT_EQ(Unfold(block.fields[2].value), "folded");
}

TEST(MimeHeaderTest, BlockEndsWithoutBlankLineAtTheFirstNonField) {
  const std::string text = "Subject: hi\nFrom: a@b.example\nHello there\nmore";
  const HeaderBlock block = SplitHeaderBlock(text);
  EXPECT_EQ(block.fields.size(), 2u);
  EXPECT_EQ(text.substr(block.bodyOffset), "Hello there\nmore");
  // Only header lines, no line end at the end.
  const HeaderBlock only = SplitHeaderBlock("Subject: hi\r\nX-A: b");
  EXPECT_EQ(only.raw, "Subject: hi\r\nX-A: b\r\n");
  EXPECT_EQ(only.bodyOffset, 19u);
  // No field at the start: all body. A leading blank line: no header, body after it.
  EXPECT_TRUE(SplitHeaderBlock("just text: not\na header").fields.empty());
  EXPECT_EQ(SplitHeaderBlock(" continuation first").bodyOffset, 0u);
  EXPECT_EQ(SplitHeaderBlock("\r\nbody").bodyOffset, 2u);
  // The obsolete "Name :" form is a field.
  EXPECT_EQ(SplitHeaderBlock("Subject : old\n\n").fields.at(0).name, "Subject");
}

TEST(MimeHeaderTest, FindsTheTopmostFieldIgnoringCase) {
  const HeaderBlock block = SplitHeaderBlock("Received: one\nRECEIVED: two\nreceived-spf: x\n\n");
  ASSERT_NE(FindField(block.fields, "received"), nullptr);
  EXPECT_EQ(FindField(block.fields, "received")->value, " one");
  EXPECT_EQ(FindField(block.fields, "Received-SPF")->value, " x");
  EXPECT_EQ(FindField(block.fields, "Receive"), nullptr);
}

// Every field of a name that some reader takes for one, wherever a line may start.
TEST(MimeHeaderTest, FindsEveryFieldAnyReaderSees) {
  using Values = std::vector<std::string>;
  const struct {
    std::string_view block;
    Values values;
  } cases[] = {
      {"Received: x\r\nFrom: a@x.example\r\nSubject: s\r\n", {"a@x.example"}},
      {"FROM: a@x.example\r\nfrom \t: b@y.example\r\n", {"a@x.example", "b@y.example"}},
      {"From: Acme\r\n <a@x.example>\r\n\tx\r\nTo: t\r\n", {"Acme <a@x.example>\tx"}},
      // A lone CR ends a line for some readers, so what follows it may be a field.
      {"Subject: hi\rFrom: b@y.example\r\nFrom: a@x.example\r\n", {"b@y.example", "a@x.example"}},
      {"From: Acme\r<a@x.example>\r\n", {"Acme"}},
      {"From: Acme\r <a@x.example>\r\n", {"Acme <a@x.example>"}},
      // Neither a blank line nor a line that is not a field ends the search.
      {"X: 1\r\n\r\nFrom: a@x.example", {"a@x.example"}},
      {"not a field\nFrom: a@x.example\n", {"a@x.example"}},
      // Other names, continuation lines and an mbox separator are no From fields.
      {"X-Original-From: a\r\nFrom-Address: b\r\nResent-From: c\r\n", {}},
      {" From: a@x.example\r\nSubject: x\r\n From: b@y.example\r\n", {}},
      {"From a@x.example Tue Mar  4 09:00:00 2025\r\n", {}},
      {"", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindFieldsEverywhere(c.block, "From"), c.values) << c.block;
  }
  std::string many;
  for (int i = 0; i < 200000; ++i)
    many += "X: y\r";
  EXPECT_EQ(FindFieldsEverywhere(many + "From: a@x.example", "from"), Values{"a@x.example"});
}

class MimeParameterTest : public testing::SimHostTest {};

TEST_F(MimeParameterTest, StructuredValuesAndParameters) {
  const StructuredValue type = ParseStructuredValue(
      "Text/HTML (comment) ; Charset=\"UTF-8\"; name=\"semi;colon \\\"q\\\".htm\"; bare = a b ;"
      " flag; charset=ignored-second");
  EXPECT_EQ(type.token, "text/html");
  EXPECT_EQ(type.params.at("charset"), "UTF-8");
  EXPECT_EQ(type.params.at("name"), "semi;colon \"q\".htm");
  EXPECT_EQ(type.params.at("bare"), "a b");
  EXPECT_EQ(type.params.count("flag"), 0u);

  // RFC 2231: one extended value, continuations mixing encoded and plain pieces, and the
  // misused encoded-word form.
  const StructuredValue extended =
      ParseStructuredValue("attachment; filename*=iso-8859-1'fr'caf%E9%20menu.pdf");
  EXPECT_EQ(ParameterText(extended, "filename"), L"caf\u00E9 menu.pdf");
  const StructuredValue pieces = ParseStructuredValue(
      "attachment; filename*1=\" part\"; filename*0*=utf-8''%E2%82%AC; filename*2*=%21.txt");
  EXPECT_EQ(ParameterText(pieces, "filename"), L"\u20AC part!.txt");
  const StructuredValue word =
      ParseStructuredValue("image/png; name=\"=?utf-8?q?caf=C3=A9?=.png\"");
  EXPECT_EQ(ParameterText(word, "name"), L"caf\u00E9.png");
  EXPECT_EQ(ParameterText(word, "filename"), L"");
}

std::string Multipart(const std::string& type, const std::string& boundary,
                      const std::vector<std::string>& parts, bool close = true) {
  std::string text =
      "Content-Type: " + type + "; boundary=\"" + boundary + "\"\r\n\r\npreamble\r\n";
  for (const std::string& part : parts)
    text += "--" + boundary + "\r\n" + part + "\r\n";
  if (close)
    text += "--" + boundary + "--\r\nepilogue\r\n";
  return text;
}

size_t CountParts(const MimePart& part) {
  size_t count = 1;
  for (const MimePart& child : part.children)
    count += CountParts(child);
  return count;
}

TEST(MimeParserTest, NestedMultipartsAndPartBoundaries) {
  const std::string inner = Multipart(
      "multipart/alternative", "inner",
      {"Content-Type: text/plain\r\n\r\nplain\r\n", "Content-Type: text/html\r\n\r\n<p>html</p>"});
  const std::string text = Multipart(
      "multipart/mixed", "outer",
      {inner, "Content-Type: image/png\r\nContent-Transfer-Encoding: base64\r\n\r\niVBO\r\nRw0K",
       "\r\nno headers"});
  const MimePart top = ParseMimeEntity(text);
  EXPECT_EQ(top.contentType.token, "multipart/mixed");
  EXPECT_FALSE(top.truncated);
  ASSERT_EQ(top.children.size(), 3u);
  const MimePart& alternative = top.children[0];
  ASSERT_EQ(alternative.children.size(), 2u);
  // The line end before a delimiter belongs to it; the part's own trailing line end stays.
  EXPECT_EQ(alternative.children[0].body, "plain\r\n");
  EXPECT_EQ(alternative.children[1].body, "<p>html</p>");
  EXPECT_EQ(top.children[1].DecodedBody(), "\x89PNG\r\n");
  EXPECT_EQ(top.children[2].contentType.token, "text/plain");
  EXPECT_EQ(top.children[2].body, "no headers");
}

TEST(MimeParserTest, DelimitersMustStandAloneOnTheirLine) {
  const std::string text =
      "Content-Type: multipart/mixed; boundary=b\n\n"
      "--b\nContent-Type: text/plain\n\n"
      "not --b here\n--bx is longer\n--b-- x neither\n"
      "--b  \t\nsecond\n--b--";
  const MimePart top = ParseMimeEntity(text);
  EXPECT_EQ(top.doubt, StructureDoubt::kLineStartsWithDelimiter);
  ASSERT_EQ(top.children.size(), 2u);
  EXPECT_EQ(top.children[0].body, "not --b here\n--bx is longer\n--b-- x neither");
  EXPECT_EQ(top.children[1].body, "second");
}

TEST(MimeParserTest, DigestPartsDefaultToMessages) {
  // A part's body points into the text, which therefore outlives the parse.
  const std::string text = Multipart("multipart/digest", "d", {"\r\nSubject: inner\r\n\r\nhi"});
  const MimePart top = ParseMimeEntity(text);
  ASSERT_EQ(top.children.size(), 1u);
  EXPECT_EQ(top.children[0].contentType.token, "message/rfc822");
  EXPECT_TRUE(top.children[0].children.empty());  // an enclosed message stays whole
}

TEST(MimeParserTest, TruncatedAndUnclosedMultipartsKeepWhatArrived) {
  const std::string text = Multipart(
      "multipart/mixed", "u", {"Content-Type: text/plain\r\n\r\nfirst", "second cut"}, false);
  const MimePart unclosed = ParseMimeEntity(text);
  EXPECT_TRUE(unclosed.truncated);
  ASSERT_EQ(unclosed.children.size(), 2u);
  EXPECT_EQ(unclosed.children[1].body, "second cut\r\n");

  const MimePart cut =
      ParseMimeEntity("Content-Type: multipart/mixed; boundary=c\r\n\r\n--c\r\nCont");
  ASSERT_EQ(cut.children.size(), 1u);
  EXPECT_TRUE(cut.truncated);

  // No delimiter at all, or no boundary parameter: a multipart without parts.
  EXPECT_TRUE(
      ParseMimeEntity("Content-Type: multipart/mixed; boundary=z\r\n\r\ntext").children.empty());
  EXPECT_TRUE(ParseMimeEntity("Content-Type: multipart/mixed\r\n\r\n--\r\n").children.empty());
  const std::string longBoundary(201, 'b');
  EXPECT_TRUE(ParseMimeEntity(Multipart("multipart/mixed", longBoundary, {"x"})).children.empty());
}

TEST(MimeParserTest, NestingThousandsDeepStopsAtTheDepthLimit) {
  std::string opening;
  std::string closing;
  for (int level = 1; level <= 5000; ++level) {
    const std::string boundary = "b" + std::to_string(level);
    opening +=
        "Content-Type: multipart/mixed; boundary=" + boundary + "\r\n\r\n--" + boundary + "\r\n";
    closing = "\r\n--" + boundary + "--" + closing;
  }
  const std::string text = opening + "leaf" + closing;
  const MimeLimits limits;
  const MimePart top = ParseMimeEntity(text, limits);
  int depth = 0;
  const MimePart* part = &top;
  while (!part->children.empty()) {
    part = &part->children[0];
    ++depth;
  }
  EXPECT_EQ(depth, limits.maxDepth);
  EXPECT_TRUE(part->IsMultipart());  // kept whole below the limit
}

TEST(MimeParserTest, PartCountIsBounded) {
  std::vector<std::string> parts(5000, "Content-Type: text/plain\r\n\r\nx");
  MimeLimits limits;
  limits.maxParts = 100;
  const std::string text = Multipart("multipart/mixed", "p", parts);
  const MimePart top = ParseMimeEntity(text, limits);
  EXPECT_EQ(top.children.size(), 99u);  // the top counts as one
  EXPECT_TRUE(top.truncated);
}

TEST(MimeParserTest, MegabytesWithoutLineFeedsAndBinaryGarbage) {
  std::string huge = "Content-Type: multipart/mixed; boundary=m\r\n\r\n--m\r\n";
  huge += std::string(8u << 20, '-');  // a boundary-like character everywhere, no line end
  const MimePart top = ParseMimeEntity(huge);
  ASSERT_EQ(top.children.size(), 1u);
  EXPECT_TRUE(top.truncated);

  // Random bytes with delimiter lines and multipart headers of one boundary strewn in.
  std::string garbage = "Content-Type: multipart/mixed; boundary=g\n\n";
  uint32_t state = 12345;
  for (int i = 0; i < (1 << 20); ++i) {
    state = state * 1103515245 + 12345;
    garbage += static_cast<char>(state >> 24);
    if (state % 997 == 0)
      garbage += "\n--g\n";
    if (state % 1999 == 0)
      garbage += "\nContent-Type: multipart/related; boundary=g\n\n";
  }
  const MimeLimits limits;
  const MimePart parsed = ParseMimeEntity(garbage, limits);
  EXPECT_LE(CountParts(parsed), limits.maxParts);
  EXPECT_GT(CountParts(parsed), 1u);
}

}  // namespace
}  // namespace tp::mime
