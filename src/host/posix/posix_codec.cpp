// Code-page conversions on posix.
#include "host/posix/posix_codec.h"

#include <iconv.h>

#include <cerrno>
#include <string>

#include "base/text.h"

namespace tp::host::posix {
namespace {

struct IconvCodePage {
  uint32_t codePage;
  const char* name;
};

// Windows code pages under glibc's names, where they differ from the rules in IconvName.
// Those glibc lacks (DOS-720, most Macintosh pages, the IA5 and ISCII pages, x-Europa, CNS
// and ETEN) are missing: their text is then not converted. The core reads the 7-bit ISO-2022
// and HZ forms and MLang's EUC numbers through other code pages.
constexpr IconvCodePage kIconvNames[] = {
    {37, "IBM037"},
    {500, "IBM500"},
    {708, "ASMO-708"},
    {870, "IBM870"},
    {874, "WINDOWS-874"},
    {875, "IBM875"},
    {932, "CP932"},
    {936, "CP936"},
    {949, "CP949"},
    {950, "BIG5"},
    {1026, "IBM1026"},
    {1047, "IBM1047"},
    {1361, "JOHAB"},
    {10000, "MACINTOSH"},
    {10007, "MS-MAC-CYRILLIC"},
    {10017, "MACUKRAINIAN"},
    {10029, "MAC-CENTRALEUROPE"},
    {10079, "MAC-IS"},
    {20127, "ASCII"},
    {20261, "T.61-8BIT"},
    {20269, "ISO6937"},
    {20866, "KOI8-R"},
    {20932, "EUC-JP"},
    {20936, "GB2312"},
    {20949, "EUC-KR"},
    {21025, "IBM1025"},
    {21866, "KOI8-U"},
    {28603, "ISO-8859-13"},
    {28605, "ISO-8859-15"},
    {50227, "ISO-2022-CN"},
    {54936, "GB18030"},
    {65000, "UTF-7"},
};

// Windows code page numbers to iconv's names; empty for a code page iconv is not asked for.
std::string IconvName(uint32_t codePage) {
  for (const IconvCodePage& entry : kIconvNames) {
    if (entry.codePage == codePage)
      return entry.name;
  }
  // The DOS and OEM pages and the Windows pages: "CP" and the number.
  if ((codePage >= 437 && codePage <= 869 && codePage != 720) ||
      (codePage >= 1250 && codePage <= 1258)) {
    return "CP" + std::to_string(codePage);
  }
  // IBM's EBCDIC pages with the euro (1140-1149) and the country pages Windows numbers
  // 20000 above IBM (20273 is IBM273).
  if (codePage >= 1140 && codePage <= 1149)
    return "IBM" + std::to_string(codePage);
  if (codePage >= 20273 && codePage <= 20905 && codePage != 20833 && codePage != 20838)
    return "IBM" + std::to_string(codePage - 20000);
  if (codePage >= 28591 && codePage <= 28599)
    return "ISO-8859-" + std::to_string(codePage - 28590);
  return {};
}

// An open iconv conversion, closed when it goes.
class IconvHandle {
 public:
  IconvHandle(const std::string& to, const std::string& from)
      : m_cd(::iconv_open(to.c_str(), from.c_str())) {}
  ~IconvHandle() {
    if (is_open())
      ::iconv_close(m_cd);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;

  bool is_open() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return m_cd; }

 private:
  iconv_t m_cd;
};

// Runs one iconv conversion; an unconvertible input sequence is skipped as one byte (input)
// and gives the replacement the caller names. Decoders that hold a character back until they
// know what follows (CP1255 and CP1258 compose combining marks) are flushed at the end.
std::string Convert(const std::string& to, const std::string& from, std::string_view input,
                    std::string_view replacement) {
  IconvHandle cd(to, from);
  if (!cd.is_open())
    return {};
  std::string out;
  char buffer[4096];
  char* in = const_cast<char*>(input.data());
  size_t inLeft = input.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    const size_t result = ::iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
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
  char* outPtr = buffer;
  size_t outLeft = sizeof buffer;
  (void)::iconv(cd.get(), nullptr, nullptr, &outPtr, &outLeft);
  out.append(buffer, static_cast<size_t>(outPtr - buffer));
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
