// The real platform's adapters: Windows in the DLL and its tests, posix on Linux. Only the
// ports that the platform has are set (Linux has no Outlook, windows or timers).
#pragma once

#include <memory>

#include "host/crypto.h"
#include "host/host.h"

namespace tp::host {

// The adapters live as long as the process.
const Host& PlatformHost();

// A message crypto of the platform's of its own, whose trust a caller may widen.
std::unique_ptr<TrustingMessageCrypto> NewMessageCrypto();

}  // namespace tp::host
