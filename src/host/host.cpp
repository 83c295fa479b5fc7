// The process's installed host and the workers that keep the host they started on.
#include "host/host.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "host/threads.h"

namespace tp::host {
namespace {

Host g_host;
std::atomic<unsigned long long> g_generation{0};
// A worker's own host; null on every other thread.
thread_local const Host* t_workerHost = nullptr;

// Guards the count of running workers and g_host against an installation racing a start.
std::mutex g_workersMutex;
std::condition_variable g_workersEnded;
int g_runningWorkers = 0;

void WorkerEnded() {
  std::lock_guard<std::mutex> lock(g_workersMutex);
  --g_runningWorkers;
  g_workersEnded.notify_all();
}

void InstallOrEnd(const Host& host) {
  if (!Install(host)) {
    std::fputs("A host was left while a worker still used it\n", stderr);
    std::abort();
  }
}

}  // namespace

const Host& Current() {
  return t_workerHost != nullptr ? *t_workerHost : g_host;
}

bool Install(const Host& host) {
  std::lock_guard<std::mutex> lock(g_workersMutex);
  if (g_runningWorkers != 0)
    return false;
  g_host = host;
  ++g_generation;
  return true;
}

unsigned long long Generation() {
  return g_generation;
}

std::unique_ptr<Thread> StartWorker(std::function<void()> body) {
  std::shared_ptr<const Host> own;
  {
    std::lock_guard<std::mutex> lock(g_workersMutex);
    own = std::make_shared<const Host>(g_host);
    ++g_runningWorkers;
  }
  try {
    return own->threads->StartThread([own, body = std::move(body)]() mutable {
      t_workerHost = own.get();
      body();
      body = nullptr;  // what the worker shared goes before it counts as ended
      t_workerHost = nullptr;
      WorkerEnded();
    });
  } catch (...) {
    WorkerEnded();
    throw;
  }
}

bool WaitForWorkers(uint32_t timeoutMs) {
  std::unique_lock<std::mutex> lock(g_workersMutex);
  return g_workersEnded.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                 [] { return g_runningWorkers == 0; });
}

int RunningWorkers() {
  std::lock_guard<std::mutex> lock(g_workersMutex);
  return g_runningWorkers;
}

ScopedHost::ScopedHost(const Host& host) : m_previous(g_host) {
  InstallOrEnd(host);
}

ScopedHost::~ScopedHost() {
  InstallOrEnd(m_previous);
}

}  // namespace tp::host
