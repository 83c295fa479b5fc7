// Code-page conversions on posix.
#include "host/posix/posix_codec.h"

#include <iconv.h>

#include <cerrno>
#include <string>

#include "support/text.h"

namespace tp::host::posix {
namespace {

// Windows code page numbers to iconv's names; empty for a code page iconv is not asked for.
std::string IconvName(uint32_t codePage) {
  switch (codePage) {
    case 20127:
      return "ASCII";
    case 20866:
      return "KOI8-R";
    case 21866:
      return "KOI8-U";
    case 932:
      return "CP932";
    case 936:
      return "GBK";
    case 949:
      return "CP949";
    case 950:
      return "BIG5";
    case 50220:
      return "ISO-2022-JP";
    case 51932:
      return "EUC-JP";
    case 51949:
      return "EUC-KR";
    case 54936:
      return "GB18030";
    default:
      break;
  }
  if ((codePage >= 1250 && codePage <= 1258) || codePage == 874 || codePage == 437 ||
      codePage == 850 || codePage == 852 || codePage == 866) {
    return "CP" + std::to_string(codePage);
  }
  if (codePage >= 28591 && codePage <= 28605) {
    return "ISO-8859-" + std::to_string(codePage - 28590);
  }
  return {};
}

// Runs one iconv conversion; an unconvertible input sequence is skipped as one byte (input)
// and gives the replacement the caller names.
std::string Convert(const std::string& to, const std::string& from, std::string_view input,
                    std::string_view replacement) {
  iconv_t cd = ::iconv_open(to.c_str(), from.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1))
    return {};
  std::string out;
  char buffer[4096];
  char* in = const_cast<char*>(input.data());
  size_t inLeft = input.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    const size_t result = ::iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    if (result == static_cast<size_t>(-1)) {
      if (errno == E2BIG)
        continue;
      // EILSEQ or EINVAL (truncated sequence): replace one unit and go on.
      out.append(replacement);
      const size_t unit = from == "UTF-32LE" ? 4 : 1;
      const size_t skip = inLeft < unit ? inLeft : unit;
      in += skip;
      inLeft -= skip;
    }
  }
  ::iconv_close(cd);
  return out;
}

std::string ToUtf32Le(std::wstring_view text) {
  std::string bytes;
  bytes.reserve(text.size() * 4);
  for (wchar_t ch : text) {
    const uint32_t cp = static_cast<uint32_t>(ch);
    for (int shift = 0; shift < 32; shift += 8)
      bytes += static_cast<char>((cp >> shift) & 0xFF);
  }
  return bytes;
}

}  // namespace

std::wstring PosixCodec::ToWide(uint32_t codePage, std::string_view bytes) {
  if (codePage == kCodePageAnsi || codePage == kCodePageUtf8) {
    return Utf8ToWide(bytes);
  }
  const std::string name = IconvName(codePage);
  if (name.empty())
    return {};
  return Utf8ToWide(Convert("UTF-8", name, bytes, "\xEF\xBF\xBD"));
}

std::string PosixCodec::FromWide(uint32_t codePage, std::wstring_view text) {
  if (codePage == kCodePageAnsi || codePage == kCodePageUtf8) {
    return WideToUtf8(text);
  }
  const std::string name = IconvName(codePage);
  if (name.empty())
    return {};
  return Convert(name, "UTF-32LE", ToUtf32Le(text), "?");
}

}  // namespace tp::host::posix
