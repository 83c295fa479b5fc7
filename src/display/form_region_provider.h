// The form region provider: what Outlook is told about the form region of each branded message
// class (its manifest, and the sender's icon). The regions are hidden; they exist so that
// Outlook accepts the branded classes as known forms and shows each sender's own icon in the
// message list.
#pragma once

#include <memory>
#include <string>

namespace tp::host {
class Picture;
}

namespace tp {

// The namespace of Outlook's form region manifest schema (Office 12 "formregion.xsd").
inline constexpr wchar_t kFormRegionSchema[] =
    L"http://schemas.microsoft.com/office/outlook/12/formregion.xsd";
// The icons are 16 by 16 pixels.
inline constexpr int kFormRegionIconSize = 16;

// The manifest of any form region: hidden, replacing the whole form of exactly its class,
// served by the add-in, which also supplies every one of its icons. Logs the request.
std::wstring FormRegionManifest(const std::wstring& formRegionName);

// The sender a form region's icon belongs to: the whole brand name inside a region of one of
// the branded forms ("SMIME.Tidepost.Acme.SMIME" gives "Acme", "Tidepost.Booking.com" gives
// "Booking.com"); any other name is taken whole.
std::wstring SenderNameOfFormRegion(const std::wstring& formRegionName);

// The sender's icon from the "provider_icons" folder, read afresh; null (logged) when the
// sender name cannot name a file there, and null when there is no icon file yet. Logs the
// request.
std::unique_ptr<host::Picture> FormRegionIcon(const std::wstring& formRegionName);

}  // namespace tp
