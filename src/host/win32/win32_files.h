// File-system port on Windows: the known folders of the shell, and files opened with the
// sharing modes the ports name.
#pragma once

#include "host/files.h"

namespace tp::host::win32 {

class Win32FileSystem final : public FileSystem {
 public:
  wchar_t Separator() override { return L'\\'; }
  // LocalAppDataLow: SHGetKnownFolderPath (created when missing), empty where shell32 has no
  // such function (before Vista). LocalAppData: SHGetFolderPathW. Temp: GetTempPathW, which
  // ends in a backslash.
  std::optional<std::wstring> KnownFolderPath(KnownFolder folder) override;
  FileError CreateDirectory(const std::wstring& path) override;
  std::unique_ptr<File> Open(const std::wstring& path, FileOpen mode, FileError* error) override;
  FileError MoveReplace(const std::wstring& from, const std::wstring& to) override;
  FileError Delete(const std::wstring& path) override;
  bool Exists(const std::wstring& path) override;
  std::vector<DirectoryEntry> ListDirectory(const std::wstring& path) override;
  FileError RemoveDirectory(const std::wstring& path) override;
  // SHFileOperationW deletes "<path>\*", silently, without confirmation or error windows.
  void EmptyDirectory(const std::wstring& path) override;
};

}  // namespace tp::host::win32
