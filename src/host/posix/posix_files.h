// File-system port on posix: paths are UTF-8, Win32 sharing is emulated with flock.
#pragma once

#include "host/files.h"

namespace tp::host::posix {

class PosixFileSystem final : public FileSystem {
 public:
  wchar_t Separator() override { return L'/'; }
  // LocalAppDataLow and LocalAppData: $TIDEPOST_HOME, else $XDG_DATA_HOME, else
  // ~/.local/share (created when missing). Temp: $TMPDIR or /tmp, with a trailing slash.
  std::optional<std::wstring> KnownFolderPath(KnownFolder folder) override;
  FileError CreateDirectory(const std::wstring& path) override;
  std::unique_ptr<File> Open(const std::wstring& path, FileOpen mode, FileError* error) override;
  FileError MoveReplace(const std::wstring& from, const std::wstring& to) override;
  FileError Delete(const std::wstring& path) override;
  bool Exists(const std::wstring& path) override;
  std::vector<DirectoryEntry> ListDirectory(const std::wstring& path) override;
  FileError RemoveDirectory(const std::wstring& path) override;
  // Walks the folder through directory descriptors (openat, unlinkat) that never follow a
  // symbolic link, so nothing outside it is touched even when its content changes meanwhile.
  void EmptyDirectory(const std::wstring& path) override;
};

}  // namespace tp::host::posix
