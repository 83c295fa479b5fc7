// Rules for names that become file names in our folders.
#pragma once

#include <string_view>

namespace tp {

// True when Windows takes a file of this name for a device in every folder: CON, PRN, AUX,
// NUL, COM0 to COM9 and LPT0 to LPT9 (also with a superscript 1, 2 or 3), CONIN$ and CONOUT$,
// in any letter case, alone or before an extension ("NUL.ico"), trailing spaces ignored.
bool IsReservedDeviceName(std::wstring_view name);

}  // namespace tp
