// Internet host names: what a mail domain must be to name a branded sender or match one.
#include "base/host_name.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text.h"

namespace tp {
namespace {

struct Case {
  std::wstring domain;
  const wchar_t* problem;  // null: a host name
};

void ExpectProblems(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    const wchar_t* problem = HostNameProblem(c.domain);
    EXPECT_EQ(std::wstring(problem == nullptr ? L"(host name)" : problem),
              std::wstring(c.problem == nullptr ? L"(host name)" : c.problem))
        << WideToUtf8(c.domain);
  }
}

TEST(HostNameTest, LettersDigitsAndHyphensInTwoOrMoreLabels) {
  ExpectProblems({
      {L"acme.example", nullptr},
      {L"Mail.ACME.example", nullptr},
      {L"mail-1.acme-travel.example", nullptr},
      {L"3com.example", nullptr},
      {L"a.b", nullptr},
      {L"x.co.uk", nullptr},
      {std::wstring(63, L'a') + L".example", nullptr},
      {L"", L"it is empty"},
      {L"example", L"it is a single label"},
      {L"acme.example.", L"an empty label"},
      {L".acme.example", L"an empty label"},
      {L"acme..example", L"an empty label"},
      {std::wstring(64, L'a') + L".example", L"a label longer than 63 characters"},
      {L"-acme.example", L"a label that begins or ends with a hyphen"},
      {L"acme-.example", L"a label that begins or ends with a hyphen"},
      {L"acme_mail.example", L"a character that is not an ASCII letter, digit, hyphen or dot"},
      {L" acme.example", L"a character that is not an ASCII letter, digit, hyphen or dot"},
      {L"acme.example ", L"a character that is not an ASCII letter, digit, hyphen or dot"},
      {L"b\u00fccher.example", L"a character that is not an ASCII letter, digit, hyphen or dot"},
      {L"acme\uff0eexample", L"a character that is not an ASCII letter, digit, hyphen or dot"},
      {L"acme.example/x", L"a character that is not an ASCII letter, digit, hyphen or dot"},
      {std::wstring(L"acme.example\0.evil", 18),
       L"a character that is not an ASCII letter, digit, hyphen or dot"},
  });
  std::wstring longest;
  while (longest.size() + 4 <= 253)
    longest += L"abc.";
  longest += L"x";
  EXPECT_EQ(longest.size(), 253u);
  EXPECT_EQ(HostNameProblem(longest), nullptr);
  EXPECT_STREQ(HostNameProblem(L"a" + longest), L"it is longer than 253 characters");
}

TEST(HostNameTest, WildcardsAndAddressesAreNoHostNames) {
  ExpectProblems({
      {L"*", L"it holds a wildcard"},
      {L"*.acme.example", L"it holds a wildcard"},
      {L"deals.*", L"it holds a wildcard"},
      {L"acme.ex?mple", L"it holds a wildcard"},
      {L"192.0.2.1", L"it is an IP address"},
      {L"10.1", L"it is an IP address"},
      {L"acme.123", L"it is an IP address"},
      {L"[192.0.2.1]", L"it is an address literal"},
      {L"2001:db8::1", L"it is an address literal"},
      {L"[IPv6:2001:db8::1]", L"it is an address literal"},
  });
}

// Internationalized labels count in their ASCII form, and only when they are Punycode whose
// Unicode form no reader could fold into punctuation.
TEST(HostNameTest, InternationalizedLabelsDecodeAsPunycode) {
  ExpectProblems({
      {L"xn--bcher-kva.example", nullptr},        // bücher
      {L"XN--BCHER-KVA.example", nullptr},        // any case
      {L"mail.xn--mnchen-3ya.example", nullptr},  // münchen
      {L"xn--fiqs8s.example", nullptr},           // 中国
      {L"acme.xn--p1ai", nullptr},                // .рф
      {L"xn--9.example", L"an internationalized label that is not valid Punycode"},
      {L"xn--abc-9.example", L"an internationalized label that is not valid Punycode"},
      // U+0080, a control character.
      {L"xn--a.example",
       L"an internationalized label holding punctuation, space or control characters"},
      {L"xn--99999999999.example", L"an internationalized label that is not valid Punycode"},
      // U+FF0E (full-width full stop) and U+3002 (ideographic full stop): a dot to some.
      {L"xn--acmeexample-0m25d.example",
       L"an internationalized label holding punctuation, space or control characters"},
      {L"xn--acmeexample-7e3j.example",
       L"an internationalized label holding punctuation, space or control characters"},
      // U+FF20, a full-width commercial at.
      {L"xn--dealsacme-fe64c.example",
       L"an internationalized label holding punctuation, space or control characters"},
  });
  EXPECT_FALSE(IsHostName(L"xn--bcher-kva"));  // still two labels at least
}

}  // namespace
}  // namespace tp
