// libFuzzer target: the static pages of any UTF-8 text, a branded sender's and another's,
// built with gumbo as the HTML engine. Besides the sanitizers' checks, each page, parsed
// again by gumbo as a browser would parse it, must hold no script, active or animation
// element, no event or timing attribute, no foreign element, no URL with a scheme that runs
// or leaves our pages, no network path, and for the sender that is not branded nothing that
// loads remote content.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

#include "base/text.h"
#include "host/host.h"
#include "host/posix/gumbo_html.h"
#include "page/html_sanitizer.h"
#include "page_checker.h"

namespace {

// Only the HTML engine: building a page touches no other port.
void InstallEngine() {
  static tp::host::posix::GumboHtmlEngine engine;
  static const bool installed = [] {
    tp::host::Host host;
    host.html = &engine;
    return tp::host::Install(host);  // no worker runs in a fuzzer to refuse it
  }();
  (void)installed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  InstallEngine();
  static const tp::PageHeads heads{L"<html><head><title>2007</title></head>",
                                   L"<html><head><title>2010</title></head>"};
  const std::wstring html =
      tp::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));
  for (const auto& [remote, sender] :
       {std::pair(tp::RemoteContent::kAllowed, tp::testing::PageSender::kBranded),
        std::pair(tp::RemoteContent::kBlocked, tp::testing::PageSender::kNotBranded)}) {
    std::wstring page;
    const tp::HtmlSanitizer sanitizer(heads,
                                      tp::UrlPolicy(L"C:/Temp/Tidepost/outlook_temp/", remote));
    if (tp::hr::Failed(sanitizer.SanitizeHtml(html, &page)))
      std::abort();
    const std::vector<std::string> found =
        tp::testing::ActiveContentIn(tp::WideToUtf8(page), sender);
    if (!found.empty()) {
      std::fprintf(stderr, "active content in the %s page: %s\npage: %s\n",
                   sender == tp::testing::PageSender::kBranded ? "branded" : "unbranded",
                   found[0].c_str(), tp::WideToUtf8(page).c_str());
      std::abort();
    }
  }
  return 0;
}
