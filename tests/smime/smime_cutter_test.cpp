// Cutting clear-signed entities into their signed part and signature, on intact and hostile
// text.
#include "smime/smime_cutter.h"

#include <gtest/gtest.h>

#include <string>

#include "formats/base64.h"
#include "formats/mime_header.h"
#include "other_readers.h"

namespace tp {
namespace {

constexpr char kSignedPart[] =
    "Content-Type: text/plain; charset=utf-8\r\n\r\nYour statement is ready.\r\nBalance: 100";
const std::string kSignature = "\x30\x82\x01\x7F signature bytes \xFF";

// A multipart/signed entity whose Content-Type carries `parameter` (the text after
// "boundary=") and whose parts are delimited by "--" + `delimiter`.
std::string Entity(const std::string& parameter, const std::string& delimiter,
                   const std::string& signedPart = kSignedPart) {
  return "Content-Type: multipart/signed; protocol=\"application/pkcs7-signature\";\r\n"
         "\tmicalg=sha-256; boundary=" +
         parameter + "\r\n\r\nThis is an S/MIME signed message\r\n\r\n--" + delimiter + "\r\n" +
         signedPart + "\r\n--" + delimiter +
         "\r\nContent-Type: application/pkcs7-signature; name=\"smime.p7s\"\r\n"
         "Content-Transfer-Encoding: base64\r\n\r\n" +
         Base64Encode(kSignature).insert(8, "\r\n") + "\r\n\r\n--" + delimiter + "--\r\n";
}

std::string Quoted(const std::string& boundary) {
  return "\"" + boundary + "\"";
}

TEST(SmimeCutterTest, CutsTheSignedPartExactlyAndDecodesTheSignature) {
  struct Case {
    const char* name;
    std::string entity;
  };
  const std::string boundary = "----=_Part_0_MixedCase";
  const Case cases[] = {
      {"quoted", Entity(Quoted(boundary), boundary)},
      {"header name in capitals",
       [&] {
         std::string text = Entity(Quoted(boundary), boundary);
         text.replace(0, 12, "CONTENT-TYPE");
         return text;
       }()},
      {"parameter name in capitals",
       [&] {
         std::string text = Entity(Quoted(boundary), boundary);
         text.replace(text.find("boundary="), 9, "BOUNDARY=");
         return text;
       }()},
      {"unquoted token", Entity("plain-token_1", "plain-token_1")},
      {"200 characters", Entity(Quoted(std::string(200, 'b')), std::string(200, 'b'))},
      {"zero bytes padding its end", Entity(Quoted(boundary), boundary) + std::string(3, '\0')},
      {"transport padding after each delimiter",
       [&] {
         std::string text = Entity(Quoted(boundary), boundary);
         for (size_t at = text.find("\r\n--" + boundary); at != std::string::npos;
              at = text.find("\r\n--" + boundary, at + 1)) {
           text.insert(text.find("\r\n", at + 2), " \t ");
         }
         return text;
       }()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::wstring problem;
    const std::optional<DetachedSignature> cut = CutDetachedSignature(c.entity, &problem);
    ASSERT_TRUE(cut.has_value()) << std::string(problem.begin(), problem.end());
    EXPECT_EQ(cut->signedPart, kSignedPart);
    EXPECT_EQ(cut->signature, kSignature);
    // Readers that divide otherwise show the same part.
    const mime::HeaderBlock header = mime::SplitHeaderBlock(c.entity);
    const std::string parameter =
        mime::ParseStructuredValue(mime::Unfold(header.fields.at(0).value)).params.at("boundary");
    for (const auto rule :
         {testing::DelimiterRule::kWholeLine, testing::DelimiterRule::kLineStart}) {
      const testing::OtherReading other = testing::DivideAsOthersDo(
          std::string_view(c.entity).substr(header.bodyOffset), parameter, rule);
      EXPECT_TRUE(other.closed);
      ASSERT_EQ(other.parts.size(), 2u);
      EXPECT_EQ(other.parts[0], kSignedPart);
    }
  }
}

TEST(SmimeCutterTest, KeepsTheSignedPartsOwnLineBreaksAndOnlyDropsTheDelimitersOne) {
  const std::string part = "Content-Type: text/plain\r\n\r\nends with a blank line\r\n\r\n";
  const std::string entity = Entity(Quoted("b1"), "b1", part);  // the cut points into it
  std::wstring problem;
  const auto cut = CutDetachedSignature(entity, &problem);
  ASSERT_TRUE(cut.has_value());
  EXPECT_EQ(cut->signedPart, part);

  // With line feeds alone, the line feed before a delimiter is the delimiter's.
  std::string lineFeeds;
  for (const char ch : Entity(Quoted("b1"), "b1", "Content-Type: text/plain\r\n\r\nx\r\n")) {
    if (ch != '\r')
      lineFeeds += ch;
  }
  const auto lf = CutDetachedSignature(lineFeeds, &problem);
  ASSERT_TRUE(lf.has_value()) << std::string(problem.begin(), problem.end());
  EXPECT_EQ(lf->signedPart, "Content-Type: text/plain\n\nx\n");
  EXPECT_EQ(lf->signature, kSignature);
}

TEST(SmimeCutterTest, RefusesWhatIsNotAClearSignedEntity) {
  struct Case {
    const char* name;
    std::string entity;
    const wchar_t* problem;
  };
  const std::string good = Entity(Quoted("b1"), "b1");
  const Case cases[] = {
      {"shorter than 100 bytes", good.substr(0, 99), L"shorter than 100 bytes"},
      {"a line before the header", "X-Mailer: x\r\n" + good,
       L"it does not start with its Content-Type header"},
      {"a zero byte inside", good.substr(0, 50) + '\0' + good.substr(50), L"it holds a zero byte"},
      {"another type",
       "Content-Type: multipart/mixed; boundary=b1\r\n\r\n" +
           good.substr(good.find("\r\n\r\n") + 4),
       L"its type is multipart/mixed, not multipart/signed"},
      {"no boundary parameter",
       "Content-Type: multipart/signed; protocol=x\r\n\r\n" + std::string(100, 'x'),
       L"its Content-Type has no boundary parameter"},
      {"a boundary only in the body",
       "Content-Type: multipart/signed\r\n\r\nboundary=\"b1\"\r\n" + good,
       L"its Content-Type has no boundary parameter"},
      {"a parameter that only ends in boundary",
       "Content-Type: multipart/signed; xboundary=\"b1\"\r\n\r\n--b1\r\n" + good,
       L"its Content-Type has no boundary parameter"},
      {"empty boundary", Entity("\"\"", ""), L"its boundary is empty"},
      {"201 characters", Entity(Quoted(std::string(201, 'b')), std::string(201, 'b')),
       L"its boundary is longer than 200 characters"},
      {"boundary never used", Entity(Quoted("b1"), "b2"), L"its closing delimiter is missing"},
      {"delimiter in another letter case", Entity(Quoted("Part"), "PART"),
       L"its closing delimiter is missing"},
      {"signed part not closed", good.substr(0, good.find("\r\n--b1\r\nContent-Type: app")),
       L"its closing delimiter is missing"},
      {"signature part not closed", good.substr(0, good.rfind("--b1--")),
       L"its closing delimiter is missing"},
      {"one part only",
       "Content-Type: multipart/signed; boundary=b1\r\n\r\n--b1\r\n" + std::string(kSignedPart) +
           "\r\n--b1--\r\n",
       L"it has one part only"},
      {"signature part without headers",
       [&] {
         std::string text = good;
         const size_t headers = text.find("Content-Type: application");
         return text.substr(0, headers) + "\r\nMIIB" + std::string(100, 'A') + "\r\n--b1--\r\n";
       }(),
       L"its second part is text/plain, not a PKCS #7 signature"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::wstring problem;
    EXPECT_FALSE(CutDetachedSignature(c.entity, &problem).has_value());
    EXPECT_EQ(problem, c.problem);
  }
}

// Each way of showing one part and verifying another, as an attacker would try it with a
// genuine signed part of a brand: every one is refused, and names what readers could differ on.
TEST(SmimeCutterTest, RefusesEveryEntityThatReadersCouldDivideDifferently) {
  const std::string genuine = kSignedPart;
  const std::string attacker =
      "Content-Type: text/html\r\n\r\n<p>Pay here</p>[APPointer:res=evil:APPointer]";
  const std::string signature =
      "Content-Type: application/pkcs7-signature\r\n"
      "Content-Transfer-Encoding: base64\r\n\r\n" +
      Base64Encode(kSignature) + "\r\n";
  const std::string head =
      "Content-Type: multipart/signed; protocol=\"application/pkcs7-signature\"; ";
  struct Case {
    const char* name;
    std::string entity;
    const wchar_t* problem;
  };
  const Case cases[] = {
      {"a genuine part in the preamble behind a longer line",
       head + "boundary=\"BND\"\r\n\r\n--BNDX\r\n" + genuine + "\r\n--BND\r\n" + attacker +
           "\r\n--BND\r\n" + signature + "--BND--\r\n",
       L"a line starts with the delimiter but goes on otherwise"},
      {"a repeated boundary parameter",
       head + "boundary=\"real\"; boundary=\"gen\"\r\n\r\n--real\r\n" + attacker +
           "\r\n--real\r\n" + signature + "--real--\r\n",
       L"its boundary parameter is given more than once"},
      {"a third part after the signature",
       head + "boundary=\"b\"\r\n\r\n--b\r\n" + genuine + "\r\n--b\r\n" + signature + "--b\r\n" +
           attacker + "\r\n--b--\r\n",
       L"it has 3 parts where a signed entity has two"},
      {"no closing delimiter and the attacker's text after the signature",
       head + "boundary=\"b\"\r\n\r\n--b\r\n" + genuine + "\r\n--b\r\n" + signature + "\r\n" +
           attacker,
       L"its closing delimiter is missing"},
      {"a delimiter in the middle of a line",
       head + "boundary=\"b\"\r\n\r\n" + attacker + " --b\r\n" + genuine + "\r\n--b\r\n" +
           signature + "--b--\r\n",
       L"it has one part only"},
      {"a delimiter in the entity's own header",
       "Content-Type: multipart/signed; boundary=\"b\"\r\nX-Comment: --b\r\n\r\n" + attacker +
           "\r\n--b\r\n" + signature + "--b--\r\n",
       L"it has one part only"},
      {"a delimiter after a lone carriage return",
       head + "boundary=\"b\"\r\n\r\n--b\r\n" + attacker + "\r--b\r\n" + genuine + "\r\n--b\r\n" +
           signature + "--b--\r\n",
       L"a delimiter follows a carriage return without a line feed"},
      {"a closing delimiter in the preamble",
       head + "boundary=\"b\"\r\n\r\n--b--\r\n--b\r\n" + genuine + "\r\n--b\r\n" + signature +
           "--b--\r\n",
       L"a delimiter follows its closing delimiter"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::wstring problem;
    EXPECT_FALSE(CutDetachedSignature(c.entity, &problem).has_value());
    EXPECT_EQ(problem, c.problem);
  }
}

TEST(SmimeCutterTest, TakesTheBoundaryFromTheParsedParameterNotFromQuotedText) {
  // A parameter whose quoted value holds "boundary=gen" does not name the boundary: the part
  // cut is the attacker's, which the brand's signature then does not cover.
  const std::string attacker = "Content-Type: text/html\r\n\r\n<p>Pay here</p>";
  const std::string signature =
      "Content-Type: application/pkcs7-signature\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
      Base64Encode(kSignature) + "\r\n";
  const std::string entity =
      "Content-Type: multipart/signed; x-note=\"filed; boundary=gen\"; boundary=\"real\"\r\n\r\n"
      "--gen\r\n" +
      std::string(kSignedPart) + "\r\n--gen\r\n" + signature + "--gen--\r\n--real\r\n" + attacker +
      "\r\n--real\r\n" + signature + "--real--\r\n";
  std::wstring problem;
  const auto cut = CutDetachedSignature(entity, &problem);
  ASSERT_TRUE(cut.has_value()) << std::string(problem.begin(), problem.end());
  EXPECT_EQ(cut->signedPart, attacker);
}

TEST(SmimeCutterTest, HostileSizesStayLinear) {
  // A boundary of 200 dashes in 16 MiB of dashes: a naive search would compare 200 bytes at
  // every position.
  const std::string dashes(200, '-');
  std::string entity = "Content-Type: multipart/signed; boundary=\"" + dashes + "\"\r\n\r\n";
  entity += std::string(16u << 20, '-');
  std::wstring problem;
  EXPECT_FALSE(CutDetachedSignature(entity, &problem).has_value());
  EXPECT_EQ(problem, L"a line starts with the delimiter but goes on otherwise");

  // 16 MiB of "boundary=" fragments that never form the parameter.
  std::string fragments = "Content-Type: multipart/signed;";
  while (fragments.size() < (16u << 20))
    fragments += "xboundary=";
  EXPECT_FALSE(CutDetachedSignature(fragments, &problem).has_value());
  EXPECT_EQ(problem, L"its Content-Type has no boundary parameter");
}

TEST(SmimeCutterTest, TellsTheMimeFormFromTheDerForm) {
  EXPECT_TRUE(StartsLikeMimeEntity("content-TYPE: multipart/signed"));
  EXPECT_FALSE(StartsLikeMimeEntity("\x30\x80\x06\x09"));
  EXPECT_FALSE(StartsLikeMimeEntity("content-typ"));
  EXPECT_FALSE(StartsLikeMimeEntity(" Content-Type: x"));
}

}  // namespace
}  // namespace tp
