// DER certificates for the core's certificate rules.
#include "support/test_certificates.h"

#include <cstdlib>

namespace tp::testing {
namespace {

std::string Sequence(const std::string& content) {
  return Tlv(0x30, content);
}

std::string Utf8(const std::string& text) {
  return Tlv(0x0C, text);
}

std::string Rdn(const std::string& type, const std::string& value) {
  return Tlv(0x31, Sequence(OidDer(type) + value));
}

std::string Extension(const std::string& oid, const std::string& value) {
  return Sequence(OidDer(oid) + Tlv(0x04, value));
}

}  // namespace

std::string Tlv(uint8_t tag, const std::string& content) {
  std::string out(1, static_cast<char>(tag));
  const size_t length = content.size();
  if (length < 0x80) {
    out += static_cast<char>(length);
  } else {
    std::string bytes;
    for (size_t rest = length; rest != 0; rest >>= 8)
      bytes.insert(bytes.begin(), static_cast<char>(rest & 0xFF));
    out += static_cast<char>(0x80 | bytes.size());
    out += bytes;
  }
  return out + content;
}

std::string OidDer(const std::string& dotted) {
  std::vector<unsigned long long> arcs;
  for (size_t pos = 0; pos <= dotted.size();) {
    const size_t dot = dotted.find('.', pos);
    const size_t end = dot == std::string::npos ? dotted.size() : dot;
    arcs.push_back(std::strtoull(dotted.substr(pos, end - pos).c_str(), nullptr, 10));
    pos = end + 1;
  }
  std::string content;
  auto append = [&content](unsigned long long arc) {
    std::string base128(1, static_cast<char>(arc & 0x7F));
    for (arc >>= 7; arc != 0; arc >>= 7)
      base128.insert(base128.begin(), static_cast<char>(0x80 | (arc & 0x7F)));
    content += base128;
  };
  append(arcs[0] * 40 + arcs[1]);
  for (size_t i = 2; i < arcs.size(); ++i)
    append(arcs[i]);
  return Tlv(0x06, content);
}

std::string NameDer(const std::vector<std::pair<std::string, std::string>>& attributes) {
  std::string rdns;
  for (const auto& [type, value] : attributes)
    rdns += Rdn(type, Utf8(value));
  return Sequence(rdns);
}

std::string MakeCertificateDer(const TestCertificate& c) {
  std::string rdns = Rdn("2.5.4.10", Utf8("Tidepost tests")) + Rdn("2.5.4.3", Utf8(c.commonName));
  if (!c.subjectEmail.empty())
    rdns += Rdn("1.2.840.113549.1.9.1", Tlv(0x16, c.subjectEmail));
  const std::string subject = Sequence(rdns);
  const std::string issuer =
      c.issuerName.empty() ? subject
                           : NameDer({{"2.5.4.10", "Tidepost tests"}, {"2.5.4.3", c.issuerName}});
  const std::string algorithm = Sequence(OidDer(c.signatureAlgorithm) + c.signatureParameters);
  // A modulus of exactly rsaBits bits (a zero byte first keeps the integer positive).
  std::string modulus(1, '\0');
  modulus += static_cast<char>(1u << ((c.rsaBits - 1) % 8));
  modulus += std::string((c.rsaBits + 7) / 8 - 1, '\x01');
  const std::string rsaKey = Sequence(Tlv(0x02, modulus) + Tlv(0x02, "\x01\x00\x01"));
  const std::string keyAlgorithm =
      Sequence(OidDer(c.keyAlgorithm) + (c.keyAlgorithm == kOidRsa ? Tlv(0x05, "") : ""));
  const std::string publicKey = Sequence(keyAlgorithm + Tlv(0x03, std::string(1, '\0') + rsaKey));

  std::string extensions;
  if (c.extendedKeyUsage) {
    std::string purposes;
    for (const std::string& purpose : *c.extendedKeyUsage)
      purposes += OidDer(purpose);
    extensions += Extension("2.5.29.37", Sequence(purposes));
    if (c.repeatExtendedKeyUsage)
      extensions += Extension("2.5.29.37", Sequence(purposes));
  }
  if (c.keyUsage) {
    extensions +=
        Extension("2.5.29.15", Tlv(0x03, std::string("\x00", 1) + static_cast<char>(*c.keyUsage)));
  }
  if (!c.sanEmails.empty()) {
    std::string names;
    for (const std::string& email : c.sanEmails)
      names += Tlv(0x81, email);
    extensions += Extension("2.5.29.17", Sequence(names));
  }
  const std::string validity = Sequence(Tlv(0x17, "250101000000Z") + Tlv(0x17, "350101000000Z"));
  std::string tbs = Tlv(0xA0, Tlv(0x02, "\x02")) + Tlv(0x02, "\x01\x23") + algorithm + issuer +
                    validity + subject + publicKey;
  if (!extensions.empty())
    tbs += Tlv(0xA3, Sequence(extensions));
  return Sequence(Sequence(tbs) + algorithm + Tlv(0x03, std::string(1, '\0') + "signature"));
}

}  // namespace tp::testing
