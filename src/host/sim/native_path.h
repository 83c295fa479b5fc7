// Wide text to std::filesystem paths and back without the C library's locale: paths are
// UTF-8 on posix and UTF-16 on Windows, whatever locale the process runs in.
#pragma once

#include <filesystem>
#include <string>

#include "base/text.h"

namespace tp::host::sim {

inline std::wstring NativeToWide(const std::wstring& native) {
  return native;
}
inline std::wstring NativeToWide(const std::string& native) {
  return Utf8ToWide(native);
}
inline void WideToNative(const std::wstring& text, std::wstring* native) {
  *native = text;
}
inline void WideToNative(const std::wstring& text, std::string* native) {
  *native = WideToUtf8(text);
}

inline std::filesystem::path NativePath(const std::wstring& text) {
  std::filesystem::path::string_type native;
  WideToNative(text, &native);
  return std::filesystem::path(std::move(native));
}

inline std::wstring PathText(const std::filesystem::path& path) {
  return NativeToWide(path.native());
}

}  // namespace tp::host::sim
