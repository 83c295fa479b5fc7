// tidepost run: the whole add-in on a simulated Outlook fed by a mailbox of .eml files,
// against the stand-in of our service (or a service of the caller's), with a summary of what
// it decided, downloaded and reported.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iterator>
#include <map>
#include <thread>

#include "addin/connect.h"
#include "arguments.h"
#include "base/text.h"
#include "commands.h"
#include "display_session.h"
#include "formats/json_parser.h"
#include "host/host.h"
#include "host/threads.h"
#include "net/senders_envelope.h"
#include "platform/configuration.h"
#include "run_folder.h"
#include "simulation.h"
#include "smime_tool.h"
#include "standin/standin_server.h"
#include "worker_stall.h"

namespace tp::tool {
namespace {

using Clock = std::chrono::steady_clock;

// Waits in real time (the workers run in real time) for a condition, up to a limit.
template <class Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  while (!condition()) {
    if (Clock::now() >= deadline)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// The brand names a senders list carries, for the stand-in's icons.
std::vector<std::wstring> BrandNames(const std::string& senderslist) {
  std::vector<std::wstring> names;
  SendersEnvelope envelope = ReadSendersListXml(DecodeSendersListFile(senderslist));
  std::wstring json = envelope.brandingJson;
  std::replace(json.begin(), json.end(), L'\'', L'"');
  std::unique_ptr<JsonValue> root = ParseJson(json);
  if (!root || root->IsError() || root->type() != JsonType::Object)
    return names;
  auto branding = root->AsObject().find(L"branding");
  if (branding == root->AsObject().end())
    return names;
  for (const auto& entry : branding->second->AsArray()) {
    auto name = entry->AsObject().find(L"name");
    if (name != entry->AsObject().end())
      names.push_back(name->second->AsString());
  }
  return names;
}

// Parses "http://host:port/" or "host:port".
bool ParseService(const std::string& text, config::ServiceEndpoints* services) {
  std::string rest = text.rfind("http://", 0) == 0 ? text.substr(7) : text;
  if (!rest.empty() && rest.back() == '/')
    rest.pop_back();
  const size_t colon = rest.rfind(':');
  if (rest.empty() || colon == 0 || rest.find('/') != std::string::npos)
    return false;
  int port = 80;
  if (colon != std::string::npos) {
    port = std::atoi(rest.substr(colon + 1).c_str());
    rest.resize(colon);
  }
  if (port <= 0 || port > 65535)
    return false;
  services->apiHost = services->statsHost = Utf8ToWide(rest);
  services->apiPort = services->statsPort = static_cast<uint16_t>(port);
  return true;
}

std::wstring MessageClass(const host::sim::SimMail& mail) {
  const auto found = mail.props.find(host::kPrMessageClassW);
  return found == mail.props.end() ? std::wstring() : found->second.text;
}

bool IsBranded(const host::sim::SimMail& mail) {
  return Contains(MessageClass(mail), L".Tidepost.");
}

void PrintCounts(const char* title, const std::map<std::string, int>& counts) {
  int total = 0;
  std::string detail;
  for (const auto& [name, count] : counts) {
    total += count;
    detail += (detail.empty() ? "" : ", ") + std::to_string(count) + " " + name;
  }
  std::printf("  %s: %d%s%s%s\n", title, total, detail.empty() ? "" : " (", detail.c_str(),
              detail.empty() ? "" : ")");
}

// The run's data root: the folder the caller names (kept), or a temporary one. 0, or the
// exit code when it cannot be made.
int MakeDataRoot(const Options& options, std::unique_ptr<RunFolder>* temporary,
                 std::filesystem::path* dataRoot) {
  if (const auto data = options.Value("--data")) {
    *dataRoot = *data;
    std::error_code failure;
    std::filesystem::create_directories(*dataRoot, failure);
    if (failure) {
      std::fprintf(stderr, "tidepost: cannot make the data folder %s: %s\n", data->c_str(),
                   failure.message().c_str());
      return 73;
    }
    return 0;
  }
  std::string problem;
  *temporary = RunFolder::Create("run", &problem);
  if (!*temporary) {
    std::fprintf(stderr, "tidepost: %s\n", problem.c_str());
    return 73;
  }
  *dataRoot = (*temporary)->path();
  return 0;
}

// The service the add-in talks to.
struct Service {
  standin::StandinServer standin;  // serves the senders list and an icon per brand
  config::ServiceEndpoints endpoints;
  std::vector<std::wstring> brands;  // the brands the stand-in serves icons for
  std::vector<StalledWorker> stalled;
};

// The stand-in serving the senders list, or the caller's service (--service). 0, or the exit
// code when it cannot be had.
int StartService(const Options& options, Simulation& run, Service* service) {
  if (const auto url = options.Value("--service")) {
    if (!ParseService(*url, &service->endpoints)) {
      std::fprintf(stderr, "tidepost: --service takes http://HOST:PORT/\n");
      return 64;
    }
    return 0;
  }
  const std::filesystem::path sendersFile =
      options.Value("--senders").value_or("examples/sendersList.xml");
  std::string senders;
  if (!ReadFile(sendersFile, &senders)) {
    std::fprintf(stderr, "tidepost: cannot read %s\n", sendersFile.string().c_str());
    return 66;
  }
  service->brands = BrandNames(senders);
  service->standin.SetSendersList(senders);
  StallAt(service->standin, service->stalled);
  if (IsStalled(service->stalled, "list")) {
    // The list of an earlier run, as a returning user has it, since no download arrives.
    run.MakeDataFolder();
    if (!WriteFile(run.DataFolder() / "sendersList.xml", senders)) {
      std::fprintf(stderr, "tidepost: cannot write the senders list into the data folder\n");
      return 73;
    }
  }
  for (const std::wstring& brand : service->brands)
    service->standin.AddIcon(WideToUtf8(brand));
  std::string problem;
  if (!service->standin.Start(0, &problem)) {
    std::fprintf(stderr, "tidepost: cannot start the service stand-in: %s\n", problem.c_str());
    return 69;
  }
  service->endpoints.apiHost = service->endpoints.statsHost = L"127.0.0.1";
  service->endpoints.apiPort = service->endpoints.statsPort = service->standin.port();
  return 0;
}

// What a run of the add-in did.
struct RunResults {
  std::map<std::wstring, std::wstring> decisions;  // entry id to the reason it is not branded
  std::vector<std::string> display;
  int pagesSaved = 0;
  std::chrono::milliseconds quitMs{0};
};

// Each message selected in turn, folder by folder; its check takes the decision. A check that
// stops before it (an empty body) leaves the decision of the new-mail scan standing: it is
// taken again here to learn its reason. Then what the mailbox's session has the user do.
void ViewTheMail(const Options& options, Simulation& run,
                 const std::vector<Simulation::Message>& messages, CConnect& addin,
                 RunResults* results) {
  DisplaySession session(run, options.Value("--pages")
                                  ? std::optional<std::filesystem::path>(*options.Value("--pages"))
                                  : std::nullopt);
  for (const auto& message : messages) {
    session.Select(message);
    if (!addin.last_decision() && !IsBranded(*message.mail))
      (void)addin.BrandMailItem(*run.sim().outlook.MailItemFor(message.mail), false);
    if (addin.last_decision())
      results->decisions[message.mail->entryId] = DecisionReason(*addin.last_decision(), true);
  }
  for (const host::sim::SessionStep& step : run.session()) {
    std::wstring problem;
    if (!session.Run(step, &problem))
      std::fprintf(stderr, "tidepost: session step skipped: %s\n", WideToUtf8(problem).c_str());
  }
  results->display = session.lines();
  results->pagesSaved = session.pages_saved();
}

// Until the workers have done what they can: a stalled worker is inside its request when the
// stand-in holds one of its requests; the others have fetched every icon and posted every
// statistics event.
void WaitForTheWorkers(Simulation& run, Service& service, CConnect& addin) {
  const std::vector<StalledWorker>& stalled = service.stalled;
  WaitFor([&service] { return AllHeld(service.standin, service.stalled); },
          std::chrono::seconds(30));
  WaitFor(
      [&run, &service] {
        if (IsStalled(service.stalled, "icons"))
          return true;
        for (const std::wstring& brand : service.brands) {
          if (!std::filesystem::exists(run.DataFolder() / "provider_icons" /
                                       (WideToUtf8(brand) + ".ico"))) {
            return false;
          }
        }
        return true;
      },
      std::chrono::seconds(30));
  WaitFor(
      [&addin, &stalled] {
        return IsStalled(stalled, "statistics") || !addin.statistics() ||
               addin.statistics()->queued() == 0;
      },
      std::chrono::seconds(30));
}

// The add-in from its connection to Outlook's quit: the senders list, the new mail, each
// message viewed, the session, the workers, then the quit, timed.
RunResults RunTheAddin(const Options& options, Simulation& run,
                       const std::vector<Simulation::Message>& messages, Service& service) {
  host::sim::SimHost& sim = run.sim();
  RunResults results;
  AddinOptions addinOptions;
  addinOptions.senderIcons.firstDelayMs = 0;
  addinOptions.senderIcons.namesRetryMs = 100;
  addinOptions.statistics.idlePollMs = 50;
  CConnect addin(std::move(addinOptions));
  if (hr::Failed(addin.OnConnection(*sim.outlook.ConnectionArgumentFor()))) {
    std::fprintf(stderr, "tidepost: the add-in did not connect; see the log\n");
  }
  // The senders list arrives in real time; the add-in looks for it once a simulated second.
  WaitFor(
      [] { return g_sendersListDownloader && !g_sendersListDownloader->BrandingJson().empty(); },
      std::chrono::seconds(30));
  sim.ui.Advance(1000);

  // New mail, handed to the branding decision by the scan timer.
  std::wstring ids;
  for (const auto& message : messages)
    ids += message.mail->entryId + L",";
  sim.outlook.RaiseNewMailEx(ids);
  sim.ui.Advance(5000);

  ViewTheMail(options, run, messages, addin, &results);
  WaitForTheWorkers(run, service, addin);
  // The user-interface thread's time from Outlook's quit event until the add-in's handlers
  // return: real time, plus the time the simulated clock moved meanwhile (what the thread was
  // blocked for, which the simulation does not wait out).
  const auto quitStart = Clock::now();
  const uint64_t quitStartTick = sim.clock.ElapsedMs();
  sim.outlook.RaiseQuit();
  results.quitMs = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - quitStart) +
                   std::chrono::milliseconds(sim.clock.ElapsedMs() - quitStartTick);
  return results;
}

void PrintResults(const Options& options, const std::vector<Simulation::Message>& messages,
                  const RunResults& results,
                  const std::vector<host::sim::UnreadableFile>& unreadable) {
  std::printf("\nBranding decisions:\n");
  for (const auto& message : messages) {
    const auto reason = results.decisions.find(message.mail->entryId);
    const std::string decision =
        IsBranded(*message.mail)
            ? "branded as " + WideToUtf8(MessageClass(*message.mail))
            : "not branded: " +
                  (reason == results.decisions.end() ? "-" : WideToUtf8(reason->second));
    const std::wstring& sender = message.mail->senderEmailAddress;
    std::printf("  %-40s %-34s %s\n", WideToUtf8(message.name).c_str(),
                sender.empty() ? "-" : WideToUtf8(sender).c_str(), decision.c_str());
  }
  std::printf("\nquit: %lld ms\n", static_cast<long long>(results.quitMs.count()));
  if (!unreadable.empty()) {
    std::printf("\nUnreadable files, left out:\n");
    for (const host::sim::UnreadableFile& file : unreadable) {
      std::printf("  %s: %s\n", WideToUtf8(file.path).c_str(), WideToUtf8(file.reason).c_str());
    }
  }
  std::printf("\nDisplay (what each step showed):\n");
  for (const std::string& line : results.display)
    std::printf("%s\n", line.c_str());
  if (const auto pages = options.Value("--pages"))
    std::printf("  %d pages handed to the helper objects saved in %s\n", results.pagesSaved,
                pages->c_str());
}

// What the stand-in was asked for: senders lists, icons, statistics events.
void PrintServiceRequests(const standin::StandinServer& standin) {
  std::map<std::string, int> senders, icons, statistics;
  for (const standin::Request& request : standin.Requests()) {
    if (request.path.rfind("/ams/GetSendersInfo", 0) == 0) {
      ++senders[std::string("HTTP GET")];
    } else if (request.path.rfind("/ams/brandingicon/", 0) == 0) {
      ++icons[request.path.substr(18)];
    } else if (request.path == "/analytics/analyticstp2") {
      const size_t name = request.body.find("e_name=");
      const std::string event =
          name == std::string::npos
              ? "?"
              : request.body.substr(name + 7, request.body.find('&', name) - name - 7);
      ++statistics[event];
    }
  }
  std::printf("\nService stand-in:\n");
  PrintCounts("senders list requests", senders);
  PrintCounts("icon requests", icons);
  PrintCounts("statistics posted", statistics);
}

}  // namespace

int RunCommand(const Arguments& arguments) {
  Options options;
  if (!options.Parse(
          arguments,
          {"--mailbox", "--senders", "--service", "--data", "--pages", "--trust", "--stall"},
          {"--print-log", "--offline"})) {
    return 64;
  }
  Service service;
  if (!ParseStalledWorkers(options.Values("--stall"), &service.stalled))
    return 64;
  if (!service.stalled.empty() && options.Value("--service")) {
    std::fprintf(stderr, "tidepost: --stall needs the stand-in; it cannot go with --service\n");
    return 64;
  }
  std::unique_ptr<host::MessageCrypto> crypto;
  if (!MakeTrustingCrypto(options, &crypto))
    return 66;
  const std::filesystem::path mailbox = options.Value("--mailbox").value_or("examples/mailbox");
  std::unique_ptr<RunFolder> temporary;
  std::filesystem::path dataRoot;
  if (const int failed = MakeDataRoot(options, &temporary, &dataRoot))
    return failed;
  Simulation run(dataRoot, crypto.get());
  std::vector<host::sim::UnreadableFile> unreadable;
  std::wstring error;
  if (!run.LoadMailbox(mailbox, &unreadable, &error)) {
    std::fprintf(stderr, "tidepost: %s\n", WideToUtf8(error).c_str());
    return 66;
  }
  // A message that cannot be read is reported; the others are run.
  for (const host::sim::UnreadableFile& file : unreadable) {
    std::fprintf(stderr, "tidepost: %s: %s\n", WideToUtf8(file.path).c_str(),
                 WideToUtf8(file.reason).c_str());
  }
  if (const int failed = StartService(options, run, &service))
    return failed;
  config::SetServices(service.endpoints);

  const std::vector<Simulation::Message> messages = run.ReceivedMessages();
  std::printf("Tidepost on %s: %zu received messages, service at %s:%u\n", mailbox.string().c_str(),
              messages.size(), WideToUtf8(service.endpoints.apiHost).c_str(),
              service.endpoints.apiPort);
  run.sim().connectivity.online = !options.Flag("--offline");
  const RunResults results = RunTheAddin(options, run, messages, service);
  // Stopping the stand-in ends the requests it held; the workers let go of at quit then end,
  // within their requests' time-outs with a service of the caller's, and only then may the
  // simulated host they use go.
  service.standin.Stop();
  (void)host::WaitForWorkers(host::kInfinite);

  PrintResults(options, messages, results, unreadable);
  if (!options.Value("--service"))
    PrintServiceRequests(service.standin);
  if (temporary) {
    std::printf("\nThe log and icons go with the run's temporary folder; --data DIR keeps them.\n");
  } else {
    std::printf("\nIcons in %s\nLog: %s\n", (run.DataFolder() / "provider_icons").string().c_str(),
                run.LogPath().string().c_str());
  }
  if (options.Flag("--print-log")) {
    std::string log;
    if (ReadFile(run.LogPath(), &log) && log.size() >= 2) {
      std::printf("\n%s", WideToUtf8(Utf16LeToWide(log.substr(2))).c_str());
    }
  }
  return unreadable.empty() ? 0 : 65;
}

}  // namespace tp::tool
