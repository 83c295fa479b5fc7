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

  std::array<uint32_t, 5> state_{};
  std::array<uint8_t, 64> block_{};
  size_t buffered_ = 0;
  uint64_t length_ = 0;  // bytes given so far
};

// The 20-byte digest of bytes.
[[nodiscard]] std::string Sha1Digest(std::string_view bytes);

}  // namespace tp
