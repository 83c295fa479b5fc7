// The stand-in's fault modes and the table of faults that tests have asked for.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tp::standin {

enum class Fault {
  kNone,
  kNotFound,         // "404": 404 with an HTML error page
  kServerError,      // "500": 500 with an HTML error page
  kSlow,             // "slow": the whole answer waits for the slow delay
  kSlowBody,         // "slowbody": the head and half the body, then the wait, then the rest
  kReset,            // "reset": the request is read, then the connection is reset
  kEmptyReply,       // "empty": the request is read, then the connection is closed
  kGarbage,          // "garbage": a line that is not an HTTP answer
  kTruncatedBody,    // "truncated": the full Content-Length, half the body, then close
  kNoContentLength,  // "nolength": no Content-Length; the body ends when the connection does
  kUtf16Body,        // "utf16": the body as UTF-16LE, typed text/plain; charset=utf-16
  kHtmlPage,         // "html": 200 with an HTML page whatever was asked for
  kStall,            // "stall": the request is read, then nothing until the stand-in stops
};

// Every time a rule applies.
constexpr int kAlways = -1;

struct FaultRule {
  std::string pathPrefix;
  Fault fault = Fault::kNone;
  int remaining = kAlways;  // requests left; kAlways for no end
  int delayMs = -1;         // for the slow faults; -1 for the server's slow delay
};

// The fault's name in paths ("/fault/NAME/...") and control requests, and back.
std::string_view FaultName(Fault fault);
std::optional<Fault> FaultFromName(std::string_view name);

// Thread-safe; rules are tried in the order they were added.
class FaultTable {
 public:
  void Add(FaultRule rule);
  void Clear();
  // The first rule whose prefix begins `path` and that has requests left, counted down.
  std::optional<FaultRule> Take(std::string_view path);

 private:
  std::mutex m_mutex;
  std::vector<FaultRule> m_rules;
};

// A fault chosen by the request's own path: "/fault/NAME/REST" or, for the slow faults,
// "/fault/NAMEmilliseconds/REST". Gives the rule (prefix empty) and the path to serve (REST with
// its leading slash); nothing when the path does not begin with "/fault/". An unknown name
// gives a rule with Fault::kNone and an empty path.
struct PathFault {
  FaultRule rule;
  std::string path;
};
std::optional<PathFault> FaultFromPath(std::string_view path);

}  // namespace tp::standin
