// The generated message bodies.
#include "mail_body_sample.h"

#include <string_view>

#include "base/format.h"

namespace tp::bench {
namespace {

std::wstring Repeat(size_t chars, const std::wstring& head, std::wstring (*block)(int),
                    std::wstring_view tail) {
  std::wstring body = head;
  for (int i = 0; body.size() + tail.size() < chars; ++i)
    body += block(i);
  body += tail;
  return body;
}

std::wstring NewsletterBlock(int i) {
  return Format(
      L"<table width=\"600\" cellpadding=\"0\" cellspacing=\"0\" border=\"0\" align=\"center\" "
      L"style=\"background-color:#ffffff;border-collapse:collapse\"><tr><td style=\"padding:20px "
      L"30px;font-family:Arial,Helvetica,sans-serif;font-size:14px;line-height:20px;color:#333\">"
      L"<h2 style=\"margin:0 0 10px 0;font-size:22px\">Weekly deal %d</h2><p style=\"margin:0 0 "
      L"10px 0\">Save up to <b>40%%</b> on flights &amp; hotels this week.&nbsp;<a "
      L"href=\"https://deals.example/track?u=%d&amp;c=678\" style=\"color:#0066cc\">See the "
      L"offers</a>.</p><img src=\"https://img.example/banner-%d.jpg\" width=\"600\" height=\"200\" "
      L"alt=\"Summer sale\" style=\"display:block;border:0\"></td></tr><tr><td><table "
      L"width=\"100%%\"><tr><td width=\"50%%\" valign=\"top\"><a href=\"https://deals.example/p/"
      L"%d\"><img src=\"cid:p%d@deals\" width=\"260\" alt=\"Paris\"></a><br>Paris from "
      L"&euro;99</td><td width=\"50%%\" valign=\"top\"><a href=\"mailto:help@deals.example\">"
      L"Contact us</a><!--[if mso]><br><![endif]--></td></tr></table></td></tr></table>\r\n",
      i, i, i, i, i);
}

// Each of the 28 patterns at least once, in mixed case: elements closed and cut whole,
// elements left open, script URLs plain and encoded, event attributes, dangerous styles,
// conditional comments and foreign content, around ordinary text and links.
std::wstring HostileBlock(int i) {
  return Format(
      L"<div class=b%d><style>p.c%d{color:red}</style><STYLE type=x>a{}</STYLE>"
      L"<ScRiPt>alert(%d)</sCrIpT><iframe src=x>f</iframe><FRAME src=y></frame>"
      L"<frameset rows=1></FRAMESET><object data=o>o</object><embed src=e></embed>"
      L"<form action=a><b>f</b></form><input name=n><audio src=a></audio>"
      L"<video poster=p>v</video><meta http-equiv=refresh><marquee>m</marquee>"
      L"<p onclick=\"f(%d)\">Dear customer, <a href=\"JavaScript:go(%d)\">pay</a> or "
      L"<a href=\"&#106;avascript:x\">verify</a> at <a href=\"https://bank.example/%d\">"
      L"the bank</a>.</p><img src=\"vbscript:x\" onerror=alert(1)><img/src=x/onerror=vbs:y>"
      L"<div style=\"width:expression(alert(1));behavior:url(x.htc)\">d</div>"
      L"<!--[if IE]><img src=x onerror=alert(1)><![endif]--><svg/onload=alert(1)></svg>"
      L"<table><tr><td background=\"javascript:x\">cell</td></tr></table></div>\r\n",
      i, i, i, i, i, i);
}

}  // namespace

std::wstring MakeNewsletterBody(size_t chars) {
  return Repeat(chars, L"<html><head><title>Deals</title></head><body style=\"margin:0\">",
                &NewsletterBlock, L"</body></html>");
}

std::wstring MakeHostileBody(size_t chars) {
  return Repeat(chars, L"<html><body>", &HostileBlock, L"</body></html>");
}

}  // namespace tp::bench
