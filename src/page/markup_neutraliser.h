// The first stage of making a message's HTML safe, on its raw text: every danger pattern
// (script, style, frame, object, form and media tags, script URLs) is neutralised by an
// inserted "x", neutralised elements with a closing tag are cut out whole, and style
// elements without "script", "url" or "=" are kept aside for the page's head.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tp {

// Lower case, in the order they are applied. A pattern whose second character is '/' closes
// the element of the pattern before it.
inline constexpr std::array<std::wstring_view, 28> kDangerPatterns = {
    L"<style",  L"</style",    L"<script",  L"</script",  L"<iframe",     L"</iframe",  L"<frame",
    L"</frame", L"</frameset", L"<object",  L"</object",  L"<embed",      L"</embed",   L"<form",
    L"</form",  L"<input",     L"</input",  L"<audio",    L"</audio",     L"<video",    L"</video",
    L"<meta",   L"</meta",     L"<marquee", L"</marquee", L"javascript:", L"vbscript:", L"vbs:"};

// Neutralises `html` in place: in time linear in its length, with the result of applying
// the patterns one after the other, each search starting again at the beginning of the text
// (letter case ignored, the text's own case kept). Each style element kept aside is appended
// to `styles` as "<" + its text from "style" up to its closing mark + "</style>".
void NeutraliseMarkup(std::wstring* html, std::vector<std::wstring>* styles);

}  // namespace tp
