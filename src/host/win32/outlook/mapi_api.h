// The Extended MAPI headers, included after the Windows headers so that the fixes of
// win32_api.h hold for them too.
#pragma once

#include "host/win32/win32_api.h"

// clang-format off
#include <mapix.h>
#include <mapidefs.h>
#include <mapicode.h>
// clang-format on
