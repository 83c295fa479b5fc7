// The S/MIME check on Windows end to end: a message's attachment table and attachment data
// through the Extended MAPI adapter, and the fixture's signed messages through it and
// CryptoAPI.
#include <gtest/gtest.h>

#include "base/text.h"
#include "fake_mapi.h"
#include "host/host.h"
#include "host/platform.h"
#include "host/sim/eml_reader.h"
#include "host/win32/outlook/mapi_objects.h"
#include "smime/smime_message.h"
#include "support/smime_cases.h"
#include "support/smime_fixtures.h"
#include "support/test_host.h"

namespace tp {
namespace {

using host::win32::ComPtr;
using testing::FakeAttachmentData;
using testing::FakeMessage;

TEST(MapiAttachmentsTest, ReadsEveryRowInBatchesAndOpensAttachmentData) {
  ComPtr<FakeMessage> fake = FakeMessage::Create();
  fake->attachments = {
      {0, L"statement.pdf", std::nullopt, "%PDF-1.7"},
      {1, std::nullopt, "SMIME.P7M", std::string(70000, '\x30')},
      {std::nullopt, L"smime.p7s", "smime.p7s", "sig"},
  };
  fake->attachmentBatch = 2;
  std::shared_ptr<host::MapiMessage> message = host::win32::MakeMapiMessage(fake.get());
  ASSERT_TRUE(message);

  std::vector<host::AttachmentRow> rows;
  ASSERT_EQ(message->GetAttachmentRows(&rows), hr::kOk);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].number, 0);
  EXPECT_EQ(rows[0].fileNameW, L"statement.pdf");
  EXPECT_FALSE(rows[0].fileNameA.has_value());
  EXPECT_EQ(rows[1].number, 1);
  EXPECT_FALSE(rows[1].fileNameW.has_value());
  EXPECT_EQ(rows[1].fileNameA, "SMIME.P7M");
  EXPECT_FALSE(rows[2].number.has_value());
  EXPECT_EQ(rows[2].fileNameW, L"smime.p7s");

  std::unique_ptr<host::MapiAttachment> attachment;
  ASSERT_EQ(message->OpenAttach(1, &attachment), hr::kOk);
  std::unique_ptr<host::MapiStream> stream;
  EXPECT_EQ(attachment->OpenStream(host::kPrBodyW, &stream), hr::kMapiNotFound);
  ASSERT_EQ(attachment->OpenStream(host::kPrAttachDataBin, &stream), hr::kOk);
  uint64_t size = 0;
  ASSERT_EQ(stream->Stat(&size), hr::kOk);
  EXPECT_EQ(size, 70000u);
  std::string bytes;
  ASSERT_EQ(stream->Read(65536, &bytes), hr::kOk);
  ASSERT_EQ(stream->Read(65536, &bytes), hr::kOk);
  EXPECT_EQ(bytes, std::string(70000, '\x30'));
  ASSERT_EQ(stream->Read(65536, &bytes), hr::kOk);
  EXPECT_EQ(bytes.size(), 70000u);
  EXPECT_EQ(message->OpenAttach(7, &attachment), hr::kMapiNotFound);

  fake->attachments.clear();
  ASSERT_EQ(message->GetAttachmentRows(&rows), hr::kOk);
  EXPECT_TRUE(rows.empty());
}

TEST(SmimeWindowsTest, TheFixturesMessagesGiveTheirCodesThroughMapiAndCryptoApi) {
  if (testing::SmimeFixtureFolder().empty())
    GTEST_SKIP() << "TIDEPOST_SMIME_FIXTURES is not set: run the tests through ctest";
  host::Host platform = host::PlatformHost();
  platform.crypto = &testing::TrustingFixtureRoot();
  host::ScopedHost installed(platform);
  for (const testing::SmimeCase& expected : testing::kSmimeCases) {
    SCOPED_TRACE(expected.file);
    host::sim::SimMail mail;
    std::wstring error;
    ASSERT_TRUE(
        host::sim::ReadEmlFile(testing::SmimeFixtureFolder() / expected.file, &mail, &error));
    // The message as Outlook's store holds it, behind the real MAPI adapter.
    ComPtr<FakeMessage> fake = FakeMessage::Create();
    fake->SetText(host::kPrMessageClassW, mail.props.at(host::kPrMessageClassW).text);
    for (size_t i = 0; i < mail.attachments.size(); ++i) {
      fake->attachments.push_back({static_cast<LONG>(i), mail.attachments[i].fileName, std::nullopt,
                                   mail.attachments[i].bytes});
    }
    const SmimeMessageCheck check = VerifySMimeMessage(*host::win32::MakeMapiMessage(fake.get()));
    if (expected.result == testing::kNoSignaturePart) {
      EXPECT_FALSE(check.hasSignaturePart);
      continue;
    }
    EXPECT_EQ(check.verdict.result, expected.result) << WideToUtf8(DescribeVerdict(check.verdict));
    EXPECT_EQ(check.verdict.ChainsToTrustedRoot(), expected.trustedRoot);
  }
}

}  // namespace
}  // namespace tp
