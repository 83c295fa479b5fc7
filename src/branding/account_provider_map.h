// Filling g_accountProviderDomains from the profile's mail accounts at connection.
#pragma once

#include "host/outlook.h"

namespace tp {

// Walks the mail accounts of the namespace's profile through Outlook's account manager and
// records the provider marker of each account whose incoming server belongs to a known
// provider. False, with the map untouched, when the account manager cannot be set up.
bool BuildAccountProviderMap(host::OutlookNamespace& nameSpace);

}  // namespace tp
