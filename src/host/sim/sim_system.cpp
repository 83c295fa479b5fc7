// Simulated resources.
#include "host/sim/sim_system.h"

namespace tp::host::sim {

std::optional<std::string> SimResources::Load(const std::wstring& type, int id) {
  auto found = overrides.find({type, id});
  if (found != overrides.end())
    return found->second;
  return m_embedded.Load(type, id);
}

}  // namespace tp::host::sim
