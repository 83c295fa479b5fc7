// Listening, one thread per connection, fault delivery and the control routes.
#include "standin/standin_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include "base/text.h"
#include "standin/builtin_icon.h"
#include "standin/request_log.h"
#include "standin/socket_io.h"

namespace tp::standin {
namespace {

constexpr size_t kMaxConnections = 64;
constexpr int kIdleTimeoutMs = 10000;  // a client that goes quiet loses its connection
constexpr std::string_view kControlPrefix = "/control/";

std::string SystemError(const char* call) {
  return std::string(call) + ": " + std::strerror(errno);
}

constexpr int kDrainTimeoutMs = 1000;
constexpr size_t kMaxRecords = 1000;  // the oldest records go first beyond this

// A count or delay of a control request: `absent` when not given, nothing when not a number.
std::optional<int> ParseCount(const std::optional<std::string>& text, int absent) {
  if (!text)
    return absent;
  if (text->empty() || text->size() > 9 ||
      text->find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  return std::stoi(*text);
}

}  // namespace

StandinServer::StandinServer() = default;

StandinServer::~StandinServer() {
  Stop();
}

void StandinServer::SetSendersList(std::string envelope) {
  m_routes.SetSendersList(std::move(envelope));
}

void StandinServer::SetIconFolder(std::filesystem::path folder) {
  m_routes.SetIconFolder(std::move(folder));
}

void StandinServer::AddIcon(const std::string& name) {
  m_routes.SetIcon(name, BuiltinIcon(name));
}

void StandinServer::SetIcon(std::string name, std::string bytes) {
  m_routes.SetIcon(std::move(name), std::move(bytes));
}

void StandinServer::SetSlowDelay(std::chrono::milliseconds delay) {
  m_slowDelayMs = static_cast<int>(delay.count());
}

void StandinServer::AddFault(std::string pathPrefix, Fault fault, int count) {
  m_faults.Add(FaultRule{std::move(pathPrefix), fault, count, -1});
}

void StandinServer::AddSlowFault(std::string pathPrefix, Fault fault,
                                 std::chrono::milliseconds delay, int count) {
  m_faults.Add(FaultRule{std::move(pathPrefix), fault, count, static_cast<int>(delay.count())});
}

void StandinServer::ClearFaults() {
  m_faults.Clear();
}

bool StandinServer::Start(uint16_t port, std::string* error) {
  std::string ignored;
  std::string& reason = error != nullptr ? *error : ignored;
  if (m_acceptThread.joinable()) {
    reason = "already running";
    return false;
  }
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
    reason = SystemError("pipe2");
    return false;
  }
  m_wakeRead.reset(pipeFds[0]);
  m_wakeWrite.reset(pipeFds[1]);
  m_listener.reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!m_listener) {
    reason = SystemError("socket");
    return false;
  }
  const int on = 1;
  ::setsockopt(m_listener.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (::bind(m_listener.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    reason = SystemError("bind");
    return false;
  }
  if (::listen(m_listener.get(), 128) != 0 ||
      ::getsockname(m_listener.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    reason = SystemError("listen");
    return false;
  }
  m_port = ntohs(address.sin_port);
  m_acceptThread = std::thread(&StandinServer::AcceptLoop, this);
  return true;
}

void StandinServer::Stop() {
  if (!m_acceptThread.joinable())
    return;
  const char byte = 1;
  while (::write(m_wakeWrite.get(), &byte, 1) < 0 && errno == EINTR) {
  }
  m_acceptThread.join();
  for (const auto& connection : m_connections)
    connection->thread.join();
  m_connections.clear();
  m_listener.reset();
  m_wakeRead.reset();
  m_wakeWrite.reset();
}

void StandinServer::AcceptLoop() {
  for (;;) {
    pollfd fds[2] = {{m_listener.get(), POLLIN, 0}, {m_wakeRead.get(), POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR)
        continue;
      return;
    }
    if ((fds[1].revents & POLLIN) != 0)
      return;
    UniqueFd client(::accept4(m_listener.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
    if (!client) {
      // Out of descriptors or memory: give the connections a moment to end.
      if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
        if (!Pause(m_wakeRead.get(), 50))
          return;
      }
      continue;
    }
    ReapFinished();
    if (m_connections.size() >= kMaxConnections)
      continue;  // closes the newcomer
    auto connection = std::make_unique<Connection>();
    Connection* serving = connection.get();
    try {
      serving->thread = std::thread([this, serving, fd = std::move(client)]() mutable {
        Serve(std::move(fd));
        serving->done = true;
      });
    } catch (const std::system_error&) {
      continue;  // no thread for it: the connection is closed unanswered
    }
    m_connections.push_back(std::move(connection));
  }
}

void StandinServer::ReapFinished() {
  for (auto it = m_connections.begin(); it != m_connections.end();) {
    if ((*it)->done) {
      (*it)->thread.join();
      it = m_connections.erase(it);
    } else {
      ++it;
    }
  }
}

void StandinServer::Serve(UniqueFd client) {
  const int fd = client.get();
  Request request;
  int refusal = 0;
  switch (ReadRequest(fd, m_wakeRead.get(), kIdleTimeoutMs, &request)) {
    case ReadResult::kOk:
      break;
    case ReadResult::kMalformed:
      refusal = 400;
      break;
    case ReadResult::kHeadTooLarge:
      refusal = 431;
      break;
    case ReadResult::kBodyTooLarge:
      refusal = 413;
      break;
    case ReadResult::kNotImplemented:
      refusal = 501;
      break;
    case ReadResult::kClosed:
    case ReadResult::kStopped:
    case ReadResult::kTimedOut:
      return;
  }
  if (refusal != 0) {
    // The rest of the request is still on its way: let it arrive before closing.
    Deliver(fd, ErrorPage(refusal), FaultRule{});
    return DrainInput(fd, m_wakeRead.get(), kDrainTimeoutMs);
  }
  FaultRule rule;
  std::string path = request.path;
  if (std::optional<PathFault> chosen = FaultFromPath(request.path)) {
    if (chosen->rule.fault == Fault::kNone)
      return Deliver(fd, ErrorPage(400), FaultRule{});
    rule = chosen->rule;
    path = chosen->path;
  } else if (path.starts_with(kControlPrefix)) {
    return Deliver(fd, Control(request), FaultRule{});
  } else if (std::optional<FaultRule> listed = m_faults.Take(path)) {
    rule = *listed;
  }
  Record(request);
  Deliver(fd, m_routes.Answer(request, path), rule);
}

void StandinServer::Deliver(int fd, Response response, const FaultRule& rule) {
  const int wake = m_wakeRead.get();
  const int delayMs = rule.delayMs >= 0 ? rule.delayMs : m_slowDelayMs.load();
  const auto write = [fd, wake](std::string_view data) {
    return WriteAll(fd, wake, data, kIdleTimeoutMs);
  };
  bool withLength = true;
  size_t firstPart = response.body.size();  // the body bytes sent before any break
  switch (rule.fault) {
    case Fault::kNone:
      break;
    case Fault::kNotFound:
      response = ErrorPage(404);
      break;
    case Fault::kServerError:
      response = ErrorPage(500);
      break;
    case Fault::kHtmlPage:
      response = Response{200, "text/html",
                          "<html><head><title>Welcome</title></head><body><p>Not an icon."
                          "</p></body></html>\r\n"};
      break;
    case Fault::kUtf16Body:
      response.contentType = "text/plain; charset=utf-16";
      response.body = WideToUtf16Le(Utf8ToWide(response.body));
      firstPart = response.body.size();
      break;
    case Fault::kNoContentLength:
      withLength = false;
      break;
    case Fault::kSlow:
      if (!Pause(wake, delayMs))
        return;
      break;
    case Fault::kStall:
      WaitForPeerOrWake(fd, wake);
      return;
    case Fault::kSlowBody:
    case Fault::kTruncatedBody:
      firstPart = response.body.size() / 2;
      break;
    case Fault::kReset: {
      const linger abort{1, 0};  // closing now sends a reset
      ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
      return;
    }
    case Fault::kEmptyReply:
      return;
    case Fault::kGarbage:
      (void)write("This is not an HTTP answer.\r\n\r\n");
      return;
  }
  const std::string_view body = response.body;
  if (!write(ResponseHead(response, withLength)) || !write(body.substr(0, firstPart)))
    return;
  if (rule.fault == Fault::kTruncatedBody)
    return;
  if (rule.fault == Fault::kSlowBody && (!Pause(wake, delayMs) || !write(body.substr(firstPart)))) {
    return;
  }
  ::shutdown(fd, SHUT_WR);
}

// The control routes let a process without the C++ interface steer faults and read the
// records: fault?mode=NAME[&prefix=P][&count=N][&delay=MS], clear, requests.
Response StandinServer::Control(const Request& request) {
  const std::string_view action = std::string_view(request.path).substr(kControlPrefix.size());
  if (action == "fault") {
    const std::optional<std::string> mode = QueryParameter(request.query, "mode");
    const std::optional<Fault> fault = mode ? FaultFromName(*mode) : std::nullopt;
    const std::optional<int> count = ParseCount(QueryParameter(request.query, "count"), kAlways);
    const std::optional<int> delay = ParseCount(QueryParameter(request.query, "delay"), -1);
    if (!fault || !count || !delay)
      return ErrorPage(400);
    m_faults.Add(
        FaultRule{QueryParameter(request.query, "prefix").value_or("/"), *fault, *count, *delay});
    return Response{200, "text/plain", "OK\n"};
  }
  if (action == "clear") {
    ClearFaults();
    ClearRequests();
    return Response{200, "text/plain", "OK\n"};
  }
  if (action == "requests") {
    std::string lines;
    for (const Request& recorded : Requests())
      lines += RequestJson(recorded) + "\n";
    return Response{200, "text/plain; charset=utf-8", lines};
  }
  return ErrorPage(404);
}

void StandinServer::Record(const Request& request) {
  std::lock_guard<std::mutex> lock(m_recordsMutex);
  if (m_records.size() == kMaxRecords)
    m_records.pop_front();
  m_records.push_back(request);
  if (m_observer)
    m_observer(request);
}

std::vector<Request> StandinServer::Requests() const {
  std::lock_guard<std::mutex> lock(m_recordsMutex);
  return std::vector<Request>(m_records.begin(), m_records.end());
}

void StandinServer::ClearRequests() {
  std::lock_guard<std::mutex> lock(m_recordsMutex);
  m_records.clear();
}

void StandinServer::SetRequestObserver(std::function<void(const Request&)> observer) {
  m_observer = std::move(observer);
}

}  // namespace tp::standin
