// Stalled workers for tidepost run.
#include "worker_stall.h"

#include <cstdio>

namespace tp::tool {
namespace {

const StalledWorker kWorkers[] = {
    {"list", "/ams/GetSendersInfo"},
    {"icons", "/ams/brandingicon/"},
    {"statistics", "/analytics/"},
};

}  // namespace

bool ParseStalledWorkers(const std::vector<std::string>& names,
                         std::vector<StalledWorker>* stalled) {
  for (const std::string& name : names) {
    bool known = false;
    for (const StalledWorker& worker : kWorkers) {
      if (worker.name == name) {
        known = true;
        if (!IsStalled(*stalled, name))
          stalled->push_back(worker);
      }
    }
    if (!known) {
      std::fprintf(stderr, "tidepost: --stall takes list, icons or statistics, not %s\n",
                   name.c_str());
      return false;
    }
  }
  return true;
}

void StallAt(standin::StandinServer& standin, const std::vector<StalledWorker>& stalled) {
  for (const StalledWorker& worker : stalled)
    standin.AddFault(worker.pathPrefix, standin::Fault::kStall);
}

bool AllHeld(const standin::StandinServer& standin, const std::vector<StalledWorker>& stalled) {
  const std::vector<standin::Request> requests = standin.Requests();
  for (const StalledWorker& worker : stalled) {
    bool held = false;
    for (const standin::Request& request : requests)
      held = held || request.path.rfind(worker.pathPrefix, 0) == 0;
    if (!held)
      return false;
  }
  return true;
}

bool IsStalled(const std::vector<StalledWorker>& stalled, const std::string& name) {
  for (const StalledWorker& worker : stalled) {
    if (worker.name == name)
      return true;
  }
  return false;
}

}  // namespace tp::tool
