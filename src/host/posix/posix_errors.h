// errno values mapped onto the Win32 error codes that the ports speak.
#pragma once

#include <cstdint>

namespace tp::host::posix {

uint32_t Win32ErrorFromErrno(int error);

}  // namespace tp::host::posix
