// A thread with a chosen stack size, through POSIX threads (winpthreads on Windows).
#include "support/stack_thread.h"

#include <pthread.h>

namespace tp::testing {
namespace {

void* RunBody(void* body) {
  (*static_cast<const std::function<void()>*>(body))();
  return nullptr;
}

}  // namespace

bool RunWithStack(size_t stackBytes, const std::function<void()>& body) {
  pthread_attr_t attributes;
  if (pthread_attr_init(&attributes) != 0)
    return false;
  pthread_t thread;
  const bool started = pthread_attr_setstacksize(&attributes, stackBytes) == 0 &&
                       pthread_create(&thread, &attributes, RunBody,
                                      const_cast<void*>(static_cast<const void*>(&body))) == 0;
  pthread_attr_destroy(&attributes);
  return started && pthread_join(thread, nullptr) == 0;
}

}  // namespace tp::testing
