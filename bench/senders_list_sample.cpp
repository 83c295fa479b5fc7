// A generated senders list of realistic shape, for the benchmarks.
#include "senders_list_sample.h"

#include <algorithm>

#include "base/format.h"

namespace tp::bench {

std::wstring MakeBrandingJson(size_t senders) {
  std::wstring json = L"{\"version\":3,\"branding\":[";
  for (size_t i = 0; i < senders; ++i) {
    if (i > 0)
      json += L",\n";
    // A brand owns one to three domains; some allow SPF, some name extra DKIM signers.
    const size_t brand = i / 2;
    json += Format(L"{\"name\":\"Brand%u\",\"domain\":\"mail%u.brand%u.com\"", brand, i % 3, brand);
    if (i % 3 == 0)
      json += L",\"spf\":true";
    if (i % 5 == 0)
      json += L",\"spfIfNoDKIM\":1";
    if (i % 4 == 0) {
      json += Format(L",\"dkimSigners\":\"bounce.brand%u.com,esp%u.mailer.net\"", brand, i % 17);
    }
    json += L",\"icon\":\"brand" + std::to_wstring(brand) + L".ico\"}";
  }
  json += L"]}";
  return json;
}

std::wstring MakeSendersListXml(size_t senders) {
  std::wstring xml =
      L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<content>\r\n<data>\r\n<senders>";
  for (size_t i = 0; i < senders; ++i) {
    xml += Format(L"<sender id=\"%u\" name=\"Brand%u &amp; Co\">mail%u.brand%u.com</sender>", i,
                  i / 2, i % 3, i / 2);
  }
  std::wstring json = MakeBrandingJson(senders);
  std::replace(json.begin(), json.end(), L'"', L'\'');
  xml += L"</senders>\r\n<branding><![CDATA[" + json + L"]]></branding>\r\n</data>\r\n</content>";
  return xml;
}

}  // namespace tp::bench
