// The message class scheme, the active-content marker and form region registration.
#include <gtest/gtest.h>

#include "branding/active_content.h"
#include "branding/form_regions.h"
#include "branding/message_class.h"
#include "platform/registry_values.h"
#include "support/test_host.h"

namespace tp {
namespace {

TEST(MessageClassTest, BrandedClassesAndTheirFormRegions) {
  EXPECT_EQ(BrandedClassFor(L"IPM.Note", L"Acme"), L"IPM.Note.Tidepost.Acme");
  EXPECT_EQ(FormRegionsFor(L"IPM.Note", L"Acme"), std::vector<std::wstring>{L"Tidepost.Acme"});
  EXPECT_EQ(BrandedClassFor(L"IPM.Note.SMIME.MultipartSigned", L"Acme"),
            L"IPM.Note.SMIME.MultipartSigned.Tidepost.Acme.SMIME.MultipartSigned");
  EXPECT_EQ(BrandedClassFor(L"IPM.Note.SMIME", L"Acme"), L"IPM.Note.SMIME.Tidepost.Acme.SMIME");
  EXPECT_EQ(FormRegionsFor(L"IPM.Note.SMIME", L"Acme"),
            (std::vector<std::wstring>{L"Tidepost.Acme",
                                       L"SMIME.MultipartSigned.Tidepost.Acme.SMIME.MultipartSigned",
                                       L"SMIME.Tidepost.Acme.SMIME"}));
  EXPECT_TRUE(IsSmimeClass(L"IPM.Note.Custom.MultipartSigned"));
  EXPECT_FALSE(IsSmimeClass(L"IPM.Note.Smime"));
  EXPECT_TRUE(IsBrandedClass(L"IPM.Note.Tidepost.Acme"));
}

TEST(MessageClassTest, FormRegionOfABrandedClassRestoresALostSuffix) {
  EXPECT_EQ(FormRegionOfBrandedClass(L"IPM.Note.Tidepost.Acme"), L"Tidepost.Acme");
  EXPECT_EQ(FormRegionOfBrandedClass(L"IPM.Note.SMIME.Tidepost.Acme"),
            L"SMIME.Tidepost.Acme.SMIME");
  EXPECT_EQ(FormRegionOfBrandedClass(L"IPM.Note.SMIME.MultipartSigned.Tidepost.Acme"),
            L"SMIME.MultipartSigned.Tidepost.Acme.SMIME.MultipartSigned");
  EXPECT_EQ(FormRegionOfBrandedClass(L"IPM.Note.SMIME.Tidepost.Acme.SMIME"),
            L"SMIME.Tidepost.Acme.SMIME");
}

TEST(MessageClassTest, BrandNameOfAClass) {
  bool found = false;
  EXPECT_EQ(BrandNameOfClass(L"IPM.Note.SMIME.Tidepost.Acme.SMIME", &found), L"Acme");
  EXPECT_TRUE(found);
  EXPECT_EQ(BrandNameOfClass(L"IPM.Note.Tidepost..Odd", &found), L".Odd");
  EXPECT_EQ(BrandNameOfClass(L"IPM.Note.Tidepost", &found), L"");
  EXPECT_FALSE(found);
}

TEST(MessageClassTest, TheWholeBrandAndTheClassBeforeBranding) {
  const struct {
    const wchar_t* branded;
    std::optional<std::wstring> brand;
    const wchar_t* before;
  } cases[] = {
      {L"IPM.Note.Tidepost.Acme", L"Acme", L"IPM.Note"},
      {L"IPM.Note.Tidepost.Booking.com", L"Booking.com", L"IPM.Note"},
      {L"IPM.Note.SMIME.Tidepost.Booking.com.SMIME", L"Booking.com", L"IPM.Note.SMIME"},
      {L"IPM.Note.SMIME.Tidepost.Acme", L"Acme", L"IPM.Note.SMIME"},
      {L"IPM.Note.SMIME.MultipartSigned.Tidepost.Acme.SMIME.MultipartSigned", L"Acme",
       L"IPM.Note.SMIME.MultipartSigned"},
      {L"IPM.Note.Tidepost.", L"", L"IPM.Note"},
      {L"IPM.Note.Custom.Tidepost.Acme", std::nullopt, L"IPM.Note"},
      {L"IPM.Note.Custom.MultipartSigned.Tidepost.Acme", std::nullopt,
       L"IPM.Note.SMIME.MultipartSigned"},
      {L"IPM.Note.tidepost.Acme", std::nullopt, L"IPM.Note"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BrandOfBrandedClass(c.branded), c.brand) << c.branded;
    EXPECT_EQ(UnbrandedClassOf(c.branded), c.before) << c.branded;
  }
}

TEST(ActiveContentTest, TheFirstPointerWithAResourceWins) {
  const auto pointer = FindActiveContentPointer(
      L"x [APPointer: id=1 :APPointer] y [APPointer: Res = A1 ; pos=bottom :APPointer]");
  EXPECT_TRUE(pointer.found);
  EXPECT_EQ(pointer.pointer, L"Res=A1;pos=bottom");
  EXPECT_FALSE(pointer.messageMode);
}

TEST(ActiveContentTest, PlacementIsMessageWithoutPosOrWhenItStartsWithMessage) {
  EXPECT_TRUE(FindActiveContentPointer(L"[APPointer:res=1:APPointer]").messageMode);
  EXPECT_TRUE(FindActiveContentPointer(L"[APPointer:res=1;POS=MessageBody:APPointer]").messageMode);
  EXPECT_FALSE(FindActiveContentPointer(L"[APPointer:res=1;pos=messag:APPointer]").messageMode);
}

TEST(ActiveContentTest, UnclosedOrMiscasedMarkersAreNotPointers) {
  EXPECT_FALSE(FindActiveContentPointer(L"[APPointer:res=1").found);
  EXPECT_FALSE(FindActiveContentPointer(L"[appointer:res=1:APPointer]").found);
  EXPECT_FALSE(FindActiveContentPointer(L"").found);
}

TEST(ActiveContentTest, PleaseWaitPageCarriesThePointerAndTheHideTimer) {
  const std::wstring page = BuildPleaseWaitPage(L"res=A1;pos=message");
  EXPECT_EQ(page.rfind(L"<html><head><meta http-equiv=\"X-UA-Compatible\" content=\"IE=9\">", 0),
            0u);
  EXPECT_NE(page.find(L"<base target=\"_blank\" href=\"http://"), std::wstring::npos);
  EXPECT_NE(page.find(L"<script>setTimeout(function() { var elem = "
                      L"document.getElementById('please_wait_div');if (elem && elem.offsetWidth) "
                      L"window.TidepostBHOObject.sendHideActiveContent();},7000);</script>"),
            std::wstring::npos);
  EXPECT_NE(page.find(L"<span id=\"please_wait_div\"><h1>Please wait...</h1><hr></span>"
                      L"<div style=\"display: none\">[APPointer:res=A1;pos=message:APPointer]"
                      L"</div></body></html>"),
            std::wstring::npos);
}

class FormRegionTest : public testing::SimHostTest {};

TEST_F(FormRegionTest, RegistersPerUserUnlessAlreadyRegisteredSomewhere) {
  EXPECT_TRUE(RegisterFormRegion(L"Tidepost.Acme"));
  auto key = OpenRegistryKey(host::RegRoot::kCurrentUser,
                             L"Software\\Microsoft\\Office\\Outlook\\FormRegions\\"
                             L"IPM.Note.Tidepost.Acme",
                             host::RegAccess::kRead);
  ASSERT_TRUE(key);
  EXPECT_EQ(ReadStringValue(*key, L"Tidepost.Acme"), L"=TidepostOutlookAddIn.Connect");
  EXPECT_TRUE(Logged(L"Registering new form region Tidepost.Acme"));

  std::unique_ptr<host::RegistryKey> machine;
  sim()
      .registry.Root(host::RegRoot::kLocalMachine)
      .CreateSubKey(L"Software\\Microsoft\\Office\\Outlook\\FormRegions\\IPM.Note.Tidepost.Beta",
                    host::RegAccess::kReadWrite, &machine);
  EXPECT_TRUE(RegisterFormRegion(L"Tidepost.Beta"));
  EXPECT_FALSE(Logged(L"Registering new form region Tidepost.Beta"));
}

TEST_F(FormRegionTest, AFailedWriteIsReportedAsFalse) {
  sim().registry.SetFault([](const host::RegOperation& op) {
    return op.name == L"CreateKey" ? host::kRegAccessDenied : host::kRegOk;
  });
  EXPECT_FALSE(RegisterFormRegion(L"Tidepost.Acme"));
}

}  // namespace
}  // namespace tp
