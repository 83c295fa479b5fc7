// Interpreter of printf-style conversions for Format().
#include "base/format.h"

#include <cstdio>

#include "base/text.h"

namespace tp {
namespace {

struct Directive {
  bool left = false;
  bool zero = false;
  bool plus = false;
  bool space = false;
  bool alternate = false;
  int width = 0;
  int precision = -1;
  wchar_t conversion = 0;
};

constexpr std::wstring_view kMissing = L"<?>";

void Pad(std::wstring& out, const Directive& directive, std::wstring_view prefix,
         std::wstring_view body) {
  const size_t length = prefix.size() + body.size();
  const size_t fill = directive.width > 0 && static_cast<size_t>(directive.width) > length
                          ? static_cast<size_t>(directive.width) - length
                          : 0;
  if (directive.left) {
    out.append(prefix).append(body).append(fill, L' ');
  } else if (directive.zero) {
    out.append(prefix).append(fill, L'0').append(body);
  } else {
    out.append(fill, L' ').append(prefix).append(body);
  }
}

std::wstring Digits(uint64_t value, unsigned base, bool upper) {
  const wchar_t* digits = upper ? L"0123456789ABCDEF" : L"0123456789abcdef";
  std::wstring text;
  do {
    text.insert(text.begin(), digits[value % base]);
    value /= base;
  } while (value != 0);
  return text;
}

// The value of an integer argument as the conversion sees it: unsigned conversions take the
// two's complement in the argument's own width, as the C library does for its promoted types.
uint64_t UnsignedValue(const FormatArg& arg) {
  if (arg.kind() == FormatArg::Kind::kSigned) {
    const uint64_t raw = static_cast<uint64_t>(arg.as_signed());
    return arg.bits() >= 64 ? raw : raw & ((uint64_t{1} << arg.bits()) - 1);
  }
  return arg.as_unsigned();
}

void FormatInteger(std::wstring& out, const Directive& directive, const FormatArg& arg) {
  bool negative = false;
  uint64_t magnitude = 0;
  const wchar_t c = directive.conversion;
  if ((c == L'd' || c == L'i') && arg.kind() == FormatArg::Kind::kSigned) {
    negative = arg.as_signed() < 0;
    magnitude = negative ? 0 - static_cast<uint64_t>(arg.as_signed())
                         : static_cast<uint64_t>(arg.as_signed());
  } else {
    magnitude = UnsignedValue(arg);
  }
  const unsigned base = (c == L'x' || c == L'X') ? 16 : (c == L'o' ? 8 : 10);
  std::wstring body = Digits(magnitude, base, c == L'X');
  if (directive.precision >= 0) {
    if (directive.precision == 0 && magnitude == 0) {
      body.clear();
    } else if (body.size() < static_cast<size_t>(directive.precision)) {
      body.insert(0, static_cast<size_t>(directive.precision) - body.size(), L'0');
    }
  }
  std::wstring prefix;
  if (negative) {
    prefix = L"-";
  } else if ((c == L'd' || c == L'i') && directive.plus) {
    prefix = L"+";
  } else if ((c == L'd' || c == L'i') && directive.space) {
    prefix = L" ";
  }
  if (directive.alternate && magnitude != 0 && base == 16) {
    prefix += c == L'X' ? L"0X" : L"0x";
  }
  Directive padding = directive;
  padding.zero = directive.zero && directive.precision < 0;
  Pad(out, padding, prefix, body);
}

void FormatFloat(std::wstring& out, const Directive& directive, double value) {
  char buffer[512];
  const int precision =
      directive.precision < 0 ? 6 : (directive.precision > 100 ? 100 : directive.precision);
  int written = 0;
  switch (directive.conversion) {
    case L'e':
      written = std::snprintf(buffer, sizeof buffer, "%.*e", precision, value);
      break;
    case L'E':
      written = std::snprintf(buffer, sizeof buffer, "%.*E", precision, value);
      break;
    case L'g':
      written = std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
      break;
    case L'G':
      written = std::snprintf(buffer, sizeof buffer, "%.*G", precision, value);
      break;
    default:
      written = std::snprintf(buffer, sizeof buffer, "%.*f", precision, value);
      break;
  }
  std::wstring body;
  for (int i = 0; i < written && i < static_cast<int>(sizeof buffer) - 1; ++i) {
    body += static_cast<wchar_t>(static_cast<unsigned char>(buffer[i]));
  }
  std::wstring prefix;
  if (!body.empty() && body[0] == L'-') {
    prefix = L"-";
    body.erase(0, 1);
  } else if (directive.plus) {
    prefix = L"+";
  } else if (directive.space) {
    prefix = L" ";
  }
  Pad(out, directive, prefix, body);
}

void FormatText(std::wstring& out, const Directive& directive, std::wstring_view text) {
  if (directive.precision >= 0 && text.size() > static_cast<size_t>(directive.precision)) {
    text = text.substr(0, static_cast<size_t>(directive.precision));
  }
  Directive padding = directive;
  padding.zero = false;
  Pad(out, padding, {}, text);
}

bool IsIntegerConversion(wchar_t c) {
  return c == L'd' || c == L'i' || c == L'u' || c == L'x' || c == L'X' || c == L'o';
}

bool IsFloatConversion(wchar_t c) {
  return c == L'f' || c == L'F' || c == L'e' || c == L'E' || c == L'g' || c == L'G';
}

void FormatOne(std::wstring& out, const Directive& directive, const FormatArg* arg) {
  using Kind = FormatArg::Kind;
  const wchar_t c = directive.conversion;
  if (arg == nullptr) {
    out += kMissing;
  } else if (IsIntegerConversion(c) &&
             (arg->kind() == Kind::kSigned || arg->kind() == Kind::kUnsigned)) {
    FormatInteger(out, directive, *arg);
  } else if (IsFloatConversion(c) && arg->kind() == Kind::kFloat) {
    FormatFloat(out, directive, arg->as_float());
  } else if (c == L's' && arg->kind() == Kind::kWide) {
    FormatText(out, directive, arg->as_wide());
  } else if (c == L's' && arg->kind() == Kind::kNarrow) {
    FormatText(out, directive, Utf8ToWide(arg->as_narrow()));
  } else if (c == L'c' && (arg->kind() == Kind::kSigned || arg->kind() == Kind::kUnsigned)) {
    const wchar_t ch = static_cast<wchar_t>(UnsignedValue(*arg));
    FormatText(out, directive, std::wstring_view(&ch, 1));
  } else if (c == L'p' && arg->kind() == Kind::kPointer) {
    Directive hex = directive;
    hex.conversion = L'X';
    hex.zero = true;
    hex.width = arg->bits() / 4;
    FormatInteger(out, hex, *arg);
  } else {
    out += kMissing;
  }
}

}  // namespace

std::wstring FormatList(std::wstring_view format, std::span<const FormatArg> args) {
  std::wstring out;
  out.reserve(format.size() + 16 * args.size());
  size_t next_arg = 0;
  size_t i = 0;
  while (i < format.size()) {
    const wchar_t ch = format[i++];
    if (ch != L'%') {
      out += ch;
      continue;
    }
    if (i < format.size() && format[i] == L'%') {
      out += L'%';
      ++i;
      continue;
    }
    Directive directive;
    for (; i < format.size(); ++i) {
      const wchar_t flag = format[i];
      if (flag == L'-') {
        directive.left = true;
      } else if (flag == L'0') {
        directive.zero = true;
      } else if (flag == L'+') {
        directive.plus = true;
      } else if (flag == L' ') {
        directive.space = true;
      } else if (flag == L'#') {
        directive.alternate = true;
      } else {
        break;
      }
    }
    while (i < format.size() && format[i] >= L'0' && format[i] <= L'9') {
      directive.width = directive.width * 10 + (format[i++] - L'0');
      if (directive.width > 4096)
        directive.width = 4096;
    }
    if (i < format.size() && format[i] == L'.') {
      ++i;
      directive.precision = 0;
      while (i < format.size() && format[i] >= L'0' && format[i] <= L'9') {
        directive.precision = directive.precision * 10 + (format[i++] - L'0');
        if (directive.precision > 4096)
          directive.precision = 4096;
      }
    }
    if (format.substr(i, 3) == L"I64") {
      i += 3;
    }
    while (i < format.size() && (format[i] == L'l' || format[i] == L'h' || format[i] == L'z')) {
      ++i;
    }
    if (i >= format.size()) {
      out += L'%';  // a lone trailing percent sign stays as written
      break;
    }
    directive.conversion = format[i++];
    const FormatArg* arg = next_arg < args.size() ? &args[next_arg] : nullptr;
    ++next_arg;
    FormatOne(out, directive, arg);
  }
  return out;
}

}  // namespace tp
