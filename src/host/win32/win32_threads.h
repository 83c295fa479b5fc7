// Threads port on Windows: kernel events, and threads that hold a reference on the module
// that started them for as long as they run, so that a worker that outlives its owner (and
// the add-in's unloading) never runs in an unloaded module.
#pragma once

#include "host/threads.h"

namespace tp::host::win32 {

class Win32Threads final : public Threads {
 public:
  // Both throw std::system_error when the system has no event or thread left, as
  // std::thread does.
  std::shared_ptr<Event> CreateEvent(bool manualReset) override;
  std::unique_ptr<Thread> StartThread(std::function<void()> body) override;
  uint32_t CurrentThreadId() override;
};

}  // namespace tp::host::win32
