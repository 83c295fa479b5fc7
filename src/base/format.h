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
      : m_bits(sizeof(T) * 8) {  // NOLINT(google-explicit-constructor)
    if constexpr (std::is_signed_v<T>) {
      m_kind = Kind::kSigned;
      m_signed = value;
    } else {
      m_kind = Kind::kUnsigned;
      m_unsigned = value;
    }
  }
  FormatArg(bool value) : m_kind(Kind::kSigned), m_bits(32), m_signed(value ? 1 : 0) {}
  FormatArg(wchar_t value) : m_kind(Kind::kUnsigned), m_bits(32), m_unsigned(value) {}
  FormatArg(char value) : m_kind(Kind::kSigned), m_bits(8), m_signed(value) {}
  FormatArg(double value) : m_kind(Kind::kFloat), m_float(value) {}
  FormatArg(const wchar_t* text) : m_kind(Kind::kWide), m_wide(text ? text : L"") {}
  FormatArg(std::wstring_view text) : m_kind(Kind::kWide), m_wide(text) {}
  FormatArg(const std::wstring& text) : m_kind(Kind::kWide), m_wide(text) {}
  FormatArg(const char* text) : m_kind(Kind::kNarrow), m_narrow(text ? text : "") {}
  FormatArg(std::string_view text) : m_kind(Kind::kNarrow), m_narrow(text) {}
  FormatArg(const std::string& text) : m_kind(Kind::kNarrow), m_narrow(text) {}
  FormatArg(const void* pointer)
      : m_kind(Kind::kPointer),
        m_bits(sizeof(void*) * 8),
        m_unsigned(reinterpret_cast<uintptr_t>(pointer)) {}

  Kind kind() const { return m_kind; }
  int bits() const { return m_bits; }
  int64_t as_signed() const { return m_signed; }
  uint64_t as_unsigned() const { return m_unsigned; }
  double as_float() const { return m_float; }
  std::wstring_view as_wide() const { return m_wide; }
  std::string_view as_narrow() const { return m_narrow; }

 private:
  Kind m_kind;
  int m_bits = 64;
  int64_t m_signed = 0;
  uint64_t m_unsigned = 0;
  double m_float = 0;
  std::wstring_view m_wide;
  std::string_view m_narrow;
};

std::wstring FormatList(std::wstring_view format, std::span<const FormatArg> args);

template <class... Args>
std::wstring Format(std::wstring_view format, const Args&... args) {
  const std::array<FormatArg, sizeof...(Args)> list{FormatArg(args)...};
  return FormatList(format, list);
}

}  // namespace tp
