// The stand-in of our service on 127.0.0.1: the senders list, sender icons and statistics
// routes, every request recorded, and faults on request. Used by tests in-process and by the
// tidepost-standin command for other processes.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "standin/faults.h"
#include "standin/http_request.h"
#include "standin/service_routes.h"
#include "standin/unique_fd.h"

namespace tp::standin {

class StandinServer {
 public:
  // The slow faults' wait unless a rule names its own: beyond the client's 25-second time-outs.
  static constexpr std::chrono::milliseconds kDefaultSlowDelay{30000};

  StandinServer();
  ~StandinServer();  // stops
  StandinServer(const StandinServer&) = delete;
  StandinServer& operator=(const StandinServer&) = delete;

  // Content; each may change while the server runs.
  void SetSendersList(std::string envelope);         // UTF-8, served as text/xml; charset=utf-8
  void SetIconFolder(std::filesystem::path folder);  // NAME.ico files served as they are
  void AddIcon(const std::string& name);             // the built-in icon for NAME.ico
  void SetIcon(std::string name, std::string bytes);
  void SetSlowDelay(std::chrono::milliseconds delay);

  // Applies `fault` to requests whose path begins with `pathPrefix`, for the next `count`
  // such requests or for all (kAlways). Rules are tried in the order they were added.
  void AddFault(std::string pathPrefix, Fault fault, int count = kAlways);
  // As AddFault, waiting `delay` instead of the slow delay (for the slow faults).
  void AddSlowFault(std::string pathPrefix, Fault fault, std::chrono::milliseconds delay,
                    int count = kAlways);
  void ClearFaults();

  // Listens on 127.0.0.1:port (0 picks a free port). False, with the reason, when it cannot.
  bool Start(uint16_t port = 0, std::string* error = nullptr);
  uint16_t port() const { return m_port; }
  // Closes the listener and every connection, ending waits at once; joins all threads.
  void Stop();

  // The requests served so far (not the control requests), oldest first; the last 1000.
  std::vector<Request> Requests() const;
  void ClearRequests();
  // Called with each recorded request on the thread that serves it; set before Start.
  void SetRequestObserver(std::function<void(const Request&)> observer);

 private:
  struct Connection {
    std::thread thread;
    std::atomic<bool> done{false};
  };

  void AcceptLoop();
  void ReapFinished();
  void Serve(UniqueFd client);
  void Deliver(int fd, Response response, const FaultRule& rule);
  Response Control(const Request& request);
  void Record(const Request& request);

  ServiceRoutes m_routes;
  FaultTable m_faults;
  std::atomic<int> m_slowDelayMs{static_cast<int>(kDefaultSlowDelay.count())};
  std::function<void(const Request&)> m_observer;

  mutable std::mutex m_recordsMutex;
  std::deque<Request> m_records;

  UniqueFd m_listener;
  UniqueFd m_wakeRead;  // readable once Stop has begun
  UniqueFd m_wakeWrite;
  uint16_t m_port = 0;
  std::thread m_acceptThread;
  std::list<std::unique_ptr<Connection>> m_connections;  // the accept thread's, then Stop's
};

}  // namespace tp::standin
