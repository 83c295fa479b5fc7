// Recorded requests as JSON lines, for processes that read the stand-in's records from a file
// or from its control route.
#pragma once

#include <string>

#include "standin/http_request.h"

namespace tp::standin {

// One line (without its line feed): {"method":..,"target":..,"headers":[[name,value],..],
// "body":..}. Each byte of the strings is one code point (bytes 0x80 and up as \u0080..\u00ff),
// so binary bodies survive.
std::string RequestJson(const Request& request);

}  // namespace tp::standin
