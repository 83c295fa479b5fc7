// The form region manifest and the sender icons on the simulated host: the exact manifest,
// names that would change it, and the icon file a name leads to (never one outside the icon
// folder).
#include "display/form_region_provider.h"

#include <gtest/gtest.h>

#include "host/sim/sim_pictures.h"
#include "support/test_host.h"

namespace tp {
namespace {

using host::sim::SimPicture;

std::wstring ManifestNaming(const std::wstring& escapedName) {
  return L"<?xml version=\"1.0\" encoding=\"utf-8\" ?>"
         L"<FormRegion xmlns=\"http://schemas.microsoft.com/office/outlook/12/formregion.xsd\">"
         L"<name>" +
         escapedName +
         L"</name><title>Brisklet</title><hidden>true</hidden>"
         L"<addin>TidepostOutlookAddIn.Connect</addin><exactMessageClass>true</exactMessageClass>"
         L"<formRegionType>replaceAll</formRegionType><showInspectorRead>false</showInspectorRead>"
         L"<showReadingPane>false</showReadingPane><showInspectorCompose>false"
         L"</showInspectorCompose><icons><default>addin</default><read>addin</read>"
         L"<unread>addin</unread><replied>addin</replied><forwarded>addin</forwarded>"
         L"<unsent>addin</unsent><submitted>addin</submitted><signed>addin</signed>"
         L"<encrypted>addin</encrypted><window>addin</window><recurring>addin</recurring>"
         L"<page>addin</page></icons></FormRegion>";
}

class FormRegionProviderTest : public testing::SimHostTest {
 protected:
  std::filesystem::path IconFolder() const { return DataFolder() / "provider_icons"; }
  void WriteIcon(const std::string& sender, const std::string& bytes = std::string("\0\0\1\0", 4)) {
    std::filesystem::create_directories(IconFolder());
    testing::WriteFileBytes(IconFolder() / (sender + ".ico"), bytes);
  }
  std::wstring IconPath(const std::string& sender) const {
    return (IconFolder() / (sender + ".ico")).wstring();
  }
};

TEST_F(FormRegionProviderTest, EveryNameGetsTheSameHiddenManifestWithAllTwelveIcons) {
  for (const wchar_t* name :
       {L"Tidepost.Acme", L"SMIME.Tidepost.Acme.SMIME", L"Unknown", L"", L"Tidepost.Zo\u00EB"}) {
    EXPECT_EQ(FormRegionManifest(name), ManifestNaming(name)) << name;
    EXPECT_TRUE(Logged(std::wstring(L"In GetFormRegionManifest: ") + name)) << name;
  }
}

TEST_F(FormRegionProviderTest, ANameCannotAddMarkupToTheManifest) {
  // Form region names come from message classes, which mail can set.
  const std::wstring high(1, static_cast<wchar_t>(0xD800));
  const struct {
    std::wstring name;
    std::wstring escaped;
  } cases[] = {
      {L"Tidepost.x</name><hidden>false</hidden><name>",
       L"Tidepost.x&lt;/name&gt;&lt;hidden&gt;false&lt;/hidden&gt;&lt;name&gt;"},
      {L"Tidepost.A&B \"C\" 'D'", L"Tidepost.A&amp;B &quot;C&quot; &apos;D&apos;"},
      {L"Tidepost.]]>", L"Tidepost.]]&gt;"},
      {L"Tidepost.\x01\x1F\tx", L"Tidepost.\xFFFD\xFFFD\tx"},
      {L"Tidepost." + high + L"x", L"Tidepost.\xFFFDx"},
      {L"Tidepost.\U0001F600", L"Tidepost.\U0001F600"},  // a character beyond the BMP stays
  };
  for (const auto& test : cases) {
    EXPECT_EQ(FormRegionManifest(test.name), ManifestNaming(test.escaped));
  }
}

TEST(SenderNameTest, TheWholeBrandNameOfEachBrandedForm) {
  const struct {
    const wchar_t* region;
    const wchar_t* sender;
  } cases[] = {
      {L"Tidepost.Acme", L"Acme"},
      {L"SMIME.Tidepost.Acme.SMIME", L"Acme"},
      {L"SMIME.MultipartSigned.Tidepost.Acme.SMIME.MultipartSigned", L"Acme"},
      {L"SMIME.Tidepost.Acme", L"Acme"},  // a class that lost its suffix
      {L"Tidepost.Booking.com", L"Booking.com"},
      {L"SMIME.Tidepost.Booking.com.SMIME", L"Booking.com"},
      {L"Tidepost.Evil.PayPal", L"Evil.PayPal"},  // never PayPal's icon
      {L"Tidepost.Acme.SMIME", L"Acme.SMIME"},    // the plain form has no suffix
      {L"Acme", L"Acme"},
      {L"Tidepost.", L""},
      {L"", L""},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(SenderNameOfFormRegion(test.region), test.sender) << test.region;
  }
}

TEST_F(FormRegionProviderTest, ADottedBrandShowsItsOwnIconAndNoOtherBrands) {
  WriteIcon("PayPal");
  EXPECT_EQ(FormRegionIcon(L"Tidepost.Evil.PayPal"), nullptr);
  WriteIcon("Booking.com");
  std::unique_ptr<host::Picture> picture = FormRegionIcon(L"SMIME.Tidepost.Booking.com.SMIME");
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(static_cast<SimPicture&>(*picture).path(), IconPath("Booking.com"));
}

TEST_F(FormRegionProviderTest, EveryFormOfASendersRegionShowsItsIcon) {
  WriteIcon("Acme");
  for (const wchar_t* region :
       {L"Tidepost.Acme", L"SMIME.Tidepost.Acme.SMIME",
        L"SMIME.MultipartSigned.Tidepost.Acme.SMIME.MultipartSigned", L"Acme"}) {
    std::unique_ptr<host::Picture> picture = FormRegionIcon(region);
    ASSERT_NE(picture, nullptr) << region;
    EXPECT_EQ(static_cast<SimPicture&>(*picture).path(), IconPath("Acme"));
    EXPECT_EQ(static_cast<SimPicture&>(*picture).size(), 16);
    EXPECT_TRUE(Logged(std::wstring(L"Getting icon for form region ") + region));
  }
}

TEST_F(FormRegionProviderTest, NoIconBeforeTheFileArrivesAndTheFileIsReadAfresh) {
  EXPECT_EQ(FormRegionIcon(L"Tidepost.Kestrel"), nullptr);
  EXPECT_EQ(sim().pictures.Loads(), (std::vector<std::wstring>{IconPath("Kestrel")}))
      << "the icon folder is looked in all the same";
  WriteIcon("Kestrel", "<html>not an icon</html>");
  EXPECT_EQ(FormRegionIcon(L"Tidepost.Kestrel"), nullptr);
  WriteIcon("Kestrel");
  EXPECT_NE(FormRegionIcon(L"Tidepost.Kestrel"), nullptr);
  WriteIcon("Kestrel", "half");
  EXPECT_EQ(FormRegionIcon(L"Tidepost.Kestrel"), nullptr);
}

TEST_F(FormRegionProviderTest, ANameThatIsNoFileNameReadsNoFile) {
  WriteIcon("evil");
  for (const std::wstring region :
       {L"Tidepost.x\\..\\..\\evil", L"Tidepost.x/../../evil", L"Tidepost.C:evil",
        L"Tidepost.\\\\server\\share\\evil", L"Tidepost.a*b", L"Tidepost.CON", L"Tidepost.nul ",
        L"Tidepost.COM1", L"Tidepost.\x01", L"Tidepost.", L"", L"SMIME.Tidepost..SMIME"}) {
    EXPECT_EQ(FormRegionIcon(region), nullptr) << region;
    EXPECT_TRUE(
        Logged(L"No icon for form region " + region + L": the sender name cannot be a file name"))
        << region;
  }
  EXPECT_TRUE(sim().pictures.Loads().empty());
}

}  // namespace
}  // namespace tp
