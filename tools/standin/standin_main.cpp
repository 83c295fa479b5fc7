// tidepost-standin: the stand-in of our service as a process, for tests that run the add-in
// elsewhere (under Wine) and for trying the tool against it.
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "standin/request_log.h"
#include "standin/standin_server.h"

namespace {

constexpr const char kUsage[] =
    "usage: tidepost-standin [OPTIONS]\n"
    "\n"
    "Serves the senders list, sender icons and statistics routes on 127.0.0.1 until it is\n"
    "sent SIGINT or SIGTERM (or, with --stdin, until its standard input closes). Prints the\n"
    "port on the first line of standard output.\n"
    "\n"
    "  --port N         listen on port N (default: a free port)\n"
    "  --port-file F    also write the port to file F once listening\n"
    "  --senders F      serve file F as the senders list\n"
    "  --icons DIR      serve DIR/NAME.ico as the icon of NAME\n"
    "  --icon NAME      serve a built-in icon for NAME (repeatable)\n"
    "  --slow-ms MS     how long the slow faults wait (default 30000)\n"
    "  --record F       append each request to F as a JSON line\n"
    "  --stdin          also stop when standard input closes\n"
    "\n"
    "Faults: a request to /fault/MODE/PATH is served as PATH with fault MODE, one of\n"
    "404 500 slow slowbody reset empty garbage truncated nolength utf16 html stall (slow and\n"
    "slowbody take an optional delay: /fault/slow1500/...). GET /control/fault?mode=MODE\n"
    "[&prefix=P][&count=N][&delay=MS] adds a fault for paths under P; /control/clear drops\n"
    "faults and records; /control/requests lists the records as JSON lines.\n";

struct Options {
  int port = 0;
  std::string portFile;
  std::string senders;
  std::string icons;
  std::vector<std::string> iconNames;
  int slowMs = -1;
  std::string record;
  bool watchStdin = false;
};

bool ParseNumber(const char* text, int max, int* value) {
  char* end = nullptr;
  errno = 0;
  const long parsed = std::strtol(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || parsed < 0 || parsed > max)
    return false;
  *value = static_cast<int>(parsed);
  return true;
}

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--stdin") {
      options->watchStdin = true;
      continue;
    }
    if (i + 1 >= argc)
      return false;
    const char* value = argv[++i];
    if (option == "--port") {
      if (!ParseNumber(value, 65535, &options->port))
        return false;
    } else if (option == "--slow-ms") {
      if (!ParseNumber(value, 24 * 3600 * 1000, &options->slowMs))
        return false;
    } else if (option == "--port-file") {
      options->portFile = value;
    } else if (option == "--senders") {
      options->senders = value;
    } else if (option == "--icons") {
      options->icons = value;
    } else if (option == "--icon") {
      options->iconNames.emplace_back(value);
    } else if (option == "--record") {
      options->record = value;
    } else {
      return false;
    }
  }
  return true;
}

// Written under another name first, so that a reader never sees a half-written port.
bool WritePortFile(const std::string& path, uint16_t port) {
  const std::string partial = path + ".partial";
  {
    std::ofstream file(partial, std::ios::trunc);
    file << port << '\n';
    if (!file.flush())
      return false;
  }
  std::error_code error;
  std::filesystem::rename(partial, path, error);
  return !error;
}

// Waits for SIGINT or SIGTERM, or for the end of standard input when asked to.
void WaitForEnd(int signalFd, bool watchStdin) {
  pollfd fds[2] = {{signalFd, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
  char buffer[256];
  for (;;) {
    if (::poll(fds, watchStdin ? 2 : 1, -1) < 0) {
      if (errno == EINTR)
        continue;
      return;
    }
    if ((fds[0].revents & POLLIN) != 0)
      return;
    if ((fds[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
      const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
      if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN))
        return;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fputs(kUsage, stderr);
    return 64;
  }

  // Signals are taken from a descriptor; every thread started later inherits the mask.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  const int signalFd = ::signalfd(-1, &signals, SFD_CLOEXEC);
  if (signalFd < 0) {
    std::fprintf(stderr, "tidepost-standin: signalfd: %s\n", std::strerror(errno));
    return 1;
  }

  tp::standin::StandinServer server;
  if (!options.senders.empty()) {
    std::ifstream file(options.senders, std::ios::binary);
    if (!file) {
      std::fprintf(stderr, "tidepost-standin: cannot read %s\n", options.senders.c_str());
      return 1;
    }
    server.SetSendersList(
        std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()));
  }
  if (!options.icons.empty())
    server.SetIconFolder(options.icons);
  for (const std::string& name : options.iconNames)
    server.AddIcon(name);
  if (options.slowMs >= 0)
    server.SetSlowDelay(std::chrono::milliseconds(options.slowMs));

  std::mutex recordMutex;
  std::ofstream recordFile;
  if (!options.record.empty()) {
    recordFile.open(options.record, std::ios::app);
    if (!recordFile) {
      std::fprintf(stderr, "tidepost-standin: cannot write %s\n", options.record.c_str());
      return 1;
    }
    server.SetRequestObserver([&recordMutex, &recordFile](const tp::standin::Request& request) {
      std::lock_guard<std::mutex> lock(recordMutex);
      recordFile << tp::standin::RequestJson(request) << '\n' << std::flush;
    });
  }

  std::string error;
  if (!server.Start(static_cast<uint16_t>(options.port), &error)) {
    std::fprintf(stderr, "tidepost-standin: cannot listen on port %d: %s\n", options.port,
                 error.c_str());
    return 1;
  }
  std::printf("%u\n", static_cast<unsigned>(server.port()));
  std::fflush(stdout);
  if (!options.portFile.empty() && !WritePortFile(options.portFile, server.port())) {
    std::fprintf(stderr, "tidepost-standin: cannot write %s\n", options.portFile.c_str());
    return 1;
  }
  WaitForEnd(signalFd, options.watchStdin);
  server.Stop();
  ::close(signalFd);
  return 0;
}
