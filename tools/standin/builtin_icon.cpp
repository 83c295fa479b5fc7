// Building the .ico: ICONDIR, one ICONDIRENTRY, a BITMAPINFOHEADER, the pixels, the mask.
#include "standin/builtin_icon.h"

#include <cstdint>

namespace tp::standin {
namespace {

constexpr uint32_t kSide = 16;
constexpr uint32_t kHeaderBytes = 40;
constexpr uint32_t kPixelBytes = kSide * kSide * 4;
constexpr uint32_t kMaskBytes = kSide * 4;  // one bit per pixel, rows padded to 32 bits
constexpr uint32_t kImageOffset = 6 + 16;

void Put16(std::string& out, uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

}  // namespace

std::string BuiltinIcon(std::string_view name) {
  uint32_t hash = 2166136261u;  // FNV-1a
  for (const char ch : name)
    hash = (hash ^ static_cast<unsigned char>(ch)) * 16777619u;
  std::string icon;
  Put16(icon, 0);  // reserved
  Put16(icon, 1);  // resource type: icon
  Put16(icon, 1);  // one image
  icon += static_cast<char>(kSide);
  icon += static_cast<char>(kSide);
  icon += '\0';     // no palette
  icon += '\0';     // reserved
  Put16(icon, 1);   // planes
  Put16(icon, 32);  // bits per pixel
  Put32(icon, kHeaderBytes + kPixelBytes + kMaskBytes);
  Put32(icon, kImageOffset);
  Put32(icon, kHeaderBytes);
  Put32(icon, kSide);
  Put32(icon, kSide * 2);  // the colour image and the mask
  Put16(icon, 1);
  Put16(icon, 32);
  Put32(icon, 0);  // uncompressed
  Put32(icon, kPixelBytes + kMaskBytes);
  for (int i = 0; i < 4; ++i)
    Put32(icon, 0);  // resolution and palette counts
  for (uint32_t pixel = 0; pixel < kSide * kSide; ++pixel)
    Put32(icon, 0xFF000000u | (hash & 0xFFFFFF));
  icon.append(kMaskBytes, '\0');  // every pixel opaque
  return icon;
}

}  // namespace tp::standin
