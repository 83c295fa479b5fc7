// Installing the Windows host.
#include "addin/com/windows_host.h"

#include "host/host.h"
#include "host/platform.h"

namespace tp::addin {

void InstallWindowsHost() {
  const host::Host& platform = host::PlatformHost();
  // The first installation in the process: no worker runs yet to refuse it.
  if (host::Current().outlook != platform.outlook)
    (void)host::Install(platform);
}

}  // namespace tp::addin
