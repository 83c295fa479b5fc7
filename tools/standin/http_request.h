// One HTTP/1.x request as the stand-in reads it: bounded in size, parsed strictly enough that
// malformed input gets an error answer instead of a guess.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tp::standin {

struct Request {
  std::string method;
  std::string target;  // as sent: path and query
  std::string path;    // the target up to "?"
  std::string query;   // after "?", without it; empty when there is none
  std::vector<std::pair<std::string, std::string>> headers;  // in order, values trimmed
  std::string body;

  // The first header of that name (ASCII letters compared without case), or empty.
  std::string Header(std::string_view name) const;
  bool HasHeader(std::string_view name) const;
};

constexpr size_t kMaxHeadBytes = 16 * 1024;
constexpr size_t kMaxBodyBytes = 1024 * 1024;

enum class ReadResult {
  kOk,
  kClosed,          // the peer closed before a whole request arrived
  kStopped,         // the server is stopping
  kTimedOut,        // the peer went quiet
  kMalformed,       // 400
  kHeadTooLarge,    // 431
  kBodyTooLarge,    // 413
  kNotImplemented,  // 501: a transfer coding the stand-in does not read
};

// Parses a request line and header lines (the head, without its final empty line). On kOk
// also gives the body length the head announces.
ReadResult ParseHead(std::string_view head, Request* request, size_t* bodyLength);

// The value of the first `name=value` pair of a query string, percent-decoded ("+" is a space).
std::optional<std::string> QueryParameter(std::string_view query, std::string_view name);

// Reads one request from a non-blocking socket; the wake pipe interrupts the waits.
ReadResult ReadRequest(int fd, int wakeFd, int idleTimeoutMs, Request* request);

}  // namespace tp::standin
