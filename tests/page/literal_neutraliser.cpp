// The reference neutralising, transcribed step by step.
#include "literal_neutraliser.h"

#include "base/text.h"

namespace tp::testing {
namespace {

const wchar_t* const kPatterns[28] = {
    L"<style",  L"</style",    L"<script",  L"</script",  L"<iframe",     L"</iframe",  L"<frame",
    L"</frame", L"</frameset", L"<object",  L"</object",  L"<embed",      L"</embed",   L"<form",
    L"</form",  L"<input",     L"</input",  L"<audio",    L"</audio",     L"<video",    L"</video",
    L"<meta",   L"</meta",     L"<marquee", L"</marquee", L"javascript:", L"vbscript:", L"vbs:"};

}  // namespace

void LiteralNeutraliseMarkup(std::wstring* html, std::wstring* styles) {
  std::wstring copy = ToLower(*html);
  for (int index = 0; index < 28; ++index) {
    const std::wstring pattern = kPatterns[index];
    const bool closing = pattern[1] == L'/';
    for (size_t found = copy.find(pattern); found != std::wstring::npos;
         found = copy.find(pattern)) {
      const size_t insertAt = found + (closing ? 2 : 1);
      copy.insert(insertAt, L"x");
      html->insert(insertAt, L"x");
    }
    if (!closing)
      continue;
    const std::wstring open = L"<x" + std::wstring(kPatterns[index - 1]).substr(1);
    const std::wstring close = L"</x" + pattern.substr(2);
    for (;;) {
      const size_t openAt = copy.find(open);
      if (openAt == std::wstring::npos)
        break;
      const size_t closeAt = copy.find(close, openAt);
      if (closeAt == std::wstring::npos)
        break;
      const size_t greater = copy.find(L'>', closeAt);
      if (greater == std::wstring::npos)
        break;
      if (index == 1) {
        std::wstring text = copy.substr(openAt, closeAt - openAt);
        std::erase(text, L' ');
        if (text.find(L"script") == std::wstring::npos && text.find(L"url") == std::wstring::npos &&
            text.find(L'=') == std::wstring::npos) {
          *styles += L"<" + html->substr(openAt + 2, closeAt - (openAt + 2)) + L"</style>";
        }
      }
      copy.erase(openAt, greater - openAt + 1);
      html->erase(openAt, greater - openAt + 1);
    }
  }
}

}  // namespace tp::testing
