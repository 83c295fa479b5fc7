// Escaping text for HTML markup: the forms every serializer of ours writes, so that a page
// taken apart and written again comes out the same.
#pragma once

#include <string>
#include <string_view>

namespace tp {

// Text between tags: '&' (when `ampersands`), '<', '>' and no-break space as references, NUL
// as U+FFFD.
void AppendEscapedText(std::wstring* out, std::wstring_view text, bool ampersands = true);
// An attribute value to go between double quotes: '&', '"', '<', '>', '`' and no-break space
// as references.
void AppendEscapedAttribute(std::wstring* out, std::wstring_view value);

// The same for UTF-8 text.
void AppendEscapedText(std::string* out, std::string_view text, bool ampersands = true);
void AppendEscapedAttribute(std::string* out, std::string_view value);

}  // namespace tp
