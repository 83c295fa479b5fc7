// The simulated host: a simulated Outlook with its window tree, UI thread, hooks, browsers and
// connection, a clock, registry, system settings, type library registration and pictures,
// over the platform's real threads, code pages, message crypto, HTML engine and files (with
// the known folders moved into a folder of the caller's).
#pragma once

#include <string>

#include "host/host.h"
#include "host/sim/sim_browsers.h"
#include "host/sim/sim_clock.h"
#include "host/sim/sim_connectivity.h"
#include "host/sim/sim_files.h"
#include "host/sim/sim_input.h"
#include "host/sim/sim_outlook.h"
#include "host/sim/sim_pictures.h"
#include "host/sim/sim_registry.h"
#include "host/sim/sim_system.h"
#include "host/sim/sim_type_libraries.h"
#include "host/sim/sim_ui_thread.h"
#include "host/sim/sim_windows.h"

namespace tp::host::sim {

class SimHost {
 public:
  // root: an existing folder that takes the data folder and the temporary folder.
  explicit SimHost(const std::wstring& root);
  SimHost(const SimHost&) = delete;
  SimHost& operator=(const SimHost&) = delete;

  const Host& host() const { return m_host; }

  SimClock clock;
  SimInput input;
  SimWindowTree windows;
  SimUiThread ui;
  SimRegistry registry;
  SimFileSystem files;
  SimSystem system;
  SimResources resources;
  SimOutlook outlook;
  SimTypeLibraries typeLibraries;
  SimPictures pictures;
  SimConnectivity connectivity;
  SimBrowsers browsers;

 private:
  Host m_host;
};

}  // namespace tp::host::sim
