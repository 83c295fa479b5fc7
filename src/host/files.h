// File-system port: known folders, directories and files, with Win32 sharing semantics.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tp::host {

// Win32 error codes (GetLastError); the posix adapter maps errno onto them.
using FileError = uint32_t;
constexpr FileError kFileOk = 0;
constexpr FileError kFileNotFound = 2;           // ERROR_FILE_NOT_FOUND
constexpr FileError kPathNotFound = 3;           // ERROR_PATH_NOT_FOUND
constexpr FileError kFileAccessDenied = 5;       // ERROR_ACCESS_DENIED
constexpr FileError kFileSharingViolation = 32;  // ERROR_SHARING_VIOLATION
constexpr FileError kFileAlreadyExists = 183;    // ERROR_ALREADY_EXISTS

enum class KnownFolder {
  kLocalAppDataLow,  // FOLDERID_LocalAppDataLow, created when missing; absent before Vista
  kLocalAppData,     // CSIDL_LOCAL_APPDATA
  kTemp,             // GetTempPathW
};

enum class FileOpen {
  kAppendShareRead,  // write, others may only read, open or create (the log)
  kReadShared,       // read, others may read, must exist
  kCreateShareRead,  // write, others may only read, create or truncate
  kCreateExclusive,  // write, no sharing, create or truncate (downloads)
};

class File {
 public:
  virtual ~File() = default;  // closes the file
  virtual int64_t Size() = 0;
  // Moves to the end and returns that position.
  virtual int64_t SeekToEnd() = 0;
  // Cuts the file at the current position (SetEndOfFile).
  virtual bool Truncate() = 0;
  virtual bool Write(const void* data, size_t size) = 0;
  // Reads up to size bytes at the current position; the count read, 0 at the end or on error.
  virtual size_t Read(void* buffer, size_t size) = 0;
};

struct DirectoryEntry {
  std::wstring name;
  bool is_directory = false;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // The path separator: backslash on Windows, slash elsewhere.
  virtual wchar_t Separator() = 0;
  virtual std::optional<std::wstring> KnownFolderPath(KnownFolder folder) = 0;
  // kFileOk when the folder was made, kFileAlreadyExists when it was there.
  virtual FileError CreateDirectory(const std::wstring& path) = 0;
  virtual std::unique_ptr<File> Open(const std::wstring& path, FileOpen mode, FileError* error) = 0;
  virtual FileError MoveReplace(const std::wstring& from, const std::wstring& to) = 0;
  virtual FileError Delete(const std::wstring& path) = 0;
  virtual bool Exists(const std::wstring& path) = 0;
  virtual std::vector<DirectoryEntry> ListDirectory(const std::wstring& path) = 0;
  virtual FileError RemoveDirectory(const std::wstring& path) = 0;
  // Deletes everything inside the folder, at any depth, and keeps the folder. A symbolic link
  // (or junction) inside it is deleted itself, never followed; a folder that is itself a link
  // is left alone. Whatever cannot be deleted stays.
  virtual void EmptyDirectory(const std::wstring& path) = 0;
};

}  // namespace tp::host
