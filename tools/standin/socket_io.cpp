// Socket waits on poll(2) with the wake pipe as a second descriptor.
#include "standin/socket_io.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>

namespace tp::standin {

Wait WaitReadable(int fd, int wakeFd, int timeoutMs) {
  pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
  for (;;) {
    const int ready = ::poll(fds, 2, timeoutMs);
    if (ready < 0 && errno == EINTR)
      continue;
    if (ready < 0 || (fds[1].revents & POLLIN) != 0)
      return Wait::kStopped;
    return ready == 0 ? Wait::kTimedOut : Wait::kReady;
  }
}

bool WriteAll(int fd, int wakeFd, std::string_view data, int timeoutMs) {
  while (!data.empty()) {
    const ssize_t sent = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
    if (sent > 0) {
      data.remove_prefix(static_cast<size_t>(sent));
      continue;
    }
    if (sent < 0 && errno == EINTR)
      continue;
    if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
      return false;
    pollfd fds[2] = {{fd, POLLOUT, 0}, {wakeFd, POLLIN, 0}};
    const int ready = ::poll(fds, 2, timeoutMs);
    if (ready < 0 && errno == EINTR)
      continue;
    if (ready <= 0 || (fds[1].revents & POLLIN) != 0)
      return false;
  }
  return true;
}

void DrainInput(int fd, int wakeFd, int timeoutMs) {
  constexpr size_t kMaxDrained = 1024 * 1024;
  char buffer[8192];
  size_t drained = 0;
  while (drained < kMaxDrained && WaitReadable(fd, wakeFd, timeoutMs) == Wait::kReady) {
    const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
    if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)) {
      return;
    }
    drained += got > 0 ? static_cast<size_t>(got) : 0;
  }
}

bool Pause(int wakeFd, int milliseconds) {
  using SteadyClock = std::chrono::steady_clock;
  const auto deadline = SteadyClock::now() + std::chrono::milliseconds(milliseconds);
  pollfd fds[1] = {{wakeFd, POLLIN, 0}};
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - SteadyClock::now());
    if (left.count() <= 0)
      return true;
    const int ready = ::poll(fds, 1, static_cast<int>(left.count()));
    if (ready > 0 || (ready < 0 && errno != EINTR))
      return false;
  }
}

void WaitForPeerOrWake(int fd, int wakeFd) {
  pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
  while (::poll(fds, 2, -1) < 0 && errno == EINTR) {
  }
}

}  // namespace tp::standin
