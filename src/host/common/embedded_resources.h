// The add-in's resources compiled in as data (generated from resources/), for the hosts
// that have no Windows resource section: posix and the simulated Outlook.
#pragma once

#include <cstddef>
#include <span>

#include "host/resources.h"

namespace tp::host {

struct EmbeddedResource {
  const wchar_t* type;
  int id;
  const unsigned char* data;
  size_t size;
};

std::span<const EmbeddedResource> EmbeddedResources();
// String-table entries as UTF-8 bytes.
std::span<const EmbeddedResource> EmbeddedStrings();
FileVersion EmbeddedModuleVersion();

}  // namespace tp::host
