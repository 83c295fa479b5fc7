// Typed reading and writing of registry values over the registry port.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "host/registry.h"

namespace tp {

// A REG_SZ (or REG_EXPAND_SZ) value's text up to its first zero character. With a buffer
// limit, a value whose data does not fit in maxBytes (terminator included) is not read, as
// RegQueryValueExW refuses it with ERROR_MORE_DATA.
std::optional<std::wstring> ReadStringValue(host::RegistryKey& key, const std::wstring& name,
                                            size_t maxBytes = SIZE_MAX);
// The text of REG_SZ data up to its first zero character.
std::wstring StringFromRegData(const std::string& data);
// Stores text as REG_SZ with its terminating zero.
host::RegStatus WriteStringValue(host::RegistryKey& key, const std::wstring& name,
                                 std::wstring_view text);
host::RegStatus WriteDwordValue(host::RegistryKey& key, const std::wstring& name, uint32_t value);

// Opens root\path, or null.
std::unique_ptr<host::RegistryKey> OpenRegistryKey(host::RegRoot root, const std::wstring& path,
                                                   host::RegAccess access);

}  // namespace tp
