// The providers' chains of hops and the search for the provider's part of a header block.
#include "branding/provider_part.h"

#include <array>

#include "base/text.h"
#include "branding/mail_provider.h"
#include "branding/received_hop.h"
#include "platform/configuration.h"

namespace tp {
namespace {

// A host of `domain` (the domain itself or below it) whose first label starts with
// `labelPrefix` (any first label when it is empty).
struct HostPattern {
  const wchar_t* labelPrefix;
  const wchar_t* domain;
};

// Which addresses a provider's own hops are "by" instead of a host name.
enum class ByAddresses {
  kNone,      // always a name
  kInternal,  // an internal address ("by 10.197.33.10")
  kAny,       // any address literal ("by 2002:a05:7300:d10f:b0:11c")
};

struct ProviderChain {
  ProviderFamily family;
  const wchar_t* name;
  // The provider's own servers: a host equal to one of these or below one of them.
  std::array<const wchar_t*, 4> hosts;
  ByAddresses byAddresses;
  // Servers whose hop is always an inbound hop: they take mail from outside the provider.
  std::array<HostPattern, 2> inboundServers;
  // Servers a sender names when it imitates the provider's inbound hop or the server that
  // writes the verdicts.
  std::array<HostPattern, 3> imitatedServers;
  // Fields the provider writes directly below its inbound hop, in this order.
  std::array<const wchar_t*, 2> belowInbound;
  // The provider folds the last of those only after a clause's semicolon.
  bool foldsAfterSemicolon;
  // The provider appended a run of verdict fields at the end of the block, starting with
  // this field, when its inbound hop was by a host of `appendingDomain`.
  const wchar_t* appendedRunStart;
  const wchar_t* appendingDomain;
};

constexpr ProviderChain kChains[] = {
    {ProviderFamily::kGmail,
     L"Gmail",
     {L"google.com", nullptr, nullptr, nullptr},
     ByAddresses::kAny,
     {{{L"", L"mx.google.com"}, {nullptr, nullptr}}},
     {{{L"", L"mx.google.com"}, {nullptr, nullptr}, {nullptr, nullptr}}},
     {L"Received-SPF", L"Authentication-Results"},
     true,
     nullptr,
     nullptr},
    {ProviderFamily::kHotmail,
     L"Outlook.com",
     {L"outlook.com", L"outlook.office365.com", L"hotmail.com", L"live.com"},
     ByAddresses::kNone,
     {{{L"", L"mail.protection.outlook.com"}, {L"", L"hotmail.com"}}},
     {{{L"", L"mail.protection.outlook.com"}, {L"", L"hotmail.com"}, {nullptr, nullptr}}},
     {nullptr, nullptr},
     false,
     nullptr,
     nullptr},
    {ProviderFamily::kYahoo,
     L"Yahoo",
     {L"yahoo.com", nullptr, nullptr, nullptr},
     ByAddresses::kInternal,
     {{{L"mta", L"yahoo.com"}, {nullptr, nullptr}}},
     {{{L"mta", L"yahoo.com"}, {L"atlas", L"yahoo.com"}, {nullptr, nullptr}}},
     {nullptr, nullptr},
     false,
     nullptr,
     nullptr},
    {ProviderFamily::kAol,
     L"AOL",
     {L"aol.com", L"yahoo.com", nullptr, nullptr},
     ByAddresses::kInternal,
     {{{L"", L"mx.aol.com"}, {L"mta", L"yahoo.com"}}},
     {{{L"", L"mx.aol.com"}, {L"mta", L"yahoo.com"}, {L"atlas", L"yahoo.com"}}},
     {nullptr, nullptr},
     false,
     L"x-aol-global-disposition",
     L"aol.com"},
};

// The fields of AOL's appended run that carry or announce its verdicts.
constexpr const wchar_t* kAppendedVerdictFields[] = {L"x-aol-global-disposition",
                                                     L"X-AOL-SCOLL-AUTHENTICATION", L"X-AOL-SPF"};

const ProviderChain* ChainOf(ProviderFamily family) {
  for (const ProviderChain& chain : kChains) {
    if (chain.family == family)
      return &chain;
  }
  return nullptr;
}

bool MarkerHas(std::wstring_view mailProvider, const wchar_t* domain) {
  return Contains(mailProvider, ProviderMarker(domain));
}

bool IsHostIn(std::wstring_view host, std::wstring_view domain) {
  if (host.size() == domain.size())
    return EqualsIgnoreAsciiCase(host, domain);
  return host.size() > domain.size() && host[host.size() - domain.size() - 1] == L'.' &&
         EqualsIgnoreAsciiCase(host.substr(host.size() - domain.size()), domain);
}

bool IsProviderHost(const ProviderChain& chain, std::wstring_view host) {
  for (const wchar_t* domain : chain.hosts) {
    if (domain != nullptr && IsHostIn(host, domain))
      return true;
  }
  return false;
}

template <size_t N>
bool MatchesAny(const std::array<HostPattern, N>& patterns, std::wstring_view host) {
  for (const HostPattern& pattern : patterns) {
    if (pattern.domain == nullptr || !IsHostIn(host, pattern.domain))
      continue;
    const std::wstring_view prefix = pattern.labelPrefix;
    if (host.size() >= prefix.size() &&
        EqualsIgnoreAsciiCase(host.substr(0, prefix.size()), prefix))
      return true;
  }
  return false;
}

// The hop is by one of the provider's servers.
bool IsByProvider(const ProviderChain& chain, const ReceivedHop& hop) {
  if (IsProviderHost(chain, hop.byHost))
    return true;
  if (!IsAddressLiteral(hop.byHost))
    return false;
  switch (chain.byAddresses) {
    case ByAddresses::kNone:
      return false;
    case ByAddresses::kInternal:
      return IsInternalAddress(hop.byHost);
    case ByAddresses::kAny:
      return true;
  }
  return false;
}

// The hop took the message from outside the provider: from a host the provider does not
// name as its own, or from an address on the Internet.
bool ComesFromOutside(const ProviderChain& chain, const ReceivedHop& hop) {
  if (hop.fromHost.empty() || IsProviderHost(chain, hop.fromHost))
    return false;
  return !(IsAddressLiteral(hop.fromHost) && IsInternalAddress(hop.fromHost));
}

// How many lines of a field folded only after semicolons belong to it: a line continues the
// field only when the line above ends with a semicolon.
size_t LinesFoldedAfterSemicolons(const HeaderBlock& block, const HeaderField& field) {
  const std::vector<std::wstring_view> lines = block.Lines(field);
  size_t taken = 1;
  while (taken < lines.size()) {
    const std::wstring_view above = Trim(lines[taken - 1]);
    if (above.empty() || above.back() != L';')
      break;
    ++taken;
  }
  return taken;
}

bool IsAppendedRunField(const HeaderField& field) {
  return field.Is(L"Authentication-Results") ||
         (field.hasColon && FindIgnoreAsciiCase(field.name, L"x-aol-") == 0);
}

// The run the provider appended: from the last `start` field below its top part to the end
// of the block, every field one of the run's. A run that does not reach the end is not the
// provider's, which appends after everything else.
void FindAppendedRun(const HeaderBlock& block, const ProviderChain& chain, ProviderPart* part) {
  const std::vector<HeaderField>& fields = block.fields();
  size_t start = ProviderPart::kNone;
  for (size_t i = part->topEnd; i < fields.size(); ++i) {
    if (fields[i].Is(chain.appendedRunStart))
      start = i;
  }
  if (start == ProviderPart::kNone)
    return;
  for (size_t i = start; i < fields.size(); ++i) {
    if (!IsAppendedRunField(fields[i]))
      return;
  }
  part->appendedBegin = start;
  part->appendedEnd = fields.size();
}

}  // namespace

ProviderFamily FamilyOfMarker(std::wstring_view mailProvider) {
  if (MarkerHas(mailProvider, config::kGmailDomain))
    return ProviderFamily::kGmail;
  if (MarkerHas(mailProvider, config::kHotmailDomain) ||
      MarkerHas(mailProvider, config::kHotmailIsraelDomain) ||
      MarkerHas(mailProvider, config::kOutlookWebDomain) ||
      MarkerHas(mailProvider, config::kWindowsLiveDomain)) {
    return ProviderFamily::kHotmail;
  }
  if (MarkerHas(mailProvider, config::kYahooDomain) ||
      MarkerHas(mailProvider, config::kYmailDomain)) {
    return ProviderFamily::kYahoo;
  }
  if (MarkerHas(mailProvider, config::kAolDomain))
    return ProviderFamily::kAol;
  return ProviderFamily::kNone;
}

const wchar_t* FamilyName(ProviderFamily family) {
  const ProviderChain* chain = ChainOf(family);
  return chain == nullptr ? L"no provider" : chain->name;
}

size_t ProviderPart::Find(const HeaderBlock& block, std::wstring_view name) const {
  const size_t top = block.Find(name, 0, topEnd);
  if (top != std::wstring_view::npos)
    return top;
  return block.Find(name, appendedBegin, appendedEnd);
}

ProviderPart FindProviderPart(const HeaderBlock& block, ProviderFamily family) {
  ProviderPart part;
  const ProviderChain* chain = ChainOf(family);
  if (chain == nullptr)
    return part;
  const std::vector<HeaderField>& fields = block.fields();
  ReceivedHop inbound;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (!fields[i].Is(L"Received"))
      continue;
    ReceivedHop hop = ReadReceivedHop(block.Value(fields[i]));
    if (!IsByProvider(*chain, hop)) {
      part.foreignHop = i;  // the chain ended without an inbound hop
      break;
    }
    if (MatchesAny(chain->inboundServers, hop.byHost) || hop.recordsGreeting ||
        ComesFromOutside(*chain, hop)) {
      part.traced = true;
      part.inboundIndex = i;
      inbound = std::move(hop);
      break;
    }
  }
  if (!part.traced)
    return part;

