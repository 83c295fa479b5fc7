// The four provider analysers and the header reader.
#include "branding/auth_headers.h"

#include <algorithm>
#include <regex>
#include <vector>

#include "branding/mail_provider.h"
#include "support/configuration.h"
#include "support/text.h"

namespace tp {
namespace {

using std::regex_constants::ECMAScript;
using std::regex_constants::icase;

// A domain as a pattern: each dot escaped.
std::wstring Pattern(std::wstring_view domain) {
  std::wstring escaped;
  for (wchar_t ch : domain) {
    if (ch == L'.')
      escaped += L'\\';
    escaped += ch;
  }
  return escaped;
}

// Searches the pattern; on a match returns the two groups (empty when it did not take part).
bool Search(const std::wstring& text, const std::wstring& pattern, std::wstring* group1,
            std::wstring* group2, std::regex_constants::syntax_option_type flags = ECMAScript) {
  if (text.size() > kLongestAnalysedHeader)
    return false;
  // The carriage returns that unfolding leaves in a value are white space to the patterns;
  // ECMAScript's "." would stop at them and split a folded header in two.
  std::wstring subject = text;
  std::replace(subject.begin(), subject.end(), L'\r', L' ');
  const std::wregex expression(pattern, flags);
  std::wsmatch match;
  if (!std::regex_search(subject, match, expression))
    return false;
  if (group1 != nullptr && match.size() > 1 && match[1].matched)
    *group1 = match[1].str();
  if (group2 != nullptr && match.size() > 2 && match[2].matched)
    *group2 = match[2].str();
  return true;
}

bool Matches(const std::wstring& text, const std::wstring& pattern) {
  return Search(text, pattern, nullptr, nullptr);
}

bool MarkerHas(const std::wstring& mailProvider, const wchar_t* domain) {
  return Contains(mailProvider, ProviderMarker(domain));
}

// Splits like a tokenizer: runs of separators count as one; each part lower-cased and trimmed.
std::vector<std::wstring> SplitParts(const std::wstring& header) {
  std::vector<std::wstring> parts;
  for (const std::wstring& part : SplitSkippingEmpty(header, L';')) {
    parts.emplace_back(Trim(ToLower(part)));
  }
  return parts;
}

std::wstring AfterLastAt(const std::wstring& text) {
  const size_t at = text.rfind(L'@');
  return at == std::wstring::npos ? text : text.substr(at + 1);
}

}  // namespace

std::wstring GetHeaderValue(const std::wstring& headers, const std::wstring& name) {
  const std::wstring key = ToLower(L"\n" + name + L":");
  const size_t found = ToLower(headers).find(key);
  if (found == std::wstring::npos)
    return {};
  const size_t nameStart = found + 1;
  const size_t colon = headers.find(L':', nameStart);
  std::wstring value = headers.substr(colon + 1);
  // Unfold: a line feed followed by white space (or the end) continues the header.
  for (size_t lineFeed = value.find(L'\n'); lineFeed != std::wstring::npos;
       lineFeed = value.find(L'\n', lineFeed + 1)) {
    const bool continued = lineFeed + 1 >= value.size() || value[lineFeed + 1] < 33;
    if (!continued) {
      value.resize(lineFeed);
      break;
    }
    value[lineFeed] = L' ';
  }
  return std::wstring(Trim(value));
}

bool AnalyzeGmailHeaders(const std::wstring& mailProvider, const std::wstring& headers,
                         AuthHeaderResult* result) {
  if (!MarkerHas(mailProvider, config::kGmailDomain))
    return false;
  const std::vector<std::wstring> parts =
      SplitParts(GetHeaderValue(headers, L"Authentication-Results"));
  if (parts.size() < 2)
    return true;
  // The first part names the authenticating server, which must be Google's own.
  if (!Matches(parts[0], L"\\." + Pattern(config::kGoogleCorporateDomain) + L"$"))
    return true;
  const std::wstring dkim = std::wstring(L"\\s*(?:dkim|domainkeys)=(\\w+)[^") + L'\b' +
                            L"]*header\\.(?:i|From)=([^\\s\\\"]+)";
  for (size_t i = 1; i < parts.size(); ++i) {
    Search(parts[i], L"\\s*spf=(\\w+).*domain of[^@]+@([^\\s]+)\\s*designates", &result->spfResult,
           &result->spfDomain);
    Search(parts[i], dkim, &result->dkimResult, &result->dkimDomain, ECMAScript | icase);
  }
  return true;
}

bool AnalyzeHotmailHeaders(const std::wstring& mailProvider, const std::wstring& headers,
                           AuthHeaderResult* result) {
  if (!MarkerHas(mailProvider, config::kHotmailDomain) &&
      !MarkerHas(mailProvider, config::kHotmailIsraelDomain) &&
      !MarkerHas(mailProvider, config::kOutlookWebDomain) &&
      !MarkerHas(mailProvider, config::kWindowsLiveDomain)) {
    return false;
  }
  const std::wstring header = GetHeaderValue(headers, L"Authentication-Results");
  if (!Matches(header, L"^\\s*" + Pattern(config::kHotmailDomain) + L";"))
    return true;
  Search(header, L";\\s*sender\\-id=(\\w*)[^;]*header\\.sender=[^;@]*@([^;\\s]+)",
         &result->spfResult, &result->spfDomain);
  // An SPF verdict overrides the Sender-ID one.
  Search(header, L";\\s*spf=(\\w*).*smtp\\.mailfrom=[^;@]*@([^;\\s]+)", &result->spfResult,
         &result->spfDomain);
  Search(header, L";\\s*dkim=(\\w+)\\s+(?:\\([^\\)]+\\)\\s+)?header\\.d=([^;\\s\\\"]+)",
         &result->dkimResult, &result->dkimDomain);
  if (!EqualsIgnoreCase(result->dkimResult, L"pass") &&
      !EqualsIgnoreCase(result->dkimResult, L"fail")) {
    // The leading word of X-AUTH-Result stands in; the pattern always matches, so a missing
    // header leaves the DKIM verdict empty.
    result->dkimResult.clear();
    Search(GetHeaderValue(headers, L"X-AUTH-Result"), L"\\s*(\\w*)", &result->dkimResult, nullptr);
  }
  return true;
}

bool AnalyzeYahooHeaders(const std::wstring& mailProvider, const std::wstring& headers,
                         AuthHeaderResult* result) {
  if (!MarkerHas(mailProvider, config::kYahooDomain) &&
      !MarkerHas(mailProvider, config::kYmailDomain)) {
    return false;
  }
  const std::wstring header = GetHeaderValue(headers, L"Authentication-Results");
  if (!Matches(header, L"[^;]*\\." + Pattern(config::kYahooDomain) + L"\\s+from"))
    return true;
  Search(header, L"\\s*from=([^\\s;]+)\\s*;\\s*dkim=(\\w+)", &result->dkimDomain,
         &result->dkimResult);
  if (!EqualsIgnoreCase(result->dkimResult, L"pass")) {
    // A DomainKeys verdict stands in for a missing or failed DKIM one.
    Search(header, L"\\s*from=([^\\s;]+)\\s*;\\s*domainkeys=(\\w+)", &result->dkimDomain,
           &result->dkimResult);
  }
  Search(GetHeaderValue(headers, L"Received-SPF"),
         L"\\s*(\\w+).*domain of\\s*([^\\s]+)\\s*designates", &result->spfResult,
         &result->spfDomain);
  return true;
}

bool AnalyzeAolHeaders(const std::wstring& mailProvider, const std::wstring& headers,
                       AuthHeaderResult* result) {
  if (!MarkerHas(mailProvider, config::kAolDomain))
    return false;
  Search(GetHeaderValue(headers, L"X-AOL-SCOLL-AUTHENTICATION"),
         L";\\s*domain\\s*\\:\\s*([^\\s]+)\\s*DKIM\\s*\\:\\s*(\\w+)", &result->dkimDomain,
         &result->dkimResult);
  Search(GetHeaderValue(headers, L"X-AOL-SPF"),
         L"\\s*domain\\s*\\:\\s*([^\\s]+)\\s+SPF\\s*\\:\\s*(\\w+)", &result->spfDomain,
         &result->spfResult);
  return true;
}

AuthHeaderResult AnalyzeAuthHeaders(const std::wstring& mailProvider, const std::wstring& headers) {
  AuthHeaderResult result;
  if (!AnalyzeGmailHeaders(mailProvider, headers, &result) &&
      !AnalyzeHotmailHeaders(mailProvider, headers, &result) &&
      !AnalyzeYahooHeaders(mailProvider, headers, &result)) {
    AnalyzeAolHeaders(mailProvider, headers, &result);
  }
  result.spfResult = ToLower(result.spfResult);
  result.spfDomain = AfterLastAt(ToLower(result.spfDomain));
  result.dkimResult = ToLower(result.dkimResult);
  result.dkimDomain = AfterLastAt(ToLower(result.dkimDomain));
  return result;
}

}  // namespace tp
