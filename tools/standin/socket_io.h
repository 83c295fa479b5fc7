// Blocking-style reads, writes and pauses on non-blocking sockets, each cut short when the
// server's wake pipe becomes readable (the server is stopping).
#pragma once

#include <cstddef>
#include <string_view>

namespace tp::standin {

enum class Wait { kReady, kStopped, kTimedOut };

// Waits until `fd` has data (or its peer closed it).
Wait WaitReadable(int fd, int wakeFd, int timeoutMs);
// Sends all of `data`; false when the peer went away, the server stops or the peer stops
// reading for `timeoutMs`.
bool WriteAll(int fd, int wakeFd, std::string_view data, int timeoutMs);
// Reads and drops what the peer still sends, for up to `timeoutMs` or until it closes, so that
// closing after an early answer does not reset the connection before the peer has read it.
void DrainInput(int fd, int wakeFd, int timeoutMs);
// Sleeps for `milliseconds`; false when the server stops first.
bool Pause(int wakeFd, int milliseconds);
// Waits, sending nothing, until the peer sends more or closes, or the server stops.
void WaitForPeerOrWake(int fd, int wakeFd);

}  // namespace tp::standin
