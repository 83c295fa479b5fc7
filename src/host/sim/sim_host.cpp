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
  host_.clock = &clock;
  host_.ui = &ui;
  host_.registry = &registry;
  host_.files = &files;
  host_.threads = PlatformHost().threads;
  host_.system = &system;
  host_.codec = PlatformHost().codec;
  host_.resources = &resources;
  host_.outlook = &outlook;
  outlook.clock = &clock;
  host_.http = PlatformHost().http;
  host_.typeLibraries = &typeLibraries;
  host_.pictures = &pictures;
  host_.windows = &windows;
  host_.input = &input;
  host_.connectivity = &connectivity;
  host_.browsers = &browsers;
  host_.crypto = PlatformHost().crypto;
  host_.html = PlatformHost().html;
}

}  // namespace tp::host::sim
