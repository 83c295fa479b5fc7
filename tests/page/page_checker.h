// An independent check of a built page: it is parsed by gumbo, as a browser would parse it,
// and every element, attribute and URL that could run script, leave our pages, reach a
// network share or (for a sender the decision does not vouch for) load anything remote is
// named.
#pragma once

#include <string>
#include <vector>

namespace tp::testing {

// Whose page it is: a branded sender's may load remote content, another's may not.
enum class PageSender { kBranded, kNotBranded };

// What could run, redirect, reach a share or load in the page (UTF-8): "element script",
// "attribute onclick", "url href=javascript:x", "network path src=//host/x", "remote
// src=https://x", ...; empty when nothing.
std::vector<std::string> ActiveContentIn(const std::string& page, PageSender sender);

}  // namespace tp::testing
