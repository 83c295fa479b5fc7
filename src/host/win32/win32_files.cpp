// Files and folders on Windows.
#include "host/win32/win32_files.h"

#include <algorithm>

#include "host/win32/unique_resource.h"

// WIN32_LEAN_AND_MEAN leaves out the shell's file operations.
#include <shellapi.h>

namespace tp::host::win32 {
namespace {

// FOLDERID_LocalAppDataLow.
constexpr GUID kFolderLocalAppDataLow = {
    0xA520A1A4, 0x1780, 0x4FF6, {0xBD, 0x18, 0x16, 0x73, 0x43, 0xC5, 0xAF, 0x16}};

using GetKnownFolderPath = HRESULT(WINAPI*)(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR*);

class Win32File final : public File {
 public:
  explicit Win32File(UniqueFile file) : m_file(std::move(file)) {}

  int64_t Size() override {
    LARGE_INTEGER size{};
    return ::GetFileSizeEx(m_file.get(), &size) ? size.QuadPart : -1;
  }
  int64_t SeekToEnd() override {
    LARGE_INTEGER zero{};
    LARGE_INTEGER end{};
    return ::SetFilePointerEx(m_file.get(), zero, &end, FILE_END) ? end.QuadPart : -1;
  }
  bool Truncate() override { return ::SetEndOfFile(m_file.get()) != FALSE; }
  bool Write(const void* data, size_t size) override {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
      DWORD written = 0;
      if (!::WriteFile(m_file.get(), bytes, chunk, &written, nullptr) || written == 0)
        return false;
      bytes += written;
      size -= written;
    }
    return true;
  }
  size_t Read(void* buffer, size_t size) override {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
    DWORD read = 0;
    return ::ReadFile(m_file.get(), buffer, chunk, &read, nullptr) ? read : 0;
  }

 private:
  UniqueFile m_file;
};

std::optional<std::wstring> LocalAppDataLow() {
  // Looked up in the already loaded shell32: the function is absent before Vista.
  const HMODULE shell = ::GetModuleHandleW(L"shell32");
  if (shell == nullptr)
    return std::nullopt;
  const auto function = reinterpret_cast<GetKnownFolderPath>(
      reinterpret_cast<void*>(::GetProcAddress(shell, "SHGetKnownFolderPath")));
  if (function == nullptr)
    return std::nullopt;
  UniqueCoTaskString path;
  if (FAILED(function(kFolderLocalAppDataLow, KF_FLAG_CREATE, nullptr, path.Receive())) || !path) {
    return std::nullopt;
  }
  return std::wstring(path.get());
}

std::optional<std::wstring> LocalAppData() {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) {
    return std::nullopt;
  }
  return std::wstring(path);
}

std::optional<std::wstring> TempPath() {
  std::wstring path(MAX_PATH + 1, L'\0');
  DWORD length = ::GetTempPathW(static_cast<DWORD>(path.size()), path.data());
  if (length > path.size()) {
    path.resize(length);
    length = ::GetTempPathW(static_cast<DWORD>(path.size()), path.data());
  }
  if (length == 0 || length > path.size())
    return std::nullopt;
  path.resize(length);
  return path;
}

}  // namespace

std::optional<std::wstring> Win32FileSystem::KnownFolderPath(KnownFolder folder) {
  switch (folder) {
    case KnownFolder::kLocalAppDataLow:
      return LocalAppDataLow();
    case KnownFolder::kLocalAppData:
      return LocalAppData();
    case KnownFolder::kTemp:
      return TempPath();
  }
  return std::nullopt;
}

FileError Win32FileSystem::CreateDirectory(const std::wstring& path) {
  return ::CreateDirectoryW(path.c_str(), nullptr) ? kFileOk : LastError();
}

std::unique_ptr<File> Win32FileSystem::Open(const std::wstring& path, FileOpen mode,
                                            FileError* error) {
  DWORD access = GENERIC_WRITE;
  DWORD share = FILE_SHARE_READ;
  DWORD disposition = CREATE_ALWAYS;
  switch (mode) {
    case FileOpen::kAppendShareRead:
      disposition = OPEN_ALWAYS;
      break;
    case FileOpen::kReadShared:
      access = GENERIC_READ;
      disposition = OPEN_EXISTING;
      break;
    case FileOpen::kCreateShareRead:
      break;
    case FileOpen::kCreateExclusive:
      share = 0;
      break;
  }
  UniqueFile file(::CreateFileW(path.c_str(), access, share, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    *error = LastError();
    return nullptr;
  }
  *error = kFileOk;
  return std::make_unique<Win32File>(std::move(file));
}

FileError Win32FileSystem::MoveReplace(const std::wstring& from, const std::wstring& to) {
  return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) ? kFileOk : LastError();
}

FileError Win32FileSystem::Delete(const std::wstring& path) {
  return ::DeleteFileW(path.c_str()) ? kFileOk : LastError();
}

bool Win32FileSystem::Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<DirectoryEntry> Win32FileSystem::ListDirectory(const std::wstring& path) {
  std::vector<DirectoryEntry> entries;
  std::wstring pattern = path;
  if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/')
    pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW found{};
  UniqueFind find(::FindFirstFileW(pattern.c_str(), &found));
  if (!find)
    return entries;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..")
      continue;
    entries.push_back(
        DirectoryEntry{name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (::FindNextFileW(find.get(), &found));
  return entries;
}

FileError Win32FileSystem::RemoveDirectory(const std::wstring& path) {
  return ::RemoveDirectoryW(path.c_str()) ? kFileOk : LastError();
}

void Win32FileSystem::EmptyDirectory(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
      (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return;
  }
  std::wstring pattern = path;
  if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/')
    pattern += L'\\';
  pattern += L'*';
  pattern.push_back(L'\0');  // the list of names ends with a second zero
  SHFILEOPSTRUCTW operation{};
  operation.hwnd = nullptr;
  operation.wFunc = FO_DELETE;
  operation.pFrom = pattern.c_str();
  operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
  (void)::SHFileOperationW(&operation);
}

}  // namespace tp::host::win32
