// The senders list envelope: what is accepted, what is refused, and the branding text taken.
#include "net/senders_envelope.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text.h"

namespace tp {
namespace {

constexpr wchar_t kDeclaration[] = L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n";

std::wstring Envelope(std::wstring_view data) {
  return kDeclaration + (L"<content><data>" + std::wstring(data) + L"</data></content>");
}

TEST(SendersEnvelopeTest, TakesTheBrandingJsonFromItsCdata) {
  const SendersEnvelope envelope = ReadSendersListXml(
      Envelope(L"<senders><s a='1'/></senders>\n<branding><![CDATA[{'branding':[]}]]></branding>"));
  EXPECT_EQ(envelope.status, EnvelopeStatus::kAccepted);
  EXPECT_TRUE(envelope.accepted());
  EXPECT_TRUE(envelope.hasBranding);
  EXPECT_EQ(envelope.brandingJson, L"{'branding':[]}");
}

TEST(SendersEnvelopeTest, TheDeclarationMustOpenTheTextExactly) {
  const std::wstring good = Envelope(L"<senders/>");
  EXPECT_TRUE(ReadSendersListXml(L"\uFEFF" + good).accepted());
  EXPECT_EQ(ReadSendersListXml(L" " + good).status, EnvelopeStatus::kNoXmlDeclaration);
  EXPECT_EQ(ReadSendersListXml(L"\uFEFF\uFEFF" + good).status, EnvelopeStatus::kNoXmlDeclaration);
  EXPECT_EQ(
      ReadSendersListXml(L"<?XML version='1.0'?><content><data><senders/></data></content>").status,
      EnvelopeStatus::kNoXmlDeclaration);
  EXPECT_EQ(ReadSendersListXml(L"").status, EnvelopeStatus::kNoXmlDeclaration);
  EXPECT_EQ(ReadSendersListXml(L"<?xm").status, EnvelopeStatus::kNoXmlDeclaration);
}

TEST(SendersEnvelopeTest, ElementNamesMatchInAnyCase) {
  const SendersEnvelope envelope = ReadSendersListXml(
      std::wstring(kDeclaration) +
      L"<CONTENT><Data><SENDERS/><BrAnDiNg><![CDATA[{}]]></BrAnDiNg></Data></CONTENT>");
  EXPECT_TRUE(envelope.accepted());
  EXPECT_EQ(envelope.brandingJson, L"{}");
}

TEST(SendersEnvelopeTest, EachRequiredElementIsChecked) {
  EXPECT_EQ(ReadSendersListXml(Envelope(L"<branding><![CDATA[{}]]></branding>")).status,
            EnvelopeStatus::kNoSenders);
  EXPECT_EQ(ReadSendersListXml(Envelope(L"<x><senders/></x>")).status, EnvelopeStatus::kNoSenders);
  EXPECT_EQ(
      ReadSendersListXml(std::wstring(kDeclaration) + L"<content><senders/></content>").status,
      EnvelopeStatus::kNoData);
  EXPECT_EQ(ReadSendersListXml(std::wstring(kDeclaration) + L"<data><senders/></data>").status,
            EnvelopeStatus::kNoContent);
  EXPECT_EQ(ReadSendersListXml(std::wstring(kDeclaration) +
                               L"<root><content><data><senders/></data></content></root>")
                .status,
            EnvelopeStatus::kNoContent);
}

TEST(SendersEnvelopeTest, BrandingIsOptionalAndOnlyItsClearSectionCounts) {
  const SendersEnvelope without = ReadSendersListXml(Envelope(L"<senders/>"));
  EXPECT_TRUE(without.accepted());
  EXPECT_FALSE(without.hasBranding);
  EXPECT_EQ(without.brandingJson, L"");

  const SendersEnvelope plain =
      ReadSendersListXml(Envelope(L"<senders/><branding>{\"branding\":[]}</branding>"));
  EXPECT_TRUE(plain.accepted());
  EXPECT_TRUE(plain.hasBranding);
  EXPECT_EQ(plain.brandingJson, L"");

  // The first clear section of any kind is taken, a comment included.
  const SendersEnvelope commented =
      ReadSendersListXml(Envelope(L"<senders/><branding>x<!--note--><![CDATA[{}]]></branding>"));
  EXPECT_EQ(commented.brandingJson, L"note");
  // Only the first "branding" element is read.
  EXPECT_EQ(ReadSendersListXml(Envelope(L"<senders/><branding><![CDATA[1]]></branding>"
                                        L"<branding><![CDATA[2]]></branding>"))
                .brandingJson,
            L"1");
}

TEST(SendersEnvelopeTest, AnUnknownEntityAnywhereRejectsTheWholeEnvelope) {
  const SendersEnvelope inText =
      ReadSendersListXml(Envelope(L"<senders>Caf&eacute;</senders><branding><![CDATA[{}]]>"
                                  L"</branding>"));
  EXPECT_EQ(inText.status, EnvelopeStatus::kMalformedXml);
  EXPECT_EQ(inText.xmlError.reason, L"unknown entity \"&eacute;\"");
  EXPECT_EQ(ReadSendersListXml(Envelope(L"<senders a='&bad;'/>")).status,
            EnvelopeStatus::kMalformedXml);
  // Clear sections are not decoded, and the five named entities are fine.
  EXPECT_TRUE(ReadSendersListXml(Envelope(L"<senders>&AMP;&#233;</senders><branding>"
                                          L"<![CDATA[{'n':'&eacute;'}]]></branding>"))
                  .accepted());
}

TEST(SendersEnvelopeTest, XmlErrorOffsetsIndexTheCallersText) {
  const std::wstring text = L"\uFEFF" + Envelope(L"<senders></x>");
  const SendersEnvelope envelope = ReadSendersListXml(text);
  EXPECT_EQ(envelope.status, EnvelopeStatus::kMalformedXml);
  EXPECT_EQ(text.substr(envelope.xmlError.offset, 4), L"</x>");
}

TEST(SendersEnvelopeTest, FileBytesAreUtf8WithAByteOrderMarkSkippedFromFourBytes) {
  EXPECT_EQ(DecodeSendersListFile("\xEF\xBB\xBF<?xml"), L"<?xml");
  EXPECT_EQ(DecodeSendersListFile("\xEF\xBB\xBF<"), L"<");
  // Three bytes in all: the mark is kept, as a U+FEFF character.
  EXPECT_EQ(DecodeSendersListFile("\xEF\xBB\xBF"), L"\uFEFF");
  EXPECT_EQ(DecodeSendersListFile("caf\xC3\xA9"), L"caf\u00E9");
  EXPECT_EQ(DecodeSendersListFile(""), L"");
  // A file with a mark reads like its twin without one.
  const std::string file = WideToUtf8(Envelope(L"<senders/><branding><![CDATA[{}]]></branding>"));
  EXPECT_EQ(ReadSendersListXml(DecodeSendersListFile("\xEF\xBB\xBF" + file)).brandingJson, L"{}");
}

}  // namespace
}  // namespace tp
