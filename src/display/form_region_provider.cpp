// The form region manifest and icons.
#include "display/form_region_provider.h"

#include <cstdint>

#include "base/format.h"
#include "branding/branding_list.h"
#include "branding/message_class.h"
#include "host/host.h"
#include "host/pictures.h"
#include "net/brand_names.h"
#include "net/sender_icons.h"
#include "platform/log.h"

namespace tp {
namespace {

// The icon elements of a manifest, in the schema's order; each one's text "addin" makes
// Outlook ask the add-in for that icon.
constexpr wchar_t kIconElementNames[12][20] = {
    L"default",   L"read",   L"unread",    L"replied", L"forwarded", L"unsent",
    L"submitted", L"signed", L"encrypted", L"window",  L"recurring", L"page",
};

bool IsXmlCharacter(uint32_t ch) {
  return ch == 0x9 || ch == 0xA || ch == 0xD || (ch >= 0x20 && ch <= 0xD7FF) ||
         (ch >= 0xE000 && ch <= 0xFFFD) || (ch >= 0x10000 && ch <= 0x10FFFF);
}

bool IsHighSurrogate(uint32_t ch) {
  return ch >= 0xD800 && ch <= 0xDBFF;
}
bool IsLowSurrogate(uint32_t ch) {
  return ch >= 0xDC00 && ch <= 0xDFFF;
}

// The text as XML character data: markup characters escaped, and characters that XML cannot
// hold at all (controls, lone surrogates) replaced, so that no name can end the element or
// add elements of its own to the manifest.
std::wstring EscapeXmlText(const std::wstring& text) {
  std::wstring escaped;
  escaped.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto ch = static_cast<uint32_t>(text[i]);
    if (IsHighSurrogate(ch) && i + 1 < text.size() &&
        IsLowSurrogate(static_cast<uint32_t>(text[i + 1]))) {
      escaped.append(text, i, 2);
      ++i;
      continue;
    }
    switch (ch) {
      case '&':
        escaped += L"&amp;";
        break;
      case '<':
        escaped += L"&lt;";
        break;
      case '>':
        escaped += L"&gt;";
        break;
      case '"':
        escaped += L"&quot;";
        break;
      case '\'':
        escaped += L"&apos;";
        break;
      default:
        escaped += IsXmlCharacter(ch) ? text[i] : L'\xFFFD';
    }
  }
  return escaped;
}

}  // namespace

std::wstring FormRegionManifest(const std::wstring& formRegionName) {
  WriteLogFormat(L"In GetFormRegionManifest: %s", formRegionName);
  std::wstring manifest = Format(
      L"<?xml version=\"1.0\" encoding=\"utf-8\" ?><FormRegion xmlns=\"%s\"><name>%s</name>"
      L"<title>Brisklet</title><hidden>true</hidden><addin>TidepostOutlookAddIn.Connect</addin>"
      L"<exactMessageClass>true</exactMessageClass><formRegionType>replaceAll</formRegionType>"
      L"<showInspectorRead>false</showInspectorRead><showReadingPane>false</showReadingPane>"
      L"<showInspectorCompose>false</showInspectorCompose><icons>",
      kFormRegionSchema, EscapeXmlText(formRegionName));
  for (const wchar_t* element : kIconElementNames)
    manifest += Format(L"<%s>addin</%s>", element, element);
  manifest += L"</icons></FormRegion>";
  return manifest;
}

std::wstring SenderNameOfFormRegion(const std::wstring& formRegionName) {
  return BrandOfBrandedClass(kMessageClassPrefix + formRegionName).value_or(formRegionName);
}

std::unique_ptr<host::Picture> FormRegionIcon(const std::wstring& formRegionName) {
  WriteLogFormat(L"Getting icon for form region %s", formRegionName);
  // The name comes from a message class, which mail can set: it must name a file in the
  // icon folder and nothing else.
  const std::wstring sender = SenderNameOfFormRegion(formRegionName);
  if (!IsUsableBrandName(sender)) {
    WriteLogFormat(L"No icon for form region %s: the sender name cannot be a file name",
                   formRegionName);
    return nullptr;
  }
  return host::pictures().LoadIconFile(SenderIconCache::IconPath(sender), kFormRegionIconSize);
}

}  // namespace tp
