// The Windows host of the module's core code, installed before any of it first runs.
#pragma once

namespace tp::addin {

// Installs the Windows host unless it is installed already. It serves the whole process and
// is installed once, before the first CConnect exists (or a registration runs), so that no
// worker of the core is running while it changes.
void InstallWindowsHost();

}  // namespace tp::addin
