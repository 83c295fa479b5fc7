// The process's installed host.
#include "host/host.h"

#include <atomic>

namespace tp::host {
namespace {
Host g_host;
std::atomic<unsigned long long> g_generation{0};
}  // namespace

const Host& Current() {
  return g_host;
}

void Install(const Host& host) {
  g_host = host;
  ++g_generation;
}

unsigned long long Generation() {
  return g_generation;
}

ScopedHost::ScopedHost(const Host& host) : previous_(g_host) {
  Install(host);
}

ScopedHost::~ScopedHost() {
  Install(previous_);
}

}  // namespace tp::host
