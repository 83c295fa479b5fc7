// The four provider analysers and the layouts each of them knows.
#include "branding/auth_headers.h"

#include <functional>
#include <optional>

#include "base/format.h"
#include "base/text.h"
#include "branding/auth_results.h"
#include "branding/provider_part.h"

namespace tp {
namespace {

struct Signature {
  std::wstring result;
  std::wstring domain;
};

bool IsWordChar(wchar_t ch) {
  return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z') || (ch >= L'0' && ch <= L'9') ||
         ch == L'_';
}

// The leading run of word characters.
std::wstring_view LeadingWord(std::wstring_view text) {
  size_t end = 0;
  while (end < text.size() && IsWordChar(text[end]))
    ++end;
  return text.substr(0, end);
}

bool IsDomainShaped(std::wstring_view text) {
  if (text.empty())
    return false;
  for (wchar_t ch : text) {
    if (!IsWordChar(ch) && ch != L'.' && ch != L'-')
      return false;
  }
  return true;
}

uint32_t LineNumber(const HeaderField& field) {
  return static_cast<uint32_t>(field.line + 1);
}

// " and N more" after the first of `count` lines a note names.
std::wstring MoreOf(size_t count) {
  return count > 1 ? Format(L" and %u more", static_cast<uint32_t>(count - 1)) : std::wstring();
}

// The fields of one provider's part of a block, and the notes on what was left out.
class ProviderFields {
 public:
  ProviderFields(const std::wstring& headers, ProviderFamily family, AuthHeaderResult* result)
      : m_block(headers),
        m_family(family),
        m_part(FindProviderPart(m_block, family)),
        m_result(result) {
    const std::vector<HeaderField>& fields = m_block.fields();
    if (!m_part.traced) {
      if (m_part.foreignHop != ProviderPart::kNone) {
        Note(
            Format(L"the Received line %u is not by a server of %s's, and no inbound hop of "
                   L"%s's is above it, so none of the block's fields is known to be %s's",
                   LineNumber(fields[m_part.foreignHop]), provider(), provider(), provider()));
      } else {
        Note(
            Format(L"no inbound hop of %s's servers at the top of the block, so none of its "
                   L"fields is known to be %s's",
                   provider(), provider()));
      }
      return;
    }
    m_result->inboundLine = LineNumber(fields[m_part.inboundIndex]);
    const std::vector<size_t>& imitated = m_part.imitatedHops;
    if (!imitated.empty()) {
      Note(
          Format(L"the Received line %u%s %s a server of %s's below %s's inbound hop on "
                 L"line %u: the sender's text, which extends nothing",
                 LineNumber(fields[imitated.front()]), MoreOf(imitated.size()),
                 imitated.size() > 1 ? L"name" : L"names", provider(), provider(),
                 static_cast<uint32_t>(m_result->inboundLine)));
    }
  }

  // The value of the provider's field `name`; fields of that name elsewhere in the block,
  // which the sender wrote, are noted and left out.
  std::optional<std::wstring> Read(const wchar_t* name) {
    const std::vector<HeaderField>& fields = m_block.fields();
    size_t outside = 0;
    uint32_t firstOutsideLine = 0;
    for (size_t i = 0; i < fields.size(); ++i) {
      if (fields[i].Is(name) && !m_part.Contains(i) && outside++ == 0)
        firstOutsideLine = LineNumber(fields[i]);
    }
    if (outside > 0) {
      Note(Format(L"%s on line %u%s lies outside the part of the block that %s wrote", name,
                  firstOutsideLine, MoreOf(outside), provider()));
    }
    if (!m_part.traced)
      return std::nullopt;
    const size_t found = m_part.Find(m_block, name);
    if (found == std::wstring_view::npos)
      return std::nullopt;
    const HeaderField& field = fields[found];
    const size_t lines = m_part.LinesOf(found);
    if (lines < field.lineCount) {
      Note(
          Format(L"the white-space-led line %u begins the sender's part; it does not continue "
                 L"%s's %s",
                 static_cast<uint32_t>(field.line + lines + 1), provider(), name));
    }
    return m_block.Value(field, lines);
  }

  // The provider's Authentication-Results read by structure; nullopt when it has none, or
  // when `own` says another server wrote it.
  std::optional<AuthResults> ReadResults(const std::function<bool(const AuthResults&)>& own) {
    std::optional<std::wstring> value = Read(L"Authentication-Results");
    if (!value)
      return std::nullopt;
    AuthResults results = ReadAuthResults(*value);
    if (!own(results)) {
      Note(Format(L"Authentication-Results names the server \"%s\", not %s's", results.authservId,
                  provider()));
      return std::nullopt;
    }
    return results;
  }

