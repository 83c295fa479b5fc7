// Reading the receiving provider's authentication verdicts (SPF, DKIM, DomainKeys,
// Sender-ID) out of a message's transport headers. One analyser per provider family, which
// knows each layout the provider wrote over the years; each reads only the fields in the part
// of the block the provider wrote (provider_part.h) and reads Authentication-Results by its
// structure (auth_results.h), so that nothing a sender wrote can give or change a verdict.
// DMARC, composite and ARC results are never read: they vouch for nothing on their own.
// Nothing here decides: the mail check compares the result with the sender's branding entry.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "branding/header_fields.h"

namespace tp {

struct AuthHeaderResult {
  std::wstring spfResult;   // pass, fail, softfail, neutral, none, ... (lower case)
  std::wstring spfDomain;   // the domain the SPF verdict is about
  std::wstring dkimResult;  // the DKIM or DomainKeys verdict
  std::wstring dkimDomain;  // the signing domain
  // Every signing domain whose DKIM or DomainKeys signature passed, in the order the
  // provider wrote them: a message may carry several signatures.
  std::vector<std::wstring> dkimPassDomains;
  // Why verdicts in the block were not taken, or were taken as less than a pass.
  std::vector<std::wstring> ignored;
  // The provider's layout the verdicts were read in ("Outlook.com (Exchange Online)",
  // "Yahoo (RFC 8601)", ...); empty when none was recognised.
  std::wstring layout;
  // The line (from 1) of the provider's inbound hop; 0 when the block holds none.
  size_t inboundLine = 0;
};

// The verdicts for the provider marker; all empty when no analyser takes the marker.
AuthHeaderResult AnalyzeAuthHeaders(const std::wstring& mailProvider, const std::wstring& headers);

// Each analyser returns false when the marker is not of its provider family (the next one is
// then tried), true otherwise, whatever it found.
bool AnalyzeGmailHeaders(const std::wstring& mailProvider, const std::wstring& headers,
                         AuthHeaderResult* result);
bool AnalyzeHotmailHeaders(const std::wstring& mailProvider, const std::wstring& headers,
                           AuthHeaderResult* result);
bool AnalyzeYahooHeaders(const std::wstring& mailProvider, const std::wstring& headers,
                         AuthHeaderResult* result);
bool AnalyzeAolHeaders(const std::wstring& mailProvider, const std::wstring& headers,
                       AuthHeaderResult* result);

}  // namespace tp
