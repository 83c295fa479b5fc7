// The account manager port over Outlook's IOlkAccountManager, IOlkEnum and IOlkAccount.
#pragma once

#include <memory>

#include "host/outlook.h"
#include "host/win32/com_ptr.h"
#include "host/win32/outlook/olk_interfaces.h"

namespace tp::host::win32 {

// Null for a null manager.
std::shared_ptr<OlkAccountManager> MakeAccountManager(ComPtr<IOlkAccountManager> manager);

}  // namespace tp::host::win32
