// Reading DER (the distinguished encoding of ASN.1) one element at a time, as X.509
// certificates are written: single-byte tags and definite lengths only. The bytes come from
// a sender: every length is checked against what is left, and nothing recurses.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tp::der {

// Universal and context-specific tags as they appear in certificates.
inline constexpr uint8_t kBoolean = 0x01;
inline constexpr uint8_t kInteger = 0x02;
inline constexpr uint8_t kBitString = 0x03;
inline constexpr uint8_t kOctetString = 0x04;
inline constexpr uint8_t kObjectIdentifier = 0x06;
inline constexpr uint8_t kUtf8String = 0x0C;
inline constexpr uint8_t kPrintableString = 0x13;
inline constexpr uint8_t kTeletexString = 0x14;
inline constexpr uint8_t kIa5String = 0x16;
inline constexpr uint8_t kVisibleString = 0x1A;
inline constexpr uint8_t kUniversalString = 0x1C;
inline constexpr uint8_t kBmpString = 0x1E;
inline constexpr uint8_t kSequence = 0x30;
inline constexpr uint8_t kSet = 0x31;

inline constexpr uint8_t ContextTag(int number, bool constructed) {
  return static_cast<uint8_t>(0x80 | (constructed ? 0x20 : 0) | number);
}

struct Element {
  uint8_t tag = 0;
  std::string_view content;
  std::string_view encoded;  // tag, length and content
};

// The elements of a constructed element's content (or of a whole encoding), in order.
class Reader {
 public:
  explicit Reader(std::string_view data) : m_rest(data) {}

  bool AtEnd() const { return m_rest.empty(); }
  // The next element; nothing (and the reader is spent) when the encoding is malformed.
  std::optional<Element> Next();
  // The next element when it has `tag`; nothing otherwise, leaving the reader where it was.
  std::optional<Element> NextIf(uint8_t tag);

 private:
  std::string_view m_rest;
};

// The only element of `data`, which must hold nothing else.
std::optional<Element> ReadSingle(std::string_view data, uint8_t tag);

// An object identifier's content as dotted text ("1.2.840.113549.1.1.11"); empty when it is
// malformed.
std::string ObjectIdentifierText(std::string_view content);

}  // namespace tp::der
