// The service endpoints in use.
#include "platform/configuration.h"

#include <mutex>

namespace tp::config {
namespace {
std::mutex g_mutex;
ServiceEndpoints g_services;
}  // namespace

ServiceEndpoints Services() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_services;
}

void SetServices(const ServiceEndpoints& endpoints) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_services = endpoints;
}

}  // namespace tp::config
