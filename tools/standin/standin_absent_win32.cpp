// The Windows tool's stand-in of our service: it carries none (the stand-in serves on posix
// sockets), so the server never starts and says why; `tidepost run` then stops and asks for
// the address of a service (--service), such as a tidepost-standin running elsewhere. Only
// what the tool calls is here.
#include "standin/standin_server.h"

namespace tp::standin {

StandinServer::StandinServer() = default;

StandinServer::~StandinServer() = default;

// What a server that never starts would serve is dropped.
void StandinServer::SetSendersList(std::string) {}
void StandinServer::AddIcon(const std::string&) {}
void StandinServer::AddFault(std::string, Fault, int) {}

bool StandinServer::Start(uint16_t, std::string* error) {
  if (error != nullptr) {
    *error =
        "the Windows tool has no stand-in of the service; start tidepost-standin where it "
        "runs and give its address with --service http://HOST:PORT/";
  }
  return false;
}

void StandinServer::Stop() {}

std::vector<Request> StandinServer::Requests() const {
  return {};
}

}  // namespace tp::standin
