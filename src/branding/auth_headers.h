// Reading the receiving provider's authentication verdicts (SPF, DKIM, DomainKeys,
// Sender-ID) out of a message's transport headers. One analyser per provider family; each
// reads only the fields in the part of the block the provider wrote (provider_part.h) and
// reads Authentication-Results by its structure (auth_results.h), so that nothing a sender
// wrote can give or change a verdict. Nothing here decides: the mail check compares the
// result with the sender's branding entry.
#pragma once

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
