// SHA-1 and Base64 known answers (FIPS 180 and RFC 4648 vectors), and the lenient decoder.
#include <gtest/gtest.h>

#include <string>

#include "formats/base64.h"
#include "formats/sha1.h"

namespace tp {
namespace {

std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  for (const char byte : bytes) {
    out += kDigits[static_cast<unsigned char>(byte) >> 4];
    out += kDigits[static_cast<unsigned char>(byte) & 15];
  }
  return out;
}

TEST(Sha1Test, FipsKnownAnswers) {
  EXPECT_EQ(Hex(Sha1Digest("abc")), "a9993e364706816aba3e25717850c26c9cd0d89d");
  EXPECT_EQ(Hex(Sha1Digest("")), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
  EXPECT_EQ(Hex(Sha1Digest("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
            "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
  EXPECT_EQ(Hex(Sha1Digest("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmno"
                           "ijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu")),
            "a49b2446a02c645bf419f995b67091253a04a259");
}

TEST(Sha1Test, AMillionLettersInUnevenPieces) {
  Sha1 sha;
  const std::string piece(7, 'a');
  size_t given = 0;
  for (; given + piece.size() <= 1000000; given += piece.size())
    sha.Update(piece);
  sha.Update(std::string(1000000 - given, 'a'));
  EXPECT_EQ(Hex(sha.Finish()), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
  // Finish starts afresh.
  sha.Update("abc");
  EXPECT_EQ(Hex(sha.Finish()), "a9993e364706816aba3e25717850c26c9cd0d89d");
}

TEST(Sha1Test, PaddingBoundariesMatchOneShotDigests) {
  // Lengths around the 55/56/64-byte padding boundaries, fed byte by byte and whole.
  for (const size_t length : {55u, 56u, 57u, 63u, 64u, 65u, 119u, 120u}) {
    const std::string text(length, 'q');
    Sha1 sha;
    for (const char ch : text)
      sha.Update(std::string_view(&ch, 1));
    EXPECT_EQ(sha.Finish(), Sha1Digest(text)) << length;
  }
  EXPECT_EQ(Hex(Sha1Digest(std::string(64, 'a'))), "0098ba824b5c16427bd7a1122a5a442a25ec644d");
}

TEST(Base64Test, Rfc4648Vectors) {
  const std::pair<const char*, const char*> vectors[] = {{"", ""},
                                                         {"f", "Zg=="},
                                                         {"fo", "Zm8="},
                                                         {"foo", "Zm9v"},
                                                         {"foob", "Zm9vYg=="},
                                                         {"fooba", "Zm9vYmE="},
                                                         {"foobar", "Zm9vYmFy"}};
  for (const auto& [plain, encoded] : vectors) {
    EXPECT_EQ(Base64Encode(plain), encoded);
    EXPECT_EQ(Base64DecodeLenient(encoded), plain);
  }
}

TEST(Base64Test, EveryByteValueRoundTrips) {
  std::string bytes;
  for (int i = 0; i < 256; ++i)
    bytes += static_cast<char>(i);
  for (size_t cut = 0; cut < 3; ++cut) {
    const std::string part = bytes.substr(cut);
    EXPECT_EQ(Base64DecodeLenient(Base64Encode(part)), part);
  }
  EXPECT_EQ(Base64Encode("\xFB\xFF"), "+/8=");
}

TEST(Base64Test, TheLenientDecoderSkipsWhatIsNotInTheAlphabet) {
  EXPECT_EQ(Base64DecodeLenient("Zm9v\r\nYmFy\r\n"), "foobar");
  EXPECT_EQ(Base64DecodeLenient(" Z m 9 v-_*YmFy"), "foobar");  // URL-safe letters are skipped
  EXPECT_EQ(Base64DecodeLenient("Zm9v=YmFy="), "foobar");       // padding mid-way is skipped too
  EXPECT_EQ(Base64DecodeLenient(std::string("Zm9v\0YmFy", 9)), "foo");  // stops at a zero byte
  EXPECT_EQ(Base64DecodeLenient("Zm9vY"), "foo");  // a lone last character carries no byte
  EXPECT_EQ(Base64DecodeLenient("====\x80\xFF"), "");
}

TEST(Base64Test, TheAccountDigestIsAlwaysTwentyEightCharacters) {
  for (const char* account : {"", "user@example.com", "0123456789abcdef0123456789abcdef"}) {
    const std::string encoded = Base64Encode(Sha1Digest(account));
    EXPECT_EQ(encoded.size(), 28u);
    EXPECT_EQ(encoded.back(), '=');
  }
  EXPECT_EQ(Base64Encode(Sha1Digest("abc")), "qZk+NkcGgWq6PiVxeFDCbJzQ2J0=");
}

}  // namespace
}  // namespace tp
