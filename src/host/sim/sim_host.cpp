// The simulated host.
#include "host/sim/sim_host.h"

#include "host/platform.h"

namespace tp::host::sim {

SimHost::SimHost(const std::wstring& root)
    : windows(input),
      ui(clock, windows),
      files(*PlatformHost().files, root),
      pictures(files),
      browsers(windows, ui) {
  m_host.clock = &clock;
  m_host.ui = &ui;
  m_host.registry = &registry;
  m_host.files = &files;
  m_host.threads = PlatformHost().threads;
  m_host.system = &system;
  m_host.codec = PlatformHost().codec;
  m_host.resources = &resources;
  m_host.outlook = &outlook;
  outlook.clock = &clock;
  m_host.http = PlatformHost().http;
  m_host.typeLibraries = &typeLibraries;
  m_host.pictures = &pictures;
  m_host.windows = &windows;
  m_host.input = &input;
  m_host.connectivity = &connectivity;
  m_host.browsers = &browsers;
  m_host.crypto = PlatformHost().crypto;
  m_host.html = PlatformHost().html;
}

}  // namespace tp::host::sim
