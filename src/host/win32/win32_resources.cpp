// The module's own resources.
#include "host/win32/win32_resources.h"

#include <vector>

#include "host/win32/module_instance.h"

namespace tp::host::win32 {

std::optional<std::string> Win32Resources::Load(const std::wstring& type, int id) {
  const HMODULE module = ModuleInstance();
  const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), type.c_str());
  if (found == nullptr)
    return std::nullopt;
  const HGLOBAL loaded = ::LoadResource(module, found);
  if (loaded == nullptr)
    return std::nullopt;
  const void* data = ::LockResource(loaded);
  const DWORD size = ::SizeofResource(module, found);
  if (data == nullptr)
    return std::nullopt;
  return std::string(static_cast<const char*>(data), size);
}

std::optional<std::wstring> Win32Resources::LoadString(int id) {
  // With a zero buffer size LoadStringW points at the text inside the resource itself.
  const wchar_t* text = nullptr;
  const int length =
      ::LoadStringW(ModuleInstance(), static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || text == nullptr)
    return std::nullopt;
  return std::wstring(text, static_cast<size_t>(length));
}

std::optional<FileVersion> Win32Resources::ModuleVersion() {
  const std::optional<std::wstring> path = ModuleFileName(ModuleInstance());
  if (!path)
    return std::nullopt;
  DWORD handle = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path->c_str(), &handle);
  if (size == 0)
    return std::nullopt;
  std::vector<BYTE> block(size);
  if (!::GetFileVersionInfoW(path->c_str(), 0, size, block.data()))
    return std::nullopt;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length) ||
      info == nullptr || length < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  return FileVersion{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                     HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS)};
}

}  // namespace tp::host::win32
