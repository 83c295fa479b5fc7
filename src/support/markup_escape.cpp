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

}  // namespace tp
