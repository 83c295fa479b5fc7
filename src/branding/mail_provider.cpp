// Mail provider markers and the classification of incoming servers.
#include "branding/mail_provider.h"

#include "base/text.h"
#include "platform/configuration.h"

namespace tp {

std::map<std::wstring, std::wstring> g_accountProviderDomains;

std::wstring ProviderMarker(std::wstring_view domain) {
  return L"@" + std::wstring(domain);
}

const std::wstring& KnownProviderList() {
  static const std::wstring list = [] {
    std::wstring joined;
    for (const wchar_t* domain :
         {config::kGmailDomain, config::kYahooDomain, config::kYmailDomain, config::kHotmailDomain,
          config::kHotmailIsraelDomain, config::kWindowsLiveDomain, config::kOutlookWebDomain,
          config::kAolDomain}) {
      if (!joined.empty())
        joined += L',';
      joined += ProviderMarker(domain);
    }
    return joined;
  }();
  return list;
}

std::wstring ClassifyIncomingServer(std::wstring_view server) {
  auto dotted = [server](const wchar_t* domain) {
    return Contains(server, L"." + std::wstring(domain));
  };
  if (dotted(config::kGmailDomain))
    return ProviderMarker(config::kGmailDomain);
  if (dotted(config::kYahooDomain))
    return ProviderMarker(config::kYahooDomain);
  if (dotted(config::kHotmailDomain) || dotted(config::kWindowsLiveDomain) ||
      dotted(config::kOutlookWebDomain)) {
    return ProviderMarker(config::kHotmailDomain);
  }
  if (dotted(config::kAolDomain))
    return ProviderMarker(config::kAolDomain);
  return {};
}

}  // namespace tp
