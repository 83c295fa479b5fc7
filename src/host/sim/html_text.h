// The plain text of an HTML body, as Outlook keeps it beside the HTML of a message that came
// without a text part: tags dropped, block ends as line breaks, entities decoded.
#pragma once

#include <string>
#include <string_view>

namespace tp::host::sim {

std::wstring HtmlToText(std::wstring_view html);

}  // namespace tp::host::sim
