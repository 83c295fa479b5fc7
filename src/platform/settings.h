// Per-user settings outside Outlook: the access time and the registry string cache.
#pragma once

#include <string>

namespace tp {

inline constexpr wchar_t kAddonKeyPath[] = L"Software\\Tidepost\\Addon";
inline constexpr wchar_t kAccessedValueName[] = L"AP_accessed_outlook";
inline constexpr wchar_t kCacheKeyPath[] = L"Software\\Tidepost\\TidepostComServerCache";

// Writes the current time (seconds since 1970, UTC, low 32 bits as signed decimal) to
// HKEY_CURRENT_USER\Software\Tidepost\Addon "AP_accessed_outlook", creating the key.
void RecordOutlookAccess();

// The cached text of `name`, when the cache holds it as REG_SZ.
bool GetCachedValue(const std::wstring& name, std::wstring* value);
void SetCachedValue(const std::wstring& name, const std::wstring& value);

}  // namespace tp
