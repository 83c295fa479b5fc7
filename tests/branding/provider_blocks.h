// Transport-header blocks laid out as each provider writes them, old layouts and today's, for
// the header analysis tests: the provider's own chain of hops and verdict fields at the top,
// the sender's fields below its inbound hop.
#pragma once

#include <string>
#include <vector>

namespace tp::testing {

inline const std::wstring kGmail = L"@gmail.com";
inline const std::wstring kHotmail = L"@hotmail.com";
inline const std::wstring kOutlook = L"@outlook.com";
inline const std::wstring kYahoo = L"@yahoo.com";
inline const std::wstring kAol = L"@aol.com";

// The sender's part of every block: what arrived at the provider.
extern const std::wstring kSenderPart;

// Gmail: internal hop, its inbound exchanger's hop, then Received-SPF and
// Authentication-Results below that hop. With `arc`, Gmail's own ARC set above it.
std::wstring GmailBlock(const std::wstring& results, const std::wstring& sender = kSenderPart,
                        bool arc = false);

// Outlook.com today (Exchange Online, 2026): internal hops by PROD.OUTLOOK.COM and
// outlook.office365.com hosts, Authentication-Results without an authserv-id and Received-SPF
// above the inbound hop by a mail.protection.outlook.com host; Exchange's own fields appended
// at the end.
std::wstring OutlookBlock(const std::wstring& results, const std::wstring& sender = kSenderPart);
// Outlook.com in 2020: eop-*.prod.protection.outlook.com hops, "hotmail.com;" segments in the
// Authentication-Results and X-IncomingTopHeaderMarker below the inbound hop.
std::wstring Outlook2020Block(const std::wstring& results,
                              const std::wstring& sender = kSenderPart);
// Hotmail before Exchange Online: "hotmail.com;" verdicts above the hop that took the message
// in, with X-AUTH-Result when `overall` is given.
std::wstring HotmailBlock(const std::wstring& results, const std::wstring& sender = kSenderPart,
                          const std::wstring& overall = L"");

// Yahoo today: a top hop by an atlas server, Received-SPF and Authentication-Results by that
// server, and the inbound hop by an internal address that recorded the client's greeting.
// AOL on Yahoo's platform writes the same with AOL's atlas servers (`atlas`).
std::wstring YahooTodayBlock(const std::wstring& results, const std::wstring& spf,
                             const std::wstring& sender = kSenderPart,
                             const std::wstring& atlas = L"atlas210.free.mail.bf1.yahoo.com");
// Yahoo before RFC 8601: Received-SPF and its "from=" Authentication-Results above its hop.
std::wstring YahooBlock(const std::wstring& results, const std::wstring& spf,
                        const std::wstring& sender = kSenderPart);
// AOL before Yahoo's platform: its hops at the top, its verdicts appended after the sender's
// fields.
std::wstring AolBlock(const std::wstring& appended, const std::wstring& sender = kSenderPart);
std::wstring AolRun(const std::wstring& dkim, const std::wstring& spf);

struct Case {
  const char* name;
  std::wstring marker;
  std::wstring block;
  std::wstring spf, spfDomain, dkim, dkimDomain;
};

// Each case's four verdicts.
void ExpectCases(const std::vector<Case>& cases);

}  // namespace tp::testing
