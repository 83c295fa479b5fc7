// Whole-file reads and replacing writes over the file-system port.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace tp {

// The file's bytes (opened for shared reading); empty when it cannot be read or is larger
// than `largest`.
std::optional<std::string> ReadWholeFile(const std::wstring& path, size_t largest);

// Writes the bytes to a file beside `path` and moves it over `path`, so that readers see the
// old content or the new, never a part. False (and no change) when either step fails.
bool WriteFileReplacing(const std::wstring& path, const std::string& bytes);

}  // namespace tp