  void Note(std::wstring note) { m_result->ignored.push_back(std::move(note)); }
  void SetLayout(const wchar_t* layout) { m_result->layout = layout; }
  const wchar_t* provider() const { return FamilyName(m_family); }
  const ProviderPart& part() const { return m_part; }
  const HeaderBlock& block() const { return m_block; }

 private:
  HeaderBlock m_block;
  ProviderFamily m_family;
  ProviderPart m_part;
  AuthHeaderResult* m_result;
};

// A verdict the provider took over from an ARC set (a forwarder's claim) instead of reaching
// it itself counts for nothing: Yahoo marks its own with "arc_overridden_status=NOT_OVERRIDDEN".
bool OverriddenByArc(const AuthSegment& clause, ProviderFields& fields) {
  bool named = false;
  for (const AuthProperty& property : clause.properties) {
    if (property.name == L"arc_overridden_status") {
      named = true;
      if (!EqualsIgnoreAsciiCase(property.value, L"NOT_OVERRIDDEN"))
        break;
      named = false;
    }
  }
  if (named) {
    fields.Note(Format(L"the %s verdict was taken over from an ARC set, not reached by %s itself",
                       clause.method, fields.provider()));
  }
  return named;
}

// An SPF pass that a provider reached only through a best-guess record (the domain publishes
// none) is weak evidence, not a pass.
std::wstring SpfResult(const AuthSegment& clause, ProviderFields& fields) {
  if (OverriddenByArc(clause, fields))
    return L"arc-overridden";
  if (clause.result == L"pass" &&
      FindIgnoreAsciiCase(clause.comments, L"best guess") != std::wstring_view::npos) {
    fields.Note(
        L"SPF passed only by a best-guess record (the domain publishes no SPF record), "
        L"which is not a pass");
    return L"bestguesspass";
  }
  return clause.result;
}

// A signature in testing mode counts as no signature at all.
std::wstring DkimResult(const AuthSegment& clause, ProviderFields& fields) {
  if (OverriddenByArc(clause, fields))
    return L"arc-overridden";
  if (clause.result == L"pass" &&
      (FindIgnoreAsciiCase(clause.comments, L"test mode") != std::wstring_view::npos ||
       FindIgnoreAsciiCase(clause.comments, L"testing mode") != std::wstring_view::npos)) {
    fields.Note(L"DKIM passed for a signature in testing mode, which counts as unsigned mail");
    return L"test";
  }
  return clause.result;
}

// Sets the DKIM verdict from the signatures read: a passing one when there is one (the last
// or the first, as the provider's format orders them), else the last or first verdict.
void TakeSignatures(const std::vector<Signature>& signatures, bool lastWins,
                    AuthHeaderResult* result) {
  const Signature* chosen = nullptr;
  for (const Signature& signature : signatures) {
    if (signature.result != L"pass")
      continue;
    result->dkimPassDomains.push_back(signature.domain);
    if (chosen == nullptr || lastWins)
      chosen = &signature;
  }
  if (chosen == nullptr && !signatures.empty())
    chosen = lastWins ? &signatures.back() : &signatures.front();
  if (chosen != nullptr) {
    result->dkimResult = chosen->result;
    result->dkimDomain = chosen->domain;
  }
}

// The signing domain of a DKIM clause: header.d; the domain of header.i only when there is no
// header.d. A DomainKeys clause may name the signed From instead.
std::wstring SignerOf(const AuthSegment& clause) {
  std::wstring signer = clause.Property(L"header.d");
  if (signer.empty())
    signer = clause.Property(L"header.i");
  if (signer.empty() && clause.method == L"domainkeys")
    signer = clause.Property(L"header.from");
  return DomainOfIdentity(signer);
}

// The domain an SPF clause is about: the envelope sender's (smtp.mailfrom, or smtp.mail in
// older blocks); the greeting's name (smtp.helo) only when there is no envelope sender.
std::wstring SpfDomainOf(const AuthSegment& clause) {
  std::wstring domain = clause.Property(L"smtp.mailfrom");
  if (domain.empty())
    domain = clause.Property(L"smtp.mail");
  if (domain.empty())
    domain = clause.Property(L"smtp.helo");
  return DomainOfIdentity(domain);
}

// The SPF and DKIM clauses of an Authentication-Results value in RFC 8601 form; every other
// method (dmarc, compauth, arc, ...) is left alone. `lastWins`: a later SPF clause overrides
// an earlier one and the last passing signature is the one named.
void ReadClauses(const AuthResults& results, bool lastWins, ProviderFields& fields,
                 AuthHeaderResult* result) {
  std::vector<Signature> signatures;
  bool spfRead = false;
  for (const AuthSegment& clause : results.segments) {
    if (clause.method == L"spf" && (lastWins || !spfRead)) {
      spfRead = true;
      result->spfResult = SpfResult(clause, fields);
      result->spfDomain = SpfDomainOf(clause);
    } else if (clause.method == L"dkim" || clause.method == L"domainkeys") {
      signatures.push_back({DkimResult(clause, fields), SignerOf(clause)});
    }
  }
  TakeSignatures(signatures, lastWins, result);
}

bool EndsWithDomain(const std::wstring& host, std::wstring_view domain) {
  return host.size() > domain.size() + 1 && host[host.size() - domain.size() - 1] == L'.' &&
         host.compare(host.size() - domain.size(), domain.size(), domain) == 0;
}

// Yahoo's form before RFC 8601: "server  from=a.example; domainkeys=neutral (no sig);
// from=a.example; dkim=pass (ok)", the signer's "from=" domain at the end of the segment
// before its method.
bool IsFromForm(const AuthResults& results) {
  const AuthSegment& first = results.segments.front();
  return !first.properties.empty() && first.properties.front().name == L"from";
}

// "x ; domain : <domain> <keyword> : <word>" in AOL's fields: the domain and the verdict
// after `keyword`, searched from each occurrence of "domain" (after a semicolon when
// `afterSemicolon`). Each token is measured once, so the search stays linear.
bool MatchAolVerdict(std::wstring_view value, std::wstring_view keyword, bool afterSemicolon,
                     std::wstring* domain, std::wstring* verdict) {
  auto skipSpace = [&](size_t i) {
    while (i < value.size() && IsSpace(value[i]))
      ++i;
    return i;
  };
  size_t runStart = 0;
  size_t runEnd = 0;
  std::wstring_view runVerdict;
  for (size_t at = value.find(L"domain"); at != std::wstring_view::npos;
       at = value.find(L"domain", at + 1)) {
    if (afterSemicolon) {
      size_t before = at;
      while (before > 0 && IsSpace(value[before - 1]))
        --before;
      if (before == 0 || value[before - 1] != L';')
        continue;
    }
    size_t i = skipSpace(at + 6);
    if (i >= value.size() || value[i] != L':')
      continue;
    i = skipSpace(i + 1);
    const size_t tokenStart = i;
    if (!(tokenStart >= runStart && tokenStart < runEnd)) {
      // A new run of non-space characters: what follows it is read once for the whole run,
      // whichever "domain" inside it the token starts after.
      runStart = tokenStart;
      runEnd = tokenStart;
      while (runEnd < value.size() && !IsSpace(value[runEnd]))
        ++runEnd;
      runVerdict = std::wstring_view();
      i = skipSpace(runEnd);
      if (runEnd > runStart && value.compare(i, keyword.size(), keyword) == 0) {
        i = skipSpace(i + keyword.size());
        if (i < value.size() && value[i] == L':')
          runVerdict = LeadingWord(value.substr(skipSpace(i + 1)));
      }
    }
    if (runVerdict.empty())
      continue;
    *domain = std::wstring(value.substr(tokenStart, runEnd - tokenStart));
    *verdict = std::wstring(runVerdict);
    return true;
  }
  return false;
}

// Hotmail before Exchange Online: "hotmail.com; sender-id=...; spf=...; dkim=...", with its
// overall verdict in X-AUTH-Result standing in for a missing DKIM one.
void ReadHotmailVerdicts(const AuthResults& results, ProviderFields& fields,
                         AuthHeaderResult* result) {
  bool senderIdRead = false;
  bool spfRead = false;
  std::vector<Signature> signatures;
  for (size_t i = 1; i < results.segments.size(); ++i) {
    const AuthSegment& clause = results.segments[i];
    if (clause.method == L"sender-id" && !senderIdRead && !spfRead) {
      const std::wstring sender = clause.Property(L"header.sender");
      if (!sender.empty()) {
        senderIdRead = true;
        result->spfResult = clause.result;
        result->spfDomain = DomainOfIdentity(sender);
      }
    } else if (clause.method == L"spf" && !spfRead) {
      // An SPF verdict overrides the Sender-ID one.
      const std::wstring mailFrom = clause.Property(L"smtp.mailfrom");
      if (!mailFrom.empty()) {
        spfRead = true;
        result->spfResult = SpfResult(clause, fields);
        result->spfDomain = DomainOfIdentity(mailFrom);
      }
    } else if (clause.method == L"dkim") {
      signatures.push_back(
          {DkimResult(clause, fields), DomainOfIdentity(clause.Property(L"header.d"))});
    }
  }
  TakeSignatures(signatures, false, result);
  if (result->dkimResult != L"pass" && result->dkimResult != L"fail" &&
      result->dkimResult != L"test") {
    // Hotmail's own overall verdict stands in for a missing DKIM one; without it the DKIM
    // verdict is empty.
    const std::optional<std::wstring> overall = fields.Read(L"X-AUTH-Result");
    result->dkimResult = overall ? ToLowerAscii(LeadingWord(*overall)) : std::wstring();
    if (result->dkimResult == L"pass" && !result->dkimDomain.empty())
      result->dkimPassDomains.push_back(result->dkimDomain);
  }
}

// Yahoo's "from=" form, and its SPF verdict in Received-SPF.
void ReadYahooFromForm(const AuthResults& results, ProviderFields& fields,
                       AuthHeaderResult* result) {
  const std::vector<AuthSegment>& segments = results.segments;
  auto signature = [&](const wchar_t* method) -> std::optional<Signature> {
    for (size_t i = 1; i < segments.size(); ++i) {
      const AuthSegment& before = segments[i - 1];
      if (segments[i].method == method && before.trailingName == L"from") {
        return Signature{DkimResult(segments[i], fields), DomainOfIdentity(before.trailingValue)};
      }
    }
    return std::nullopt;
  };
  const std::optional<Signature> dkim = signature(L"dkim");
  const std::optional<Signature> domainKeys = signature(L"domainkeys");
  std::vector<Signature> signatures;
  if (dkim)
    signatures.push_back(*dkim);
  // A DomainKeys verdict stands in for a missing or failed DKIM one.
  if (domainKeys && (!dkim || dkim->result != L"pass"))
    signatures.push_back(*domainKeys);
  TakeSignatures(signatures, true, result);

  if (const std::optional<std::wstring> spf = fields.Read(L"Received-SPF")) {
    // "pass (domain of a.example designates 192.0.2.1 as permitted sender)": Yahoo names the
    // domain only in its comment, in this one fixed form.
    const AuthResults parsed = ReadAuthResults(*spf);
    const AuthSegment& first = parsed.segments.front();
    const std::wstring_view comment = Trim(first.comments);
    constexpr std::wstring_view kDomainOf = L"domain of ";
    if (!parsed.authservId.empty() && comment.substr(0, kDomainOf.size()) == kDomainOf) {
      const std::wstring_view rest = Trim(comment.substr(kDomainOf.size()));
      const size_t space = rest.find_first_of(L" \t\r\n");
      const std::wstring_view domain = rest.substr(0, space);
      if (space != std::wstring_view::npos && IsDomainShaped(domain) &&
          Trim(rest.substr(space)).substr(0, 10) == L"designates") {
        AuthSegment clause;
        clause.result = ToLowerAscii(LeadingWord(parsed.authservId));
        clause.comments = first.comments;
        result->spfResult = SpfResult(clause, fields);
        result->spfDomain = ToLower(domain);
      }
    }
  }
}

// AOL before Yahoo's platform: its verdicts in the run it appended at the end of the block.
void ReadAolAppendedRun(ProviderFields& fields, AuthHeaderResult* result) {
  const ProviderPart& part = fields.part();
  if (part.imitatedRunField != ProviderPart::kNone) {
    const HeaderField& field = fields.block().fields()[part.imitatedRunField];
    fields.Note(
        Format(L"the sender wrote %s on line %u, imitating the verdict fields AOL "
               L"appends, so none of AOL's appended verdicts is read",
               std::wstring(field.name), LineNumber(field)));
    return;
  }
  fields.SetLayout(L"AOL (appended X-AOL fields)");
  if (const std::optional<std::wstring> dkim = fields.Read(L"X-AOL-SCOLL-AUTHENTICATION")) {
    Signature signature;
    if (MatchAolVerdict(*dkim, L"DKIM", true, &signature.domain, &signature.result)) {
      signature.result = ToLowerAscii(signature.result);
      signature.domain = DomainOfIdentity(signature.domain);
      TakeSignatures({signature}, true, result);
    }
  }
  if (const std::optional<std::wstring> spf = fields.Read(L"X-AOL-SPF")) {
    (void)MatchAolVerdict(*spf, L"SPF", false, &result->spfDomain, &result->spfResult);
  }
}

}  // namespace

bool AnalyzeGmailHeaders(const std::wstring& mailProvider, const std::wstring& headers,
                         AuthHeaderResult* result) {
  if (FamilyOfMarker(mailProvider) != ProviderFamily::kGmail)
    return false;
  ProviderFields fields(headers, ProviderFamily::kGmail, result);
  const std::optional<AuthResults> results = fields.ReadResults(
      [](const AuthResults& read) { return EndsWithDomain(read.authservId, L"google.com"); });
  if (!results)
    return true;
  fields.SetLayout(L"Gmail (RFC 8601)");
  ReadClauses(*results, true, fields, result);
  return true;
}

bool AnalyzeHotmailHeaders(const std::wstring& mailProvider, const std::wstring& headers,
                           AuthHeaderResult* result) {
  if (FamilyOfMarker(mailProvider) != ProviderFamily::kHotmail)
    return false;
  ProviderFields fields(headers, ProviderFamily::kHotmail, result);
  // Exchange Online writes no authserv-id: its value starts with a clause.
  auto exchangeOnline = [](const AuthResults& read) {
    return read.authservId.empty() && read.segments.front().IsClause();
  };
  const std::optional<AuthResults> results = fields.ReadResults([&](const AuthResults& read) {
    return read.authservId == L"hotmail.com" || exchangeOnline(read);
  });
  if (!results)
    return true;
  if (exchangeOnline(*results)) {
    fields.SetLayout(L"Outlook.com (Exchange Online)");
    ReadClauses(*results, false, fields, result);
  } else {
    fields.SetLayout(L"Hotmail (before Exchange Online)");
    ReadHotmailVerdicts(*results, fields, result);
  }
  return true;
}

bool AnalyzeYahooHeaders(const std::wstring& mailProvider, const std::wstring& headers,
                         AuthHeaderResult* result) {
  if (FamilyOfMarker(mailProvider) != ProviderFamily::kYahoo)
    return false;
  ProviderFields fields(headers, ProviderFamily::kYahoo, result);
  const std::optional<AuthResults> results = fields.ReadResults(
      [](const AuthResults& read) { return EndsWithDomain(read.authservId, L"yahoo.com"); });
  if (!results)
    return true;
  if (IsFromForm(*results)) {
    fields.SetLayout(L"Yahoo (from= form)");
    ReadYahooFromForm(*results, fields, result);
  } else {
    fields.SetLayout(L"Yahoo (RFC 8601)");
    ReadClauses(*results, false, fields, result);
  }
  return true;
}

bool AnalyzeAolHeaders(const std::wstring& mailProvider, const std::wstring& headers,
                       AuthHeaderResult* result) {
  if (FamilyOfMarker(mailProvider) != ProviderFamily::kAol)
    return false;
  ProviderFields fields(headers, ProviderFamily::kAol, result);
  if (fields.part().HasAppendedRun()) {
    ReadAolAppendedRun(fields, result);
    return true;
  }
  if (fields.part().imitatedRunField != ProviderPart::kNone) {
    const HeaderField& field = fields.block().fields()[fields.part().imitatedRunField];
    fields.Note(
        Format(L"%s on line %u imitates a verdict field AOL no longer writes: the "
               L"sender's text",
               std::wstring(field.name), LineNumber(field)));
  }
  const std::optional<AuthResults> results = fields.ReadResults([](const AuthResults& read) {
    return (EndsWithDomain(read.authservId, L"yahoo.com") ||
            EndsWithDomain(read.authservId, L"aol.com")) &&
           !IsFromForm(read);
  });
  if (!results)
    return true;
  fields.SetLayout(L"AOL (RFC 8601, Yahoo's platform)");
  ReadClauses(*results, false, fields, result);
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
  result.spfDomain = DomainOfIdentity(result.spfDomain);
  result.dkimResult = ToLower(result.dkimResult);
  result.dkimDomain = DomainOfIdentity(result.dkimDomain);
  for (std::wstring& domain : result.dkimPassDomains)
    domain = DomainOfIdentity(domain);
  return result;
}

}  // namespace tp
