// Escaping text for HTML markup.
#include "support/markup_escape.h"

namespace tp {

void AppendEscapedText(std::wstring* out, std::wstring_view text, bool ampersands) {
  for (wchar_t ch : text) {
    switch (ch) {
      case L'&':
        out->append(ampersands ? L"&amp;" : L"&");
        break;
      case L'<':
        out->append(L"&lt;");
        break;
      case L'>':
        out->append(L"&gt;");
        break;
      case 0xA0:
        out->append(L"&nbsp;");
        break;
      case L'\0':
        out->push_back(static_cast<wchar_t>(0xFFFD));
        break;
      default:
        out->push_back(ch);
    }
  }
}

void AppendEscapedAttribute(std::wstring* out, std::wstring_view value) {
  for (wchar_t ch : value) {
    switch (ch) {
      case L'&':
        out->append(L"&amp;");
        break;
      case L'"':
        out->append(L"&quot;");
        break;
      case L'<':
        out->append(L"&lt;");
        break;
      case L'>':
        out->append(L"&gt;");
        break;
      case L'`':
        out->append(L"&#96;");
        break;
      case 0xA0:
        out->append(L"&nbsp;");
        break;
      default:
        out->push_back(ch);
    }
  }
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
