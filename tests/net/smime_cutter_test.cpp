// Cutting clear-signed entities into their signed part and signature, on intact and hostile
// text.
#include "net/smime_cutter.h"

#include <gtest/gtest.h>

#include <string>

#include "net/base64.h"

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
      {"a zero byte after the entity", Entity(Quoted(boundary), boundary) + '\0' + "junk"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::wstring problem;
    const std::optional<DetachedSignature> cut = CutDetachedSignature(c.entity, &problem);
    ASSERT_TRUE(cut.has_value()) << std::string(problem.begin(), problem.end());
    EXPECT_EQ(cut->signedPart, kSignedPart);
    EXPECT_EQ(cut->signature, kSignature);
  }
}

TEST(SmimeCutterTest, KeepsTheSignedPartsOwnLineBreaksAndOnlyDropsTheDelimitersOne) {
  const std::string part = "Content-Type: text/plain\r\n\r\nends with a blank line\r\n\r\n";
  const std::string entity = Entity(Quoted("b1"), "b1", part);  // the cut points into it
  std::wstring problem;
  const auto cut = CutDetachedSignature(entity, &problem);
  ASSERT_TRUE(cut.has_value());
  EXPECT_EQ(cut->signedPart, part);
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
      {"a zero byte inside the header", good.substr(0, 5) + '\0' + good.substr(5),
       L"it does not start with its Content-Type header"},
      {"no boundary parameter",
       "Content-Type: multipart/signed; protocol=x\r\n\r\n" + std::string(100, 'x'),
       L"its Content-Type has no boundary parameter"},
      {"a boundary only in the body",
       "Content-Type: multipart/signed\r\n\r\nboundary=\"b1\"\r\n" + good,
       L"its Content-Type has no boundary parameter"},
      {"a parameter that only ends in boundary",
       "Content-Type: multipart/signed; xboundary=\"b1\"\r\n\r\n--b1\r\n" + good,
       L"its Content-Type has no boundary parameter"},
      {"no closing quote", "Content-Type: multipart/signed; boundary=\"b1\r\n\r\n" + good,
       L"its boundary has no closing quote"},
      {"empty boundary", Entity("\"\"", ""), L"its boundary is empty"},
      {"201 characters", Entity(Quoted(std::string(201, 'b')), std::string(201, 'b')),
       L"its boundary is longer than 200 characters"},
      {"boundary never used", Entity(Quoted("b1"), "b2"), L"its boundary never occurs"},
      {"delimiter in another letter case", Entity(Quoted("Part"), "PART"),
       L"its boundary never occurs"},
      {"signed part not closed", good.substr(0, good.find("\r\n--b1\r\nContent-Type: app")),
       L"its signed part has no closing delimiter"},
      {"signature part without headers",
       [&] {
         std::string text = good;
         const size_t headers = text.find("Content-Type: application");
         return text.substr(0, headers) + "MIIB" + std::string(100, 'A');
       }(),
       L"its signature part has no header block"},
      {"signature part not closed", good.substr(0, good.rfind("--b1--")),
       L"its signature part has no closing delimiter"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::wstring problem;
    EXPECT_FALSE(CutDetachedSignature(c.entity, &problem).has_value());
    EXPECT_EQ(problem, c.problem);
  }
}

TEST(SmimeCutterTest, HostileSizesStayLinear) {
  // A boundary of 200 dashes in 16 MiB of dashes: a naive search would compare 200 bytes at
  // every position; the delimiter is still found only where it stands.
  const std::string dashes(200, '-');
  std::string entity = "Content-Type: multipart/signed; boundary=\"" + dashes + "\"\r\n\r\n";
  entity += std::string(16u << 20, '-');
  std::wstring problem;
  EXPECT_FALSE(CutDetachedSignature(entity, &problem).has_value());
  EXPECT_EQ(problem, L"its signature part has no header block");

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