  part.topEnd = part.inboundIndex + 1;
  for (const wchar_t* below : chain->belowInbound) {
    if (below != nullptr && part.topEnd < fields.size() && fields[part.topEnd].Is(below))
      ++part.topEnd;
  }
  const HeaderField& last = fields[part.topEnd - 1];
  if (chain->foldsAfterSemicolon && !last.Is(L"Received"))
    part.lastFieldLines = LinesFoldedAfterSemicolons(block, last);

  // The run AOL appended belongs to its layout before Yahoo's platform: an inbound hop by
  // AOL's own exchanger, which recorded no greeting, and no verdict field at the top.
  if (chain->appendedRunStart != nullptr && IsHostIn(inbound.byHost, chain->appendingDomain) &&
      !inbound.recordsGreeting &&
      block.Find(L"Authentication-Results", 0, part.topEnd) == std::wstring_view::npos) {
    FindAppendedRun(block, *chain, &part);
  }
  for (size_t i = part.topEnd; i < fields.size(); ++i) {
    if (part.Contains(i))
      continue;
    if (fields[i].Is(L"Received")) {
      const ReceivedHop hop = ReadReceivedHop(block.Value(fields[i]));
      if (MatchesAny(chain->imitatedServers, hop.byHost))
        part.imitatedHops.push_back(i);
    } else if (chain->appendedRunStart != nullptr && part.imitatedRunField == ProviderPart::kNone) {
      for (const wchar_t* name : kAppendedVerdictFields) {
        if (fields[i].Is(name))
          part.imitatedRunField = i;
      }
    }
  }
  return part;
}

}  // namespace tp
