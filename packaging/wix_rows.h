// Writes a package's registry rows as WiX source: the components that hold the DLLs, their
// rows and the settings, for wixl to compile with the package's main source.
#pragma once

#include <string>

#include "addin/server_registration.h"

namespace tp::packaging {

// A WiX include for the package's Product element, with the directories "Folder64" and "Folder32"
// referenced (their files come from the preprocessor variables Dll64 and Dll32), the components of
// PackageComponent, the property LOADBEHAVIOR with its default, and the component group
// "AddinComponents".
std::string WixRowsFragment(RegistrationScope scope);

// What wixl leaves out of those components' rows in the Component table, as SQL statements
// for msibuild -q, one a line: the 64-bit attribute (wixl 0.101 writes none) and the
// conditions of the settings (it writes no component conditions).
std::string ComponentTableFixes();

}  // namespace tp::packaging
