// Run folders removed before SIGINT, SIGTERM or SIGHUP ends the process (posix).
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <thread>

#include "run_folder.h"
#include "run_folder_cleanup.h"

namespace tp::tool {
namespace {

constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The cleanup signals that would end the process: one the caller ignores (nohup, or a shell
// that runs the tool in the background) stays ignored.
sigset_t CleanupSignalSet() {
  sigset_t signals;
  sigemptyset(&signals);
  for (int signal : kCleanupSignals) {
    struct sigaction current {};
    if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN)
      continue;
    sigaddset(&signals, signal);
  }
  return signals;
}

[[noreturn]] void RemoveFoldersAndDie(int signal) {
  RemoveLiveRunFoldersForGood();
  // End as the signal would have, so that a shell sees the same status.
  ::signal(signal, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  ::raise(signal);
  ::_exit(128 + signal);
}

void WaitForSignals(sigset_t signals) {
  int signal = 0;
  while (::sigwait(&signals, &signal) != 0) {
  }
  RemoveFoldersAndDie(signal);
}

}  // namespace

unsigned long CurrentProcessId() {
  return static_cast<unsigned long>(::getpid());
}

void RemoveRunFoldersOnSignals() {
  // A reader that goes away (`tidepost check ... | head`) makes writes fail instead of
  // ending the process with the folders left behind.
  ::signal(SIGPIPE, SIG_IGN);
  const sigset_t signals = CleanupSignalSet();
  if (::pthread_sigmask(SIG_BLOCK, &signals, nullptr) != 0)
    return;
  // The thread waits until the process ends; it owns nothing that needs tearing down.
  std::thread(WaitForSignals, signals).detach();
}

}  // namespace tp::tool
