// English system texts for the Win32 and WinINet error codes the posix adapters report.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tp::host::posix {

// The text FormatMessageW gives for `code` (ending with "\r\n"), when the table has one.
std::optional<std::wstring> SystemMessageText(uint32_t code);

}  // namespace tp::host::posix
