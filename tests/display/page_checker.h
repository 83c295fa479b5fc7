// An independent check of a built page: it is parsed by gumbo, as a browser would parse it,
// and every element, attribute and URL that could run script or leave our pages is named.
#pragma once

#include <string>
#include <vector>

namespace tp::testing {

// What could run or redirect in the page (UTF-8): "element script", "attribute onclick",
// "url href=javascript:x", ...; empty when nothing.
std::vector<std::string> ActiveContentIn(const std::string& page);

}  // namespace tp::testing
