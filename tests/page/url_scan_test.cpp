// Reading values for URLs: a script scheme, a network path or a remote location counts after
// any separator and however spaced or cased; ordinary links, paths and words do not.
#include "page/url_scan.h"

#include <gtest/gtest.h>

#include <string>

namespace tp {
namespace {

struct Case {
  const wchar_t* value;
  bool found;
};

template <size_t N>
void ExpectAll(const Case (&cases)[N], bool UrlScan::*finding) {
  for (const Case& test : cases)
    EXPECT_EQ(ScanUrls(test.value).*finding, test.found) << ::testing::PrintToString(test.value);
}

TEST(UrlScanTest, ScriptSchemesCountAfterAnySeparator) {
  const Case cases[] = {
      {L"javascript:alert(1)", true},
      {L"#a;javascript:alert(1)", true},  // an animation's list of values
      {L"0; JavaScript:alert(1)", true},
      {L"ok.png 1x,java\tscript:x 2x", true},
      {L"a \nv\rb\ts\t:x", true},
      {L"url=livescript:x", true},
      {L"(mocha:x)", true},
      {L"\x01javascript:x", true},
      {L"x|ms-its:y", true},
      // Not a scheme of its own: the letters run on from the text before, or stop short.
      {L"jxavascript:alert(1)", false},
      {L"xjavascript:alert(1)", false},
      {L"a.javascript:x", false},
      {L"note: javascript is off", false},
      {L"java script:x", false},
  };
  ExpectAll(cases, &UrlScan::scriptUrl);
}

TEST(UrlScanTest, NetworkPathsCountHoweverWritten) {
  const Case cases[] = {
      {L"\\\\attacker\\share\\x.png", true},
      {L"\\/attacker/share", true},
      {L"/\\attacker\\share", true},
      {L"//attacker/share/x.png", true},
      {L" \t/\n/attacker/x", true},
      {L"ok.png 1x, //attacker/x.png 2x", true},
      {L"url(//attacker/x.png)", true},
      {L"a=1&b=//attacker/x", true},
      {L"file://attacker/share/x.png", true},
      {L"FILE:////attacker/share", true},
      {L"fi\tle:\\\\attacker", true},
      {L"x;file:/attacker", true},
      {L"progid:DXImageTransform.Microsoft.AlphaImageLoader(src='x.png')", true},
      {L"PROG ID:x", true},
      {L"pprogid", true},
      // Web URLs with double slashes, drive paths and local file URLs are no shares.
      {L"https://shop.example/a//b.png?next=https://x.example/", false},
      {L"file:///C:/Users/ann/AppData/Local/Temp/Tidepost/outlook_temp/1_2/3_a.png", false},
      {L"file:C|/x.png", false},
      {L"https://t.file:///h.png", false},  // a host named "t.file" with an empty port
      {L"C:\\Users\\ann\\x.png", false},
      {L"folder/x.png", false},
      {L"program id", false},
      {L" data:image/jpeg;base64,//8AprogidAAA", false},
  };
  ExpectAll(cases, &UrlScan::networkPath);
}

TEST(UrlScanTest, RemoteLocationsAreAbsoluteOrProtocolRelativeUrls) {
  const Case cases[] = {
      {L"https://t.example/p.gif", true},
      {L" HTTP://t.example/", true},
      {L"ftp://files.example/a", true},
      {L"a.png 1x, https://t.example/b.png 2x", true},
      {L"0;url=http://t.example/", true},
      {L"//cdn.example/x.png", true},
      {L"x-unknown:thing", true},
      {L"vxbscript:https://t.example/", true},  // read as a list, its second item
      {L"averyveryverylongscheme:x", true},
      {L"cid:logo@shop", false},
      {L"data:image/png;base64,AAAA", false},
      {L"mailto:help@shop.example", false},
      {L"tel:+441234", false},
      {L"urn:schemas-microsoft-com:office:office", false},
      {L"C:/Users/ann/x.png", false},
      {L"file:///C:/x.png", false},
      {L"#_x0000_t75", false},
      {L"12:30", false},
      {L"logo.png", false},
  };
  ExpectAll(cases, &UrlScan::remote);
}

}  // namespace
}  // namespace tp
