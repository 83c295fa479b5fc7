// The service's own routes: the senders list, the sender icons and the statistics sink.
#pragma once

#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "standin/http_request.h"
#include "standin/response.h"

namespace tp::standin {

// An envelope with an empty branding list, served until a test or the command sets another.
extern const char kDefaultSendersList[];

// Thread-safe: the content may change while requests are served.
class ServiceRoutes {
 public:
  void SetSendersList(std::string envelope);
  void SetIconFolder(std::filesystem::path folder);
  void SetIcon(std::string name, std::string bytes);

  // The answer to `request` served at `path` (the request's path without a fault prefix).
  Response Answer(const Request& request, std::string_view path) const;

 private:
  Response Icon(std::string_view name) const;

  mutable std::mutex m_mutex;
  std::string m_senders = kDefaultSendersList;
  std::filesystem::path m_iconFolder;
  std::map<std::string, std::string, std::less<>> m_icons;
};

}  // namespace tp::standin
