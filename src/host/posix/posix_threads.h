// Threads port on posix, with the C++ standard library's threads and condition variables.
#pragma once

#include "host/threads.h"

namespace tp::host::posix {

class PosixThreads final : public Threads {
 public:
  std::shared_ptr<Event> CreateEvent(bool manualReset) override;
  std::unique_ptr<Thread> StartThread(std::function<void()> body) override;
  uint32_t CurrentThreadId() override;
};

}  // namespace tp::host::posix
