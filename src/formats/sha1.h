// SHA-1 (FIPS 180-4) over bytes: incremental, or in one call.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tp {

inline constexpr size_t kSha1DigestSize = 20;

class Sha1 {
 public:
  Sha1() { Reset(); }
  void Update(std::string_view bytes);
  // The 20-byte digest of everything given since the start; the object then starts afresh.
  [[nodiscard]] std::string Finish();

 private:
  void Reset();
  void ProcessBlock(const uint8_t* block);

  std::array<uint32_t, 5> m_state{};
  std::array<uint8_t, 64> m_block{};
  size_t m_buffered = 0;
  uint64_t m_length = 0;  // bytes given so far
};

// The 20-byte digest of bytes.
[[nodiscard]] std::string Sha1Digest(std::string_view bytes);

}  // namespace tp
