// GET ams/GetSendersInfo, GET ams/brandingicon/NAME.ico, POST analytics/analyticstp2.
#include "standin/service_routes.h"

#include <fstream>
#include <iterator>

#include "base/text.h"

namespace tp::standin {
namespace {

constexpr std::string_view kSendersPath = "/ams/GetSendersInfo";
constexpr std::string_view kIconPrefix = "/ams/brandingicon/";
constexpr std::string_view kIconSuffix = ".ico";
constexpr std::string_view kStatisticsPath = "/analytics/analyticstp2";

// A name that stays inside the icon folder.
bool IsPlainName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of("/\\") == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

}  // namespace

const char kDefaultSendersList[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    "<content><data><senders></senders><branding><![CDATA[{\"branding\":[]}]]></branding>"
    "</data></content>\r\n";

void ServiceRoutes::SetSendersList(std::string envelope) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_senders = std::move(envelope);
}

void ServiceRoutes::SetIconFolder(std::filesystem::path folder) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_iconFolder = std::move(folder);
}

void ServiceRoutes::SetIcon(std::string name, std::string bytes) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_icons[std::move(name)] = std::move(bytes);
}

Response ServiceRoutes::Answer(const Request& request, std::string_view path) const {
  if (path == kSendersPath) {
    if (request.method != "GET")
      return ErrorPage(405);
    std::lock_guard<std::mutex> lock(m_mutex);
    return Response{200, "text/xml; charset=utf-8", m_senders};
  }
  if (path.starts_with(kIconPrefix) && path.ends_with(kIconSuffix)) {
    if (request.method != "GET")
      return ErrorPage(405);
    path.remove_prefix(kIconPrefix.size());
    path.remove_suffix(kIconSuffix.size());
    return Icon(PercentDecode(path));
  }
  if (path == kStatisticsPath) {
    if (request.method != "POST")
      return ErrorPage(405);
    return Response{200, "text/plain", "OK"};
  }
  return ErrorPage(404);
}

Response ServiceRoutes::Icon(std::string_view name) const {
  std::filesystem::path folder;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (const auto found = m_icons.find(name); found != m_icons.end()) {
      return Response{200, "image/x-icon", found->second};
    }
    folder = m_iconFolder;
  }
  if (folder.empty() || !IsPlainName(name))
    return ErrorPage(404);
  const std::filesystem::path filePath = folder / (std::string(name) + std::string(kIconSuffix));
  std::error_code error;
  if (!std::filesystem::is_regular_file(filePath, error))
    return ErrorPage(404);
  std::ifstream file(filePath, std::ios::binary);
  if (!file)
    return ErrorPage(404);
  return Response{
      200, "image/x-icon",
      std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>())};
}

}  // namespace tp::standin
