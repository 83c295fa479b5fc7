// Finding the active-content marker and building the please-wait page.
#include "branding/active_content.h"

#include "base/format.h"
#include "base/text.h"
#include "platform/configuration.h"

namespace tp {
namespace {
constexpr std::wstring_view kOpen = L"[APPointer:";
constexpr std::wstring_view kClose = L":APPointer]";
constexpr std::wstring_view kPlacement = L"pos=";
constexpr std::wstring_view kMessagePlacement = L"message";
}  // namespace

ActiveContentPointer FindActiveContentPointer(const std::wstring& body) {
  ActiveContentPointer result;
  size_t position = 0;
  for (;;) {
    const size_t open = body.find(kOpen, position);
    if (open == std::wstring::npos)
      break;
    const size_t start = open + kOpen.size();
    const size_t close = body.find(kClose, start);
    if (close == std::wstring::npos)
      break;
    std::wstring pointer = body.substr(start, close - start);
    std::erase(pointer, L' ');
    const std::wstring lower = ToLower(pointer);
    if (Contains(lower, L"res=")) {
      result.found = true;
      const size_t placement = lower.find(kPlacement);
      result.messageMode = placement == std::wstring::npos ||
                           lower.compare(placement + kPlacement.size(), kMessagePlacement.size(),
                                         kMessagePlacement) == 0;
      result.pointer = std::move(pointer);
      break;
    }
    position = close + kClose.size();
  }
  return result;
}

std::wstring BuildPleaseWaitPage(const std::wstring& pointer) {
  return Format(
      L"<html><head><meta http-equiv=\"X-UA-Compatible\" content=\"IE=9\">"
      L"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf8\">"
      L"<base target=\"_blank\" href=\"%s\">"
      L"<script>setTimeout(function() { var elem = document.getElementById('please_wait_div');"
      L"if (elem && elem.offsetWidth) window.TidepostBHOObject.sendHideActiveContent();},7000);"
      L"</script></head><body><span id=\"please_wait_div\"><h1>Please wait...</h1><hr></span>"
      L"<div style=\"display: none\">[APPointer:%s:APPointer]</div></body></html>",
      config::kMakerWebRoot, pointer);
}

}  // namespace tp
