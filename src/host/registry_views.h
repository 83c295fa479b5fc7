// Which registry keys 64-bit Windows keeps apart for 32-bit programs (WOW64 redirection), and
// where a 64-bit program finds the 32-bit view's copy of a redirected key.
#pragma once

#include <string>
#include <string_view>

#include "host/registry.h"

namespace tp::host {

// True when 64-bit Windows (7 and later) gives 32-bit programs their own copy of the key at
// `path` below `root`; false when both views share one key. HKEY_CLASSES_ROOT is taken as the
// merged view of the two "Software\Classes" keys it is made of.
bool IsRedirectedUnderWow64(RegRoot root, std::wstring_view path);

// The key a 32-bit program reaches by `path`, as a 64-bit program names it: a redirected key
// with "Wow6432Node" inserted ("Software\Wow6432Node\...", or "Software\Classes\Wow6432Node\..."
// below the classes), a shared key as it is.
std::wstring PathInWow64View(RegRoot root, std::wstring_view path);

}  // namespace tp::host
