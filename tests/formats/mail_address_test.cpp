// Address fields: the first mailbox of From as RFC 5322 reads it, and why a field gives none.
#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "formats/mail_address.h"
#include "support/test_host.h"

namespace tp::mime {
namespace {

class MailAddressTest : public testing::SimHostTest {};

struct MailboxCase {
  const char* field;  // unfolded
  const wchar_t* address;
  const wchar_t* name;
};

void ExpectMailboxes(const MailboxCase* begin, const MailboxCase* end) {
  for (const MailboxCase* c = begin; c != end; ++c) {
    std::wstring problem = L"not cleared";
    const Mailbox mailbox = ParseMailbox(c->field, &problem);
    EXPECT_EQ(mailbox.address, c->address) << c->field;
    EXPECT_EQ(mailbox.displayName, c->name) << c->field;
    EXPECT_EQ(problem, L"") << c->field;
    // What the reader gives reads back as itself.
    EXPECT_EQ(ParseMailbox("<" + WideToUtf8(mailbox.address) + ">").address, mailbox.address)
        << c->field;
  }
}

TEST_F(MailAddressTest, CurrentForms) {
  const MailboxCase cases[] = {
      {"Acme Travel <deals@acmetravel.example>", L"deals@acmetravel.example", L"Acme Travel"},
      {"\"Doe, Jane \\\"JD\\\"\" <jane@x.example>", L"jane@x.example", L"Doe, Jane \"JD\""},
      {"=?utf-8?q?Caf=C3=A9?= <cafe@x.example>", L"cafe@x.example", L"Caf\u00E9"},
      {"=?iso-8859-1?q?Andr=E9?= =?iso-8859-1?q?_Pirard?= <pirard@x.example>", L"pirard@x.example",
       L"Andr\u00E9 Pirard"},
      // Encoded-words inside quotes are not allowed, but mailers write them and readers
      // decode them.
      {"\"=?utf-8?b?Q2Fmw6k=?=\" <cafe@x.example>", L"cafe@x.example", L"Caf\u00E9"},
      {"plain@x.example", L"plain@x.example", L""},
      {"plain@x.example (Plain Person)", L"plain@x.example", L"Plain Person"},
      {"(Acme Travel) deals@acmetravel.example", L"deals@acmetravel.example", L"Acme Travel"},
      {"first@x.example, second@y.example", L"first@x.example", L""},
      {"\"Acme Travel\" <DEALS@AcmeTravel.Example>", L"DEALS@AcmeTravel.Example", L"Acme Travel"},
      {"user@[192.0.2.10]", L"user@[192.0.2.10]", L""},
      // A domain literal loses its folding white space and keeps its escapes.
      {"<user@[ 192.0.2.10 ]>", L"user@[192.0.2.10]", L""},
      {"<user@[odd\\]one]>", L"user@[odd\\]one]", L""},
      {"<user@[odd\\ one]>", L"user@[odd\\ one]", L""},
      {"\"a\\\rb\"@x.example", L"\"a\\\rb\"@x.example", L""},
      {"J\xC3\xB6rg <j\xC3\xB6rg@b\xC3\xBC"
       "cher.example>",
       L"j\u00F6rg@b\u00FCcher.example", L"J\u00F6rg"},
  };
  ExpectMailboxes(std::begin(cases), std::end(cases));
}

// Comments and folding white space may stand between any two tokens, inside the angle
// brackets too (RFC 5322 3.2.2, 3.4.1).
TEST_F(MailAddressTest, CommentsAndWhiteSpaceAnywhere) {
  const MailboxCase cases[] = {
      {"<deals@ acmetravel.example>", L"deals@acmetravel.example", L""},
      {"<deals(x)@acmetravel.example>", L"deals@acmetravel.example", L""},
      {"Acme <deals (sales desk) @ (main) acmetravel.example (hq)>", L"deals@acmetravel.example",
       L"Acme"},
      {"  Acme\t Travel  < deals@acmetravel.example >  ", L"deals@acmetravel.example",
       L"Acme Travel"},
      {"A (comment <not@this.example>) <real@x.example>", L"real@x.example", L"A"},
      {"Acme (the (nested \\) comment)) <real@x.example>", L"real@x.example", L"Acme"},
      // RFC 5322 appendix A.5.
      {"Pete(A nice \\) chap) <pete(his account)@silly.test(his host)>", L"pete@silly.test",
       L"Pete"},
      {"A Group(Some people)     :Chris Jones <c@(Chris's host.)public.example>,"
       "         joe@example.org,  John <jdoe@one.test> (my dear friend); (the end of the group)",
       L"c@public.example", L"Chris Jones"},
  };
  ExpectMailboxes(std::begin(cases), std::end(cases));
}

// Local parts in quotes give their content; it keeps its quotes only when it needs them.
TEST_F(MailAddressTest, QuotedLocalParts) {
  const MailboxCase cases[] = {
      {"\"john.doe\"@x.example", L"john.doe@x.example", L""},
      {"\"john doe\"@x.example", L"\"john doe\"@x.example", L""},
      {"Jane <\"jane\\@home\"@x.example>", L"\"jane@home\"@x.example", L"Jane"},
      {"<\"a\\\"b\"@x.example>", L"\"a\\\"b\"@x.example", L""},
      {"<\"\"@x.example>", L"\"\"@x.example", L""},
  };
  ExpectMailboxes(std::begin(cases), std::end(cases));
}

// The obsolete syntax of RFC 5322 section 4.4, which receivers must still read.
TEST_F(MailAddressTest, ObsoleteForms) {
  const MailboxCase cases[] = {
      // Appendix A.6.1: a phrase with a period, a source route.
      {"Joe Q. Public <john.q.public@example.com>", L"john.q.public@example.com", L"Joe Q. Public"},
      {"Mary Smith <@node.test:mary@example.net>", L"mary@example.net", L"Mary Smith"},
      {"<@relay.example,@other.example:routed@x.example>", L"routed@x.example", L""},
      {"<,@relay.example:routed@x.example>", L"routed@x.example", L""},
      // Appendix A.6.3: white space and comments between the dots of a domain.
      {"John Doe <jdoe@machine(comment).  example>", L"jdoe@machine.example", L"John Doe"},
      // obs-local-part: words, quoted or not, joined by dots with white space between.
      {" deals . team @ acmetravel . example", L"deals.team@acmetravel.example", L""},
      {"\"john\".\"doe\"@x.example", L"john.doe@x.example", L""},
      {"\"john smith\".doe@x.example", L"\"john smith.doe\"@x.example", L""},
      // obs-mbox-list: empty elements before the first mailbox.
      {", ,first@x.example", L"first@x.example", L""},
      // Groups (allowed in From since RFC 6854): the first mailbox in the first group
      // that holds one.
      {"Team: one@x.example, two@y.example;", L"one@x.example", L""},
      {"undisclosed-recipients:;, real@x.example", L"real@x.example", L""},
      {"Team:(nobody);, Other: ,real@x.example;", L"real@x.example", L""},
      // Addresses with repeated or trailing dots, as some mobile carriers issued them.
      {"taro..yamada.@docomo.example", L"taro..yamada.@docomo.example", L""},
  };
  ExpectMailboxes(std::begin(cases), std::end(cases));
}

// Common departures that still name one mailbox unambiguously.
TEST_F(MailAddressTest, LenientReadings) {
  const MailboxCase cases[] = {
      // An unclosed angle bracket at the end of the field.
      {"Broken <unclosed@x.example", L"unclosed@x.example", L"Broken"},
      // The address written, unquoted, as its own display name.
      {"news@x.example <news@x.example>", L"news@x.example", L"news@x.example"},
  };
  ExpectMailboxes(std::begin(cases), std::end(cases));
}

TEST_F(MailAddressTest, FieldsWithoutAReadableMailbox) {
  struct Case {
    std::string_view field;
    const wchar_t* problem;
  };
  const Case cases[] = {
      {"", L"the field is empty"},
      {"  (only a comment) ", L"the field is empty"},
      {"Undisclosed recipients:;", L"it holds only groups without a mailbox"},
      {"deals@acmetravel.example alerts@kestrelbank.example",
       L"two addresses without a comma between them"},
      {"<a@x.example> <b@y.example>", L"two addresses without a comma between them"},
      {"Acme Travel deals@acmetravel.example",
       L"a display name without angle brackets around the address"},
      {"\"Acme Travel\" deals@acmetravel.example",
       L"a display name without angle brackets around the address"},
      {"Acme Travel", L"the address has no @ and domain"},
      {"MAILER-DAEMON", L"the address has no @ and domain"},
      {"Acme <deals>", L"the address has no @ and domain"},
      {"deals@", L"the address has no domain after its @"},
      {"deals@ (nothing)", L"the address has no domain after its @"},
      {"@acmetravel.example", L"the address has nothing before its @"},
      {"<@acmetravel.example>", L"the address has nothing before its @"},
      {"Acme <>", L"nothing between the angle brackets"},
      {"\"Acme <deals@acmetravel.example>", L"a quoted string that is never closed"},
      {"Acme <deals@acmetravel.example> Travel", L"text after the address"},
      {"Acme <deals@acmetravel.example, b@y.example>", L"text after the address"},
      {"deals@acmetravel.example>", L"a '>' without its '<'"},
      {"Outer: Inner: a@x.example;;", L"a group inside a group"},
      {"x@[192.0.2.1", L"a domain literal that is never closed"},
      {"<x@[192.0.2.1>", L"a domain literal that is never closed"},
      // Control characters are no part of an address, wherever they are.
      {std::string_view("deals@acmetravel.example\0.evil.example", 38), L"text after the address"},
      {"deals\x01@acmetravel.example", L"text after the address"},
      {"<deals@acmetravel.example\x7f.evil.example>", L"text after the address"},
      // The first address decides: a readable one after it does not stand in for it.
      {"Acme Travel deals@acmetravel.example, other@y.example",
       L"a display name without angle brackets around the address"},
  };
  for (const Case& c : cases) {
    std::wstring problem;
    const Mailbox mailbox = ParseMailbox(c.field, &problem);
    EXPECT_EQ(mailbox.address, L"") << c.field;
    EXPECT_EQ(problem, c.problem) << c.field;
  }
}

TEST_F(MailAddressTest, HostileFieldsStayLinear) {
  // Deep comment nesting, endless groups and list separators: read without recursion.
  const std::string nested = std::string(1u << 20, '(') + "x" + std::string(1u << 20, ')');
  EXPECT_EQ(ParseMailbox(nested + " a@x.example").address, L"a@x.example");
  std::string groups;
  for (int i = 0; i < 100000; ++i)
    groups += "g:;";
  EXPECT_EQ(ParseMailbox(groups + "last@x.example").address, L"last@x.example");
  EXPECT_EQ(ParseMailbox(std::string(1u << 20, ',') + "a@x.example").address, L"a@x.example");
  std::wstring problem;
  EXPECT_EQ(ParseMailbox(std::string(1u << 20, '.') + "@x.example", &problem).address,
            std::wstring(1u << 20, L'.') + L"@x.example");
  EXPECT_EQ(ParseMailbox("\"" + std::string(1u << 20, '\\'), &problem).address, L"");
  EXPECT_EQ(problem, L"a quoted string that is never closed");
}

// The whole list as one short text: the mailbox count, then what else it holds.
std::string Shape(std::string_view field) {
  const AddressListShape shape = ReadAddressList(field);
  std::string text = std::to_string(shape.mailboxes);
  auto add = [&text](bool present, const std::string& mark) {
    if (present)
      text += " " + mark;
  };
  add(shape.groups > 0, "groups=" + std::to_string(shape.groups));
  add(shape.emptyElements > 0, "empty=" + std::to_string(shape.emptyElements));
  add(shape.sourceRoute, "route");
  add(shape.specialInComment != 0, std::string("comment") + shape.specialInComment);
  add(shape.specialInQuotes != 0, std::string("quotes") + shape.specialInQuotes);
  add(shape.encodedWordInAddress, "encoded");
  add(shape.angleOutsideAddress, "angle-outside");
  add(shape.unclosedAngle, "unclosed-angle");
  add(shape.unclosedComment, "unclosed-comment");
  add(!shape.problem.empty(), "problem");
  return text;
}

struct ShapeCase {
  const char* field;
  const char* shape;
};

void ExpectShapes(std::initializer_list<ShapeCase> cases) {
  for (const ShapeCase& c : cases)
    EXPECT_EQ(Shape(c.field), c.shape) << c.field;
}

// What every reader takes for the same one mailbox: nothing but the count.
TEST_F(MailAddressTest, ListsThatEveryReaderReadsAlike) {
  ExpectShapes({
      {"Acme <deals@acme.example>", "1"},
      {"deals(x)@acme.example", "1"},
      {"deals @ acme.example", "1"},
      {"Acme <deals (desk) @ acme.example>", "1"},
      {"\"Acme, Inc.\" <deals@acme.example>", "1"},
      {"\"deals@acme.example\" <deals@acme.example>", "1"},
      {"=?utf-8?q?Acme_=E2=9C=88?= <deals@acme.example>", "1"},
      {"deals@acme.example (Acme: deals, news)", "1"},
      {"(Acme) deals@acme.example", "1"},
      {"\"deals\"@acme.example", "1"},
  });
}

// Each beside the class of what other readers may take differently.
TEST_F(MailAddressTest, ListsThatReadersMayReadDifferently) {
  ExpectShapes({
      // More than one mailbox, groups, empty elements.
      {"a@x.example, b@y.example", "2"},
      {"a@x.example,, b@y.example", "2 empty=1"},
      {", deals@acme.example", "1 empty=1"},
      {"deals@acme.example,", "1 empty=1"},
      {"deals@acme.example;", "1 empty=1"},
      {"Team: deals@acme.example;", "1 groups=1"},
      {"\"deals@acme.example\": x@evil.example;", "1 groups=1"},
      {"undisclosed:;, deals@acme.example", "1 groups=1"},
      {"Team: a@x.example; Other: b@y.example;", "2 groups=2"},
      // Source routes.
      {"<@evil.example:deals@acme.example>", "1 route"},
      {"Acme <@a.example,@b.example:deals@acme.example>", "1 route"},
      // Comments and quoted text inside the address that hold address characters.
      {"news(deals@evil.example)@acme.example", "1 comment@"},
      {"news@(evil.example>)acme.example", "1 comment>"},
      {"Acme <deals@acme.example (x,y)>", "1 comment,"},
      {"Acme <(evil:) deals@acme.example>", "1 comment:"},
      {"\"deals@acme.example\"@evil.example", "1 quotes@"},
      {"Acme <\"a;b\"@acme.example>", "1 quotes;"},
      // Encoded-words where only an address may be.
      {"=?utf-8?q?deals=40acme.example?=@evil.example", "1 encoded"},
      {"Acme <=?us-ascii?q?deals?=@acme.example>", "1 encoded"},
      // Angle brackets outside the address.
      {"\"<deals@acme.example>\" <x@evil.example>", "1 angle-outside"},
      {"deals@acme.example (<x@evil.example>)", "1 angle-outside"},
      {"(<x@evil.example>) deals@acme.example", "1 angle-outside"},
      {"Acme (<x@evil.example>) <deals@acme.example>", "1 angle-outside"},
      // Left unclosed.
      {"Acme <deals@acme.example", "1 unclosed-angle"},
      {"deals@acme.example (Acme", "1 unclosed-comment"},
      // Not readable as a list at all.
      {"a@x.example, Broken b@y.example", "1 problem"},
      {"Acme deals@acme.example", "0 problem"},
      {"Undisclosed:;", "0 groups=1 problem"},
  });
  // The first mailbox is the one the reader of a message's sender takes.
  EXPECT_EQ(ReadAddressList("undisclosed:;, real@x.example, other@y.example").first.address,
            L"real@x.example");
}

TEST_F(MailAddressTest, LongListsAreReadToTheEndLinearly) {
  std::string list;
  for (int i = 0; i < 100000; ++i)
    list += "(c@c) a" + std::to_string(i) + "@x.example, ";
  const AddressListShape shape = ReadAddressList(list + "last@x.example");
  EXPECT_EQ(shape.mailboxes, 100001u);
  EXPECT_EQ(shape.problem, L"");
  const std::string nested = std::string(1u << 20, '(') + "x@y";
  EXPECT_TRUE(ReadAddressList("a@x.example " + nested).unclosedComment);
}

}  // namespace
}  // namespace tp::mime
