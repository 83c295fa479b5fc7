// The temporary folder of embedded content.
#include "page/temp_folder.h"

#include <algorithm>
#include <iterator>

#include "base/file_names.h"
#include "base/format.h"
#include "base/text.h"
#include "host/clock.h"
#include "host/files.h"
#include "host/host.h"

namespace tp {
namespace {

// Process-wide, starting at 1: taken once for each message folder and once for each copy, it
// keeps their names apart within the process.
uint32_t g_nextNumber = 1;

constexpr size_t kLongestName = 80;
constexpr size_t kLongestExtension = 16;

bool IsUnsafeCharacter(wchar_t ch) {
  if (ch < L' ' || (ch >= 0x7F && ch <= 0x9F))
    return true;
  // Bidirectional overrides and isolates make a name read other than it is.
  if ((ch >= 0x202A && ch <= 0x202E) || (ch >= 0x2066 && ch <= 0x2069) || ch == 0x200E ||
      ch == 0x200F) {
    return true;
  }
  return Contains(L"\\/:*?\"<>|'`%#&", std::wstring_view(&ch, 1));
}

bool IsHighSurrogate(wchar_t ch) {
  return sizeof(wchar_t) == 2 && ch >= 0xD800 && ch <= 0xDBFF;
}

// Cuts `text` to at most `length` units, never between the halves of a surrogate pair.
void CutTo(std::wstring* text, size_t length) {
  if (text->size() <= length)
    return;
  if (length > 0 && IsHighSurrogate((*text)[length - 1]))
    --length;
  text->resize(length);
}

std::wstring WithSeparator(std::wstring path) {
  const wchar_t separator = host::files().Separator();
  if (path.empty() || path.back() != separator)
    path += separator;
  return path;
}

}  // namespace

std::optional<std::wstring> TemporaryRoot() {
  std::optional<std::wstring> temp = host::files().KnownFolderPath(host::KnownFolder::kTemp);
  if (!temp || temp->empty())
    return std::nullopt;
  return WithSeparator(*temp) + L"Tidepost" + host::files().Separator() + L"outlook_temp";
}

std::wstring TemporaryRootUrl() {
  std::optional<std::wstring> root = TemporaryRoot();
  if (!root)
    return {};
  std::replace(root->begin(), root->end(), L'\\', L'/');
  return *root + L'/';
}

std::optional<std::wstring> CreateMessageFolder() {
  std::optional<std::wstring> temp = host::files().KnownFolderPath(host::KnownFolder::kTemp);
  if (!temp || temp->empty())
    return std::nullopt;
  const std::wstring base = WithSeparator(*temp) + L"Tidepost";
  (void)host::files().CreateDirectory(base);
  const std::wstring root = WithSeparator(base) + L"outlook_temp";
  (void)host::files().CreateDirectory(root);
  const uint32_t number = g_nextNumber++;
  const std::wstring folder =
      WithSeparator(root) + Format(L"%u_%u", number, host::clock().TickCount());
  (void)host::files().CreateDirectory(folder);
  return folder;
}

std::wstring AttachmentCopyPath(const std::wstring& folder, std::wstring_view fileName) {
  const uint32_t number = g_nextNumber++;
  return WithSeparator(folder) + Format(L"%u_%s", number, SafeFileName(fileName));
}

std::wstring SafeFileName(std::wstring_view name) {
  std::wstring safe;
  safe.reserve(name.size());
  for (wchar_t ch : name)
    safe.push_back(IsUnsafeCharacter(ch) ? L'_' : ch);
  // Windows drops dots and spaces at the end of a name, so the page would name another file.
  while (!safe.empty() && (safe.back() == L'.' || safe.back() == L' '))
    safe.pop_back();
  while (!safe.empty() && safe.front() == L' ')
    safe.erase(safe.begin());
  if (safe.size() > kLongestName) {
    const size_t dot = safe.rfind(L'.');
    std::wstring extension;
    if (dot != std::wstring::npos && safe.size() - dot <= kLongestExtension)
      extension = safe.substr(dot);
    CutTo(&safe, kLongestName - extension.size());
    safe += extension;
  }
  if (IsReservedDeviceName(safe))
    safe.insert(safe.begin(), L'_');
  if (safe.empty() || safe == L"." || safe == L"..")
    safe = L"attachment";
  return safe;
}

void CleanTempFolder() {
  if (std::optional<std::wstring> root = TemporaryRoot())
    host::files().EmptyDirectory(*root);
}

}  // namespace tp
