// tidepost run --stall WORKER: the stand-in holds every request of that worker unanswered, so
// that the add-in quits with the worker stuck inside a request.
#pragma once

#include <string>
#include <vector>

#include "standin/standin_server.h"

namespace tp::tool {

struct StalledWorker {
  std::string name;        // "list", "icons" or "statistics"
  std::string pathPrefix;  // the worker's requests at the service
};

// The workers named; false with a message on stderr for a name that is none.
bool ParseStalledWorkers(const std::vector<std::string>& names,
                         std::vector<StalledWorker>* stalled);

// Has the stand-in stall every request of each worker.
void StallAt(standin::StandinServer& standin, const std::vector<StalledWorker>& stalled);

// True once the stand-in holds a request of each worker.
bool AllHeld(const standin::StandinServer& standin, const std::vector<StalledWorker>& stalled);

bool IsStalled(const std::vector<StalledWorker>& stalled, const std::string& name);

}  // namespace tp::tool
