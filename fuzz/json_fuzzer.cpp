// libFuzzer target: the JSON reader on any UTF-8 text. Besides the sanitizers' checks, every
// tree that parses must survive a write and a re-read unchanged, and every error node must
// carry a well-formed message.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "base/text.h"
#include "formats/json_parser.h"

namespace {

void Require(bool condition) {
  if (!condition)
    std::abort();
}

void AppendUnitEscape(std::wstring& out, uint32_t unit) {
  static constexpr wchar_t kHex[] = L"0123456789abcdef";
  out += L"\\u";
  for (int shift = 12; shift >= 0; shift -= 4)
    out += kHex[(unit >> shift) & 15];
}

// Strings are written with every character outside printable ASCII escaped as UTF-16 units;
// numbers are written as 0, since only their type is compared.
void Write(const tp::JsonValue& value, std::wstring& out) {
  switch (value.type()) {
    case tp::JsonType::Null:
      out += L"null";
      return;
    case tp::JsonType::Bool:
      out += value.AsBool() ? L"true" : L"false";
      return;
    case tp::JsonType::Number:
      Require(!std::isnan(value.AsNumber()));
      out += L"0";
      return;
    case tp::JsonType::String:
      out += L'"';
      for (const wchar_t ch : value.AsString()) {
        const uint32_t code = static_cast<uint32_t>(ch);
        if (code >= 0x10000) {
          AppendUnitEscape(out, 0xD800 + ((code - 0x10000) >> 10));
          AppendUnitEscape(out, 0xDC00 + ((code - 0x10000) & 0x3FF));
        } else if (code < 0x20 || code >= 0x7F || ch == L'"' || ch == L'\\') {
          AppendUnitEscape(out, code);
        } else {
          out += ch;
        }
      }
      out += L'"';
      return;
    case tp::JsonType::Array: {
      out += L'[';
      bool first = true;
      for (const auto& element : value.AsArray()) {
        if (!first)
          out += L',';
        first = false;
        Write(*element, out);
      }
      out += L']';
      return;
    }
    case tp::JsonType::Object: {
      out += L'{';
      bool first = true;
      for (const auto& [key, member] : value.AsObject()) {
        if (!first)
          out += L',';
        first = false;
        Write(tp::JsonValue(key, false), out);
        out += L':';
        Write(*member, out);
      }
      out += L'}';
      return;
    }
  }
}

bool SameTree(const tp::JsonValue& a, const tp::JsonValue& b) {
  if (a.type() != b.type() || a.IsError() || b.IsError())
    return false;
  switch (a.type()) {
    case tp::JsonType::String:
      return a.AsString() == b.AsString();
    case tp::JsonType::Bool:
      return a.AsBool() == b.AsBool();
    case tp::JsonType::Array:
      if (a.AsArray().size() != b.AsArray().size())
        return false;
      for (size_t i = 0; i < a.AsArray().size(); ++i) {
        if (!SameTree(*a.AsArray()[i], *b.AsArray()[i]))
          return false;
      }
      return true;
    case tp::JsonType::Object: {
      if (a.AsObject().size() != b.AsObject().size())
        return false;
      auto other = b.AsObject().begin();
      for (const auto& [key, member] : a.AsObject()) {
        if (key != other->first || !SameTree(*member, *other->second))
          return false;
        ++other;
      }
      return true;
    }
    case tp::JsonType::Null:
    case tp::JsonType::Number:
      return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring text =
      tp::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));
  size_t errorOffset = 0;
  const std::unique_ptr<tp::JsonValue> value = tp::ParseJson(text, &errorOffset);
  if (value == nullptr) {
    Require(text.find_first_not_of(L" \t\r\n") == std::wstring::npos);
    return 0;
  }
  if (value->IsError()) {
    Require(value->AsString().starts_with(L"Expected '"));
    Require(errorOffset <= text.size());
    return 0;
  }
  std::wstring written;
  Write(*value, written);
  const std::unique_ptr<tp::JsonValue> again = tp::ParseJson(written);
  Require(again != nullptr && SameTree(*value, *again));
  return 0;
}
