// Names and addresses of certificates.
#include "smime/certificate_names.h"

#include <utility>

#include "base/character_references.h"
#include "base/format.h"
#include "smime/der_reader.h"

namespace tp {
namespace {

constexpr char kOidEmailAddress[] = "1.2.840.113549.1.9.1";
constexpr char32_t kEscapedByteBase = 0xDC00;  // + the byte: a lone low surrogate

struct AttributeName {
  const char* oid;
  const wchar_t* name;
};

constexpr AttributeName kAttributeNames[] = {
    {"2.5.4.3", L"CN"},
    {"2.5.4.4", L"SN"},
    {"2.5.4.5", L"SERIALNUMBER"},
    {"2.5.4.6", L"C"},
    {"2.5.4.7", L"L"},
    {"2.5.4.8", L"ST"},
    {"2.5.4.9", L"STREET"},
    {"2.5.4.10", L"O"},
    {"2.5.4.11", L"OU"},
    {"2.5.4.12", L"T"},
    {"2.5.4.42", L"G"},
    {kOidEmailAddress, L"E"},
    {"0.9.2342.19200300.100.1.25", L"DC"},
    {"0.9.2342.19200300.100.1.1", L"UID"},
};

void AppendEscapedByte(std::wstring* text, uint8_t byte) {
  text->push_back(static_cast<wchar_t>(kEscapedByteBase + byte));
}

bool IsHighSurrogate(uint32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsEncodableCodePoint(char32_t code) {
  return code < 0x110000 && (code < 0xD800 || code > 0xDFFF);
}

// UTF-8 with every byte of a malformed sequence escaped.
std::wstring Utf8Text(std::string_view bytes) {
  std::wstring text;
  for (size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<uint8_t>(bytes[i]);
    size_t length = lead < 0x80                   ? 1
                    : lead >= 0xC2 && lead < 0xE0 ? 2
                    : lead >= 0xE0 && lead < 0xF0 ? 3
                    : lead >= 0xF0 && lead < 0xF5 ? 4
                                                  : 0;
    if (length == 0) {  // not a lead byte
      AppendEscapedByte(&text, lead);
      ++i;
      continue;
    }
    char32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (size_t k = 1; length > 1 && k < length; ++k) {
      const auto next = i + k < bytes.size() ? static_cast<uint8_t>(bytes[i + k]) : 0;
      if ((next & 0xC0) != 0x80) {
        length = 0;
        break;
      }
      code = (code << 6) | (next & 0x3F);
    }
    const bool shortest = length != 3 || code >= 0x800;
    const bool inRange = length != 4 || (code >= 0x10000 && code < 0x110000);
    if (length == 0 || !shortest || !inRange || !IsEncodableCodePoint(code)) {
      AppendEscapedByte(&text, lead);
      ++i;
      continue;
    }
    AppendCodePoint(&text, code);
    i += length;
  }
  return text;
}

// Big-endian code units of `width` bytes (BMPString: 2, UniversalString: 4).
std::wstring WideUnitsText(std::string_view bytes, size_t width) {
  std::wstring text;
  size_t i = 0;
  for (; i + width <= bytes.size(); i += width) {
    char32_t code = 0;
    for (size_t k = 0; k < width; ++k)
      code = (code << 8) | static_cast<uint8_t>(bytes[i + k]);
    if (width == 2 && code >= 0xD800 && code <= 0xDBFF && i + 4 <= bytes.size()) {
      const char32_t low =
          (static_cast<uint8_t>(bytes[i + 2]) << 8) | static_cast<uint8_t>(bytes[i + 3]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendCodePoint(&text, 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    if (IsEncodableCodePoint(code)) {
      AppendCodePoint(&text, code);
    } else {
      for (size_t k = 0; k < width; ++k)
        AppendEscapedByte(&text, static_cast<uint8_t>(bytes[i + k]));
    }
  }
  for (; i < bytes.size(); ++i)
    AppendEscapedByte(&text, static_cast<uint8_t>(bytes[i]));
  return text;
}

// Seven-bit strings; an eighth bit is escaped. (TeletexString is read as Latin-1, as most
// software writes it.)
std::wstring ByteText(std::string_view bytes, bool latin1) {
  std::wstring text;
  for (const char ch : bytes) {
    const auto byte = static_cast<uint8_t>(ch);
    if (byte < 0x80 || latin1) {
      text.push_back(static_cast<wchar_t>(byte));
    } else {
      AppendEscapedByte(&text, byte);
    }
  }
  return text;
}

std::wstring AttributeType(const std::string& oid) {
  for (const AttributeName& known : kAttributeNames) {
    if (oid == known.oid)
      return known.name;
  }
  return oid.empty() ? L"?" : std::wstring(oid.begin(), oid.end());
}

std::wstring QuotedIfNeeded(const std::wstring& value) {
  const bool special = value.empty() || value.front() == L' ' || value.back() == L' ' ||
                       value.find_first_of(L",+=\"<>#;") != std::wstring::npos;
  if (!special)
    return value;
  std::wstring quoted = L"\"";
  for (const wchar_t ch : value) {
    if (ch == L'"')
      quoted += L'"';
    quoted += ch;
  }
  return quoted + L"\"";
}

// Calls `visit(type, valueElement)` for each attribute of each RDN; false when malformed.
// RDNs are visited most specific (last) first.
template <class Visit>
bool ForEachAttribute(std::string_view name, Visit visit) {
  std::vector<std::string_view> rdns;
  der::Reader reader(name);
  while (!reader.AtEnd()) {
    const std::optional<der::Element> rdn = reader.NextIf(der::kSet);
    if (!rdn)
      return false;
    rdns.push_back(rdn->content);
  }
  for (auto rdn = rdns.rbegin(); rdn != rdns.rend(); ++rdn) {
    der::Reader attributes(*rdn);
    bool firstInRdn = true;
    while (!attributes.AtEnd()) {
      const std::optional<der::Element> attribute = attributes.NextIf(der::kSequence);
      if (!attribute)
        return false;
      der::Reader parts(attribute->content);
      const std::optional<der::Element> type = parts.NextIf(der::kObjectIdentifier);
      const std::optional<der::Element> value = parts.Next();
      if (!type || !value || !parts.AtEnd())
        return false;
      visit(der::ObjectIdentifierText(type->content), *value, firstInRdn);
      firstInRdn = false;
    }
  }
  return true;
}

}  // namespace

std::wstring DirectoryStringText(uint8_t tag, std::string_view content) {
  switch (tag) {
    case der::kUtf8String:
      return Utf8Text(content);
    case der::kPrintableString:
    case der::kIa5String:
    case der::kVisibleString:
      return ByteText(content, false);
    case der::kTeletexString:
      return ByteText(content, true);
    case der::kBmpString:
      return WideUnitsText(content, 2);
    case der::kUniversalString:
      return WideUnitsText(content, 4);
    default: {
      std::wstring hex = L"#";
      for (const char ch : content)
        hex += Format(L"%02x", static_cast<unsigned>(static_cast<uint8_t>(ch)));
      return hex;
    }
  }
}

std::wstring DistinguishedNameText(std::string_view name) {
  std::wstring text;
  const bool wellFormed =
      ForEachAttribute(name, [&](const std::string& type, const der::Element& value, bool first) {
        if (!text.empty())
          text += first ? L", " : L" + ";
        text += AttributeType(type) + L"=" +
                QuotedIfNeeded(DirectoryStringText(value.tag, value.content));
      });
  return wellFormed ? text : std::wstring();
}

std::vector<std::wstring> NameEmailAddresses(std::string_view name) {
  std::vector<std::wstring> addresses;
  std::vector<std::wstring> reversed;
  ForEachAttribute(name, [&](const std::string& type, const der::Element& value, bool) {
    if (type == kOidEmailAddress)
      reversed.push_back(DirectoryStringText(value.tag, value.content));
  });
  // In the order the name lists them.
  addresses.assign(reversed.rbegin(), reversed.rend());
  return addresses;
}

std::wstring EscapeForDiagnostics(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t ch = text[i];
    const auto code = static_cast<uint32_t>(ch);
    // A low surrogate that ends a pair (UTF-16) is part of a character, not an escaped byte.
    const bool pairEnd = i > 0 && IsHighSurrogate(static_cast<uint32_t>(text[i - 1]));
    if (code >= kEscapedByteBase && code <= kEscapedByteBase + 0xFF && !pairEnd) {
      out += Format(L"\\x%02x", code - kEscapedByteBase);
    } else if (code < 0x20 || (code >= 0x7F && code < 0xA0)) {
      out += Format(L"\\x%02x", code);
    } else if (ch == L'\\') {
      out += L"\\\\";
    } else if ((code >= 0x200B && code <= 0x200F) || (code >= 0x202A && code <= 0x202E) ||
               (code >= 0x2060 && code <= 0x2069) || code == 0xFEFF) {
      out += Format(L"\\u%04x", code);
    } else {
      out += ch;
    }
  }
  return out;
}

}  // namespace tp
