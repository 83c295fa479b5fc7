// Identifiers of the add-in's one-shot window timers.
#pragma once

#include <cstdint>

namespace tp {

constexpr uintptr_t kTimerRecheckSelection = 1811;      // re-check a header-only message
constexpr uintptr_t kTimerScanSchedule = 1812;          // new-mail queue and folder scan
constexpr uintptr_t kTimerLoadBrandingList = 1813;      // retry while the branding text is empty
constexpr uintptr_t kTimerDestroyClosedWindows = 1814;  // destroy detached browser windows
constexpr uintptr_t kTimerCreateBrowserWindow = 2712;
constexpr uintptr_t kTimerBackToOutlookView = 2728;
constexpr uintptr_t kTimerRetryShowInPane = 2806;
constexpr uintptr_t kTimerRetryShowInInspector = 2815;

}  // namespace tp
