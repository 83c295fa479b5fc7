// Generated message bodies for the static page benchmarks: an ordinary newsletter, and a
// hostile body dense with every danger pattern of the neutralising stage.
#pragma once

#include <cstddef>
#include <string>

namespace tp::bench {

// A newsletter of nested tables, inline styles, images and links, about `chars` long.
std::wstring MakeNewsletterBody(size_t chars);
// Every danger pattern in mixed case, closed and unclosed, script URLs in several encodings,
// event attributes, style elements and conditional comments, about `chars` long.
std::wstring MakeHostileBody(size_t chars);

}  // namespace tp::bench
