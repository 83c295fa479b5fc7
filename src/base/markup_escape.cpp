// Escaping text for HTML markup.
#include "base/markup_escape.h"

namespace tp {

namespace {

// The reference for a character that text or an attribute value escapes, or null.
const wchar_t* WideReference(wchar_t ch, bool attribute, bool ampersands) {
  switch (ch) {
    case L'&':
      return ampersands ? L"&amp;" : nullptr;
    case L'<':
      return L"&lt;";
    case L'>':
      return L"&gt;";
    case L'"':
      return attribute ? L"&quot;" : nullptr;
    case L'`':
      return attribute ? L"&#96;" : nullptr;
    case 0xA0:
      return L"&nbsp;";
    case L'\0':
      return attribute ? nullptr : L"\xFFFD";
    default:
      return nullptr;
  }
}

// Copies the runs between escaped characters whole.
void AppendEscaped(std::wstring* out, std::wstring_view text, bool attribute, bool ampersands) {
  size_t done = 0;
  for (size_t at = 0; at < text.size(); ++at) {
    const wchar_t ch = text[at];
    // Every character that may be escaped is '&', '<', '>', '"', '`', U+00A0 or U+0000.
    if (ch > L'`' && ch != 0xA0)
      continue;
    const wchar_t* reference = WideReference(ch, attribute, ampersands);
    if (reference == nullptr)
      continue;
    out->append(text, done, at - done);
    out->append(reference);
    done = at + 1;
  }
  out->append(text, done, std::wstring_view::npos);
}

}  // namespace

void AppendEscapedText(std::wstring* out, std::wstring_view text, bool ampersands) {
  AppendEscaped(out, text, /*attribute=*/false, ampersands);
}

void AppendEscapedAttribute(std::wstring* out, std::wstring_view value) {
  AppendEscaped(out, value, /*attribute=*/true, /*ampersands=*/true);
}

namespace {

// The reference for a character that text or an attribute value escapes, or null.
const char* Utf8Reference(std::string_view text, size_t at, bool attribute, bool ampersands,
                          size_t* length) {
  *length = 1;
  switch (text[at]) {
    case '&':
      return ampersands ? "&amp;" : nullptr;
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    case '"':
      return attribute ? "&quot;" : nullptr;
    case '`':
      return attribute ? "&#96;" : nullptr;
    case '\0':
      return attribute ? nullptr : "\xEF\xBF\xBD";
    case '\xC2':
      if (at + 1 < text.size() && text[at + 1] == '\xA0') {
        *length = 2;
        return "&nbsp;";
      }
      return nullptr;
    default:
      return nullptr;
  }
}

void AppendEscaped(std::string* out, std::string_view text, bool attribute, bool ampersands) {
  size_t done = 0;
  for (size_t at = 0; at < text.size();) {
    size_t length = 1;
    const char* reference = Utf8Reference(text, at, attribute, ampersands, &length);
    if (reference == nullptr) {
      ++at;
      continue;
    }
    out->append(text.substr(done, at - done));
    out->append(reference);
    at += length;
    done = at;
  }
  out->append(text.substr(done));
}

}  // namespace

void AppendEscapedText(std::string* out, std::string_view text, bool ampersands) {
  AppendEscaped(out, text, false, ampersands);
}

void AppendEscapedAttribute(std::string* out, std::string_view value) {
  AppendEscaped(out, value, true, true);
}

}  // namespace tp
