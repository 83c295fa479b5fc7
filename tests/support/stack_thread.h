// Runs a function on a thread of its own with a given stack size, as Outlook's user-interface
// thread has about 1 MiB: whatever overflows that stack crashes the test.
#pragma once

#include <cstddef>
#include <functional>

namespace tp::testing {

inline constexpr size_t kOutlookUiStackBytes = 1024 * 1024;

// False when the thread could not be started.
bool RunWithStack(size_t stackBytes, const std::function<void()>& body);

}  // namespace tp::testing
