// The add-in's quit on the simulated Outlook while one of its workers is stuck in a request
// that the stand-in of our service stalls: the real time quit keeps the user-interface thread
// (Outlook disables an add-in whose shutdown takes more than about half a second).
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "addin/connect.h"
#include "base/text.h"
#include "branding/branding_list.h"
#include "host/host.h"
#include "host/sim/sim_host.h"
#include "host/threads.h"
#include "net/brand_names.h"
#include "platform/configuration.h"
#include "standin/standin_server.h"

namespace {

struct Stall {
  const char* pathPrefix;
  bool sendersList;
  bool icons;
};
constexpr Stall kStalls[] = {
    {"/ams/GetSendersInfo", true, false},
    {"/ams/brandingicon/", false, true},
    {"/analytics/", false, false},
};

bool Held(const tp::standin::StandinServer& standin, const std::string& prefix) {
  for (const tp::standin::Request& request : standin.Requests()) {
    if (request.path.rfind(prefix, 0) == 0)
      return true;
  }
  return false;
}

// Quits once per iteration with the worker of state.range(0) stuck: 0 the senders list, 1 the
// icons, 2 the statistics.
void BM_QuitWithAWorkerStuckInARequest(benchmark::State& state) {
  const Stall& stall = kStalls[state.range(0)];
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("tidepost-quit-bench-" + std::to_string(stamp));
  std::filesystem::create_directories(root);
  {
    tp::host::sim::SimHost sim(tp::Utf8ToWide(root.string()));
    const tp::host::ScopedHost installed(sim.host());
    sim.outlook.AddFolder(L"Inbox");
    constexpr uint32_t kHour = 3600 * 1000;
    for (auto _ : state) {
      tp::PublishBrandNameList({L"Acme"});  // the icon worker's names; quit clears them
      tp::standin::StandinServer standin;
      standin.AddFault(stall.pathPrefix, tp::standin::Fault::kStall);
      if (!standin.Start()) {
        state.SkipWithError("the stand-in did not start");
        break;
      }
      tp::config::ServiceEndpoints services;
      services.apiHost = services.statsHost = L"127.0.0.1";
      services.apiPort = services.statsPort = standin.port();
      tp::config::SetServices(services);
      tp::AddinOptions options;
      options.sendersList.firstDelayMs = stall.sendersList ? 0 : kHour;
      options.senderIcons.firstDelayMs = stall.icons ? 0 : kHour;
      options.statistics.idlePollMs = 10;
      tp::CConnect addin(std::move(options));
      (void)addin.OnConnection(*sim.outlook.ConnectionArgumentFor());
      const auto asked = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      while (!Held(standin, stall.pathPrefix) && std::chrono::steady_clock::now() < asked)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      if (!Held(standin, stall.pathPrefix)) {
        state.SkipWithError("the worker never asked the stand-in");
        addin.OnQuit();
        break;
      }
      const auto start = std::chrono::steady_clock::now();
      addin.OnQuit();
      state.SetIterationTime(
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
      standin.Stop();  // the worker let go of at quit now ends
      (void)tp::host::WaitForWorkers(tp::host::kInfinite);
    }
  }
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
}
BENCHMARK(BM_QuitWithAWorkerStuckInARequest)
    ->DenseRange(0, 2)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

}  // namespace
