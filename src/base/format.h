// printf-style formatting into wide strings that behaves the same on every toolchain.
//
// The add-in's log lines and wire strings are written as printf formats ("%s", "%d", "%xx").
// The C library's wide printf reads "%s" as a wide string on MSVC, as a narrow one on glibc
// and either way on MinGW, so the core never calls it: Format() interprets the conversions
// itself, with the argument types known at compile time.
//
// Supported: flags "-0+ #", width, precision, length modifiers (h, l, ll, I64: accepted and
// ignored), conversions d i u x X o c s f e g p and "%%". "%s" takes any string type (narrow
// strings are read as UTF-8). Integers keep their own width, so "%x" of a negative 32-bit
// HRESULT prints its eight hexadecimal digits. A conversion without a matching argument prints
// "<?>"; surplus arguments are ignored.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace tp {

class FormatArg {
 public:
  enum class Kind { kSigned, kUnsigned, kFloat, kWide, kNarrow, kPointer };

  template <class T>
  requires std::is_integral_v<T> &&
      (!std::is_same_v<T, bool>)&&(!std::is_same_v<T, wchar_t>)&&(!std::is_same_v<T, char>)
          FormatArg(T value)
      : bits_(sizeof(T) * 8) {  // NOLINT(google-explicit-constructor)
    if constexpr (std::is_signed_v<T>) {
      kind_ = Kind::kSigned;
      signed_ = value;
    } else {
      kind_ = Kind::kUnsigned;
      unsigned_ = value;
    }
  }
  FormatArg(bool value) : kind_(Kind::kSigned), bits_(32), signed_(value ? 1 : 0) {}
  FormatArg(wchar_t value) : kind_(Kind::kUnsigned), bits_(32), unsigned_(value) {}
  FormatArg(char value) : kind_(Kind::kSigned), bits_(8), signed_(value) {}
  FormatArg(double value) : kind_(Kind::kFloat), float_(value) {}
  FormatArg(const wchar_t* text) : kind_(Kind::kWide), wide_(text ? text : L"") {}
  FormatArg(std::wstring_view text) : kind_(Kind::kWide), wide_(text) {}
  FormatArg(const std::wstring& text) : kind_(Kind::kWide), wide_(text) {}
  FormatArg(const char* text) : kind_(Kind::kNarrow), narrow_(text ? text : "") {}
  FormatArg(std::string_view text) : kind_(Kind::kNarrow), narrow_(text) {}
  FormatArg(const std::string& text) : kind_(Kind::kNarrow), narrow_(text) {}
  FormatArg(const void* pointer)
      : kind_(Kind::kPointer),
        bits_(sizeof(void*) * 8),
        unsigned_(reinterpret_cast<uintptr_t>(pointer)) {}

  Kind kind() const { return kind_; }
  int bits() const { return bits_; }
  int64_t as_signed() const { return signed_; }
  uint64_t as_unsigned() const { return unsigned_; }
  double as_float() const { return float_; }
  std::wstring_view as_wide() const { return wide_; }
  std::string_view as_narrow() const { return narrow_; }

 private:
  Kind kind_;
  int bits_ = 64;
  int64_t signed_ = 0;
  uint64_t unsigned_ = 0;
  double float_ = 0;
  std::wstring_view wide_;
  std::string_view narrow_;
};

std::wstring FormatList(std::wstring_view format, std::span<const FormatArg> args);

template <class... Args>
std::wstring Format(std::wstring_view format, const Args&... args) {
  const std::array<FormatArg, sizeof...(Args)> list{FormatArg(args)...};
  return FormatList(format, list);
}

}  // namespace tp
