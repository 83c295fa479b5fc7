// tidepost run: the add-in's start, connection, events and quit on a simulated Outlook.
#include <cstdio>
#include <filesystem>

#include "addin/connect.h"
#include "commands.h"
#include "host/host.h"
#include "host/sim/sim_host.h"
#include "support/data_folder.h"
#include "support/log.h"
#include "support/text.h"

namespace tp::tool {

int RunCommand(const Arguments& /*arguments*/) {
  const std::filesystem::path root = std::filesystem::temp_directory_path() / "tidepost-run";
  std::filesystem::create_directories(root);
  host::sim::SimHost sim(root.wstring());
  host::ScopedHost installed(sim.host());
  sim.outlook.activeExplorer = std::make_shared<host::sim::SimExplorerState>();
  sim.outlook.activeExplorer->window = sim.ui.CreateWindow(L"Explorer");
  {
    CConnect connect;
    (void)connect.OnConnection(*sim.outlook.ConnectionArgumentFor());
    sim.ui.Advance(3000);
    sim.outlook.RaiseQuit();
  }
  const std::wstring log = GetDataFilePath(nullptr, kLogFileName);
  std::printf("log: %s\n", WideToUtf8(log).c_str());
  return 0;
}

}  // namespace tp::tool
