// A strict JSON reader for wide text with a few leniencies (literals in any letter case, raw
// tabs inside strings). Syntax errors come back as an error node, never as an exception.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "formats/json_value.h"

namespace tp {

// Containers nested deeper than this make the parse fail with the token "Nesting within 512
// levels".
inline constexpr int kMaxJsonDepth = 512;

// Parses the whole text (its end is the end of the document). Returns null when the text is
// empty or only whitespace; an error node (IsError) on a syntax error, whose text reads
// "Expected '<token>' but recieved '<next 15 characters>...'"; else the root value. When
// errorOffset is given, it receives the position the error message shows (0 on success).
[[nodiscard]] std::unique_ptr<JsonValue> ParseJson(std::wstring_view text,
                                                   size_t* errorOffset = nullptr);

}  // namespace tp
