// Installing the Windows host.
#include "addin/com/windows_host.h"

#include "host/host.h"
#include "host/platform.h"

namespace tp::addin {

void InstallWindowsHost() {
  const host::Host& platform = host::PlatformHost();
  if (host::Current().outlook != platform.outlook)
    host::Install(platform);
}

}  // namespace tp::addin
