// Style sheets and style attributes of a message, checked for what old browsers run or load
// from them: expression(), behaviours, bindings, filters (progid:), script URLs, network
// paths, imported sheets, and whatever an escape, a comment (also inside quoted text) or a
// look-alike character could hide from a check on the plain text.
// The checks allow plain CSS only: every "(" must follow a function name that is known to be
// harmless, and backslash escapes are refused outside quoted strings.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "page/url_policy.h"

namespace tp {

// A style attribute's value without the declarations that fail the checks (url() must hold a
// resource the policy allows); the value unchanged when all pass, nothing when none does.
std::optional<std::wstring> FilterStyleAttribute(std::wstring_view style, const UrlPolicy& urls);

// True when a style element's text passes the checks; it may hold no url() and no at-rule
// other than @media, @font-face, @page, @supports, @keyframes and @charset.
bool IsSafeStyleSheet(std::wstring_view css);

}  // namespace tp
