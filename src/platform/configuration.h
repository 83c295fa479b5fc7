// Built-in configuration: the consumer mail domains the branding decision knows, the
// maker's web addresses and the service endpoints. There is no configuration file; the
// service endpoints alone can be replaced (by tests and the tidepost tool).
#pragma once

#include <cstdint>
#include <string>

namespace tp::config {

// Consumer mail domains, by role. Their order is fixed: it is the order of the known-provider
// list and of the account classification.
inline constexpr wchar_t kGmailDomain[] = L"gmail.com";
inline constexpr wchar_t kYahooDomain[] = L"yahoo.com";
inline constexpr wchar_t kYmailDomain[] = L"ymail.com";
inline constexpr wchar_t kHotmailDomain[] = L"hotmail.com";
inline constexpr wchar_t kHotmailIsraelDomain[] = L"hotmail.co.il";
inline constexpr wchar_t kWindowsLiveDomain[] = L"live.com";
inline constexpr wchar_t kOutlookWebDomain[] = L"outlook.com";
inline constexpr wchar_t kAolDomain[] = L"aol.com";

// The authenticating servers of Gmail messages are in Google's corporate domain.
inline constexpr wchar_t kGoogleCorporateDomain[] = L"google.com";

// LinkedIn sends from many addresses; the display knows it by one.
inline constexpr wchar_t kLinkedInDomain[] = L"linkedin.com";
inline constexpr wchar_t kLinkedInAddress[] = L"messages-noreply@linkedin.com";

// The maker's web site root over plain http (base of the pages the add-in builds).
inline constexpr wchar_t kMakerWebRoot[] = L"http://www.tidepost.com/";

// The maker's blank page, where the browser helper object starts a sender's active content.
inline constexpr wchar_t kActiveContentPage[] = L"https://www.tidepost.com/apblank.html";

// A public web site whose reachability wakes a dial-up or sleeping connection before the
// display asks whether the machine is online.
inline constexpr wchar_t kConnectivityProbeUrl[] = L"https://www.microsoft.com/";

// The host of the maker's plug-in install page: a message that links to it (followed by
// "/install") carries embedded content.
inline constexpr wchar_t kMakerInstallHost[] = L"plugin.tidepost.com";

struct ServiceEndpoints {
  std::wstring apiHost = L"api.tidepost.com";  // senders list and sender icons
  uint16_t apiPort = 80;
  std::wstring statsHost = L"stats.tidepost.com";  // usage statistics
  uint16_t statsPort = 80;
};

// The endpoints in use; set them before the add-in object is created.
ServiceEndpoints Services();
void SetServices(const ServiceEndpoints& endpoints);

}  // namespace tp::config
