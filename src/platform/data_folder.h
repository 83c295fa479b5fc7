// The per-user data folder: the "Tidepost" folder under the low-integrity local application
// data folder, which holds the log, the caches and the sender icons.
#pragma once

#include <string>

namespace tp {

// The data folder path with a trailing separator, then the subfolder and a separator when a
// subfolder is given, then the file name when one is given. Creates the data folder and the
// subfolder when they are missing. Computed once per installed host.
std::wstring GetDataFilePath(const wchar_t* subfolder, const wchar_t* fileName);

}  // namespace tp
