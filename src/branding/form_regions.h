// Registering a branded message class's form region for Outlook, per user.
#pragma once

#include <string>

namespace tp {

inline constexpr wchar_t kFormRegionsKeyPath[] =
    L"Software\\Microsoft\\Office\\Outlook\\FormRegions";
inline constexpr wchar_t kFormRegionProgId[] = L"=TidepostOutlookAddIn.Connect";

// True when the form region of "IPM.Note." + formName is registered, machine-wide or for the
// user, or was just registered for the user.
bool RegisterFormRegion(const std::wstring& formName);

}  // namespace tp
