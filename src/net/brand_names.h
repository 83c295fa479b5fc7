// The brand names as the icon worker sees them: which names are safe to use in a file name,
// a registry key and a URL path, and the list the user-interface thread publishes for it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tp {

// Whether a name can become part of a message class, a registry key, a file name and a URL
// path: not empty, no path separators, "..", colons, control or other file-name characters,
// and not a device name.
bool IsUsableBrandName(std::wstring_view name);

// The brand names the icon worker fetches icons for. The user-interface thread publishes
// them with each list it loads; any thread reads a consistent copy. A name may hold any
// character a brand name may (commas included).
std::vector<std::wstring> BrandNameList();
void PublishBrandNameList(std::vector<std::wstring> names);
// A number that changes with each publication, for a reader that waits for new names.
uint64_t BrandNameListVersion();

}  // namespace tp
