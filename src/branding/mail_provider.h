// Mail provider markers: "@" followed by one of the eight consumer mail domains, which
// select the header analyser and name the provider.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace tp {

// The eight markers in their fixed order, joined by commas.
const std::wstring& KnownProviderList();
// "@" + domain.
std::wstring ProviderMarker(std::wstring_view domain);

// The marker that an incoming server name (lower case) stands for, or empty: Gmail, Yahoo,
// the Hotmail family (Hotmail, Windows Live, Outlook web mail: all the Hotmail marker), AOL.
std::wstring ClassifyIncomingServer(std::wstring_view server);

// Account name (lower case) to provider marker, built at connection from the profile's mail
// accounts; read on the user-interface thread only.
extern std::map<std::wstring, std::wstring> g_accountProviderDomains;

}  // namespace tp
