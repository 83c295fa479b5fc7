// Reading the receiving provider's authentication verdicts (SPF, DKIM, DomainKeys,
// Sender-ID) out of a message's transport headers. One analyser per provider family, each a
// few regular expressions over the header that provider writes. Nothing here decides: the
// mail check compares the result with the sender's branding entry.
#pragma once

#include <string>

namespace tp {

struct AuthHeaderResult {
  std::wstring spfResult;   // pass, fail, softfail, neutral, none, ... (lower case)
  std::wstring spfDomain;   // the domain the SPF verdict is about
  std::wstring dkimResult;  // the DKIM or DomainKeys verdict
  std::wstring dkimDomain;  // the signing domain
};

// Header values longer than this are not analysed: real verdict headers are a few hundred
// characters, and the regular expression engine's work (and stack) grows with the text.
inline constexpr size_t kLongestAnalysedHeader = 16 * 1024;

// The unfolded, trimmed value of the first header `name` (case ignored) in the block; empty
// when there is none. A header on the block's very first line is not found.
std::wstring GetHeaderValue(const std::wstring& headers, const std::wstring& name);

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
