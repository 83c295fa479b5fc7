// A small valid icon file the stand-in serves for configured sender names.
#pragma once

#include <string>
#include <string_view>

namespace tp::standin {

// A 16 by 16, 32 bits per pixel .ico (it begins with the bytes 00 00 01 00), filled with a
// colour derived from `name` so that different senders get different icons.
std::string BuiltinIcon(std::string_view name);

}  // namespace tp::standin
