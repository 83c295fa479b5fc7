// SHA-1 (FIPS 180-4).
#include "formats/sha1.h"

#include <cstring>

namespace tp {
namespace {

uint32_t RotateLeft(uint32_t value, int bits) {
  return (value << bits) | (value >> (32 - bits));
}

}  // namespace

void Sha1::Reset() {
  m_state = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
  m_buffered = 0;
  m_length = 0;
}

void Sha1::ProcessBlock(const uint8_t* block) {
  uint32_t w[80];
  for (int t = 0; t < 16; ++t) {
    w[t] = (uint32_t{block[4 * t]} << 24) | (uint32_t{block[4 * t + 1]} << 16) |
           (uint32_t{block[4 * t + 2]} << 8) | uint32_t{block[4 * t + 3]};
  }
  for (int t = 16; t < 80; ++t)
    w[t] = RotateLeft(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);
  uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3], e = m_state[4];
  for (int t = 0; t < 80; ++t) {
    uint32_t f;
    uint32_t k;
    if (t < 20) {
      f = (b & c) | (~b & d);
      k = 0x5A827999;
    } else if (t < 40) {
      f = b ^ c ^ d;
      k = 0x6ED9EBA1;
    } else if (t < 60) {
      f = (b & c) | (b & d) | (c & d);
      k = 0x8F1BBCDC;
    } else {
      f = b ^ c ^ d;
      k = 0xCA62C1D6;
    }
    const uint32_t temp = RotateLeft(a, 5) + f + e + k + w[t];
    e = d;
    d = c;
    c = RotateLeft(b, 30);
    b = a;
    a = temp;
  }
  m_state[0] += a;
  m_state[1] += b;
  m_state[2] += c;
  m_state[3] += d;
  m_state[4] += e;
}

void Sha1::Update(std::string_view bytes) {
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  size_t size = bytes.size();
  m_length += size;
  if (m_buffered > 0) {
    const size_t take = std::min(size, m_block.size() - m_buffered);
    std::memcpy(m_block.data() + m_buffered, data, take);
    m_buffered += take;
    data += take;
    size -= take;
    if (m_buffered < m_block.size())
      return;
    ProcessBlock(m_block.data());
    m_buffered = 0;
  }
  for (; size >= m_block.size(); data += m_block.size(), size -= m_block.size())
    ProcessBlock(data);
  std::memcpy(m_block.data(), data, size);
  m_buffered = size;
}

std::string Sha1::Finish() {
  const uint64_t bits = m_length * 8;
  // Padding: a one bit, zeros up to 56 bytes into a block, then the length in bits.
  uint8_t padding[72] = {0x80};
  const size_t padLength = (m_buffered < 56 ? 56 : 120) - m_buffered;
  for (int i = 0; i < 8; ++i)
    padding[padLength + i] = static_cast<uint8_t>(bits >> (56 - 8 * i));
  Update(std::string_view(reinterpret_cast<const char*>(padding), padLength + 8));
  std::string digest(kSha1DigestSize, '\0');
  for (size_t i = 0; i < kSha1DigestSize; ++i) {
    digest[i] = static_cast<char>(m_state[i / 4] >> (24 - 8 * (i % 4)));
  }
  Reset();
  return digest;
}

std::string Sha1Digest(std::string_view bytes) {
  Sha1 sha;
  sha.Update(bytes);
  return sha.Finish();
}

}  // namespace tp
