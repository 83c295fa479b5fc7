// Files and folders on posix.
#include "host/posix/posix_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/text.h"
#include "host/posix/posix_errors.h"

namespace tp::host::posix {
namespace {

std::string Native(const std::wstring& path) {
  return WideToUtf8(path);
}

class PosixFile final : public File {
 public:
  explicit PosixFile(int fd) : m_fd(fd) {}
  ~PosixFile() override { ::close(m_fd); }  // also drops the flock
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  int64_t Size() override {
    struct stat info {};
    return ::fstat(m_fd, &info) == 0 ? static_cast<int64_t>(info.st_size) : -1;
  }
  int64_t SeekToEnd() override { return ::lseek(m_fd, 0, SEEK_END); }
  bool Truncate() override {
    const off_t here = ::lseek(m_fd, 0, SEEK_CUR);
    return here >= 0 && ::ftruncate(m_fd, here) == 0;
  }
  bool Write(const void* data, size_t size) override {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
      const ssize_t written = ::write(m_fd, bytes, size);
      if (written < 0) {
        if (errno == EINTR)
          continue;
        return false;
      }
      bytes += written;
      size -= static_cast<size_t>(written);
    }
    return true;
  }
  size_t Read(void* buffer, size_t size) override {
    for (;;) {
      const ssize_t got = ::read(m_fd, buffer, size);
      if (got < 0 && errno == EINTR)
        continue;
      return got < 0 ? 0 : static_cast<size_t>(got);
    }
  }

 private:
  int m_fd;
};

std::wstring FromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return (value && *value) ? Utf8ToWide(value) : std::wstring();
}

}  // namespace

std::optional<std::wstring> PosixFileSystem::KnownFolderPath(KnownFolder folder) {
  if (folder == KnownFolder::kTemp) {
    std::wstring temp = FromEnvironment("TMPDIR");
    if (temp.empty())
      temp = L"/tmp";
    if (temp.back() != L'/')
      temp += L'/';
    return temp;
  }
  std::wstring base = FromEnvironment("TIDEPOST_HOME");
  if (base.empty())
    base = FromEnvironment("XDG_DATA_HOME");
  if (base.empty()) {
    const std::wstring home = FromEnvironment("HOME");
    if (home.empty())
      return std::nullopt;
    (void)CreateDirectory(home + L"/.local");
    base = home + L"/.local/share";
  }
  (void)CreateDirectory(base);
  return base;
}

FileError PosixFileSystem::CreateDirectory(const std::wstring& path) {
  if (::mkdir(Native(path).c_str(), 0755) == 0)
    return kFileOk;
  return Win32ErrorFromErrno(errno);
}

std::unique_ptr<File> PosixFileSystem::Open(const std::wstring& path, FileOpen mode,
                                            FileError* error) {
  int flags = O_CLOEXEC;
  int lock = LOCK_EX;
  switch (mode) {
    case FileOpen::kAppendShareRead:
      flags |= O_WRONLY | O_CREAT;
      break;
    case FileOpen::kReadShared:
      flags |= O_RDONLY;
      lock = LOCK_SH;
      break;
    case FileOpen::kCreateShareRead:
    case FileOpen::kCreateExclusive:
      flags |= O_WRONLY | O_CREAT;  // truncated once the lock is held
      break;
  }
  const int fd = ::open(Native(path).c_str(), flags, 0644);
  if (fd < 0) {
    *error = Win32ErrorFromErrno(errno);
    return nullptr;
  }
  // Writers exclude each other and readers, as Win32 sharing does for these modes.
  if (::flock(fd, lock | LOCK_NB) != 0) {
    *error = Win32ErrorFromErrno(errno);
    ::close(fd);
    return nullptr;
  }
  if ((mode == FileOpen::kCreateShareRead || mode == FileOpen::kCreateExclusive) &&
      ::ftruncate(fd, 0) != 0) {
    *error = Win32ErrorFromErrno(errno);
    ::close(fd);
    return nullptr;
  }
  *error = kFileOk;
  return std::make_unique<PosixFile>(fd);
}

FileError PosixFileSystem::MoveReplace(const std::wstring& from, const std::wstring& to) {
  return ::rename(Native(from).c_str(), Native(to).c_str()) == 0 ? kFileOk
                                                                 : Win32ErrorFromErrno(errno);
}

FileError PosixFileSystem::Delete(const std::wstring& path) {
  return ::unlink(Native(path).c_str()) == 0 ? kFileOk : Win32ErrorFromErrno(errno);
}

bool PosixFileSystem::Exists(const std::wstring& path) {
  struct stat info {};
  return ::stat(Native(path).c_str(), &info) == 0;
}

std::vector<DirectoryEntry> PosixFileSystem::ListDirectory(const std::wstring& path) {
  std::vector<DirectoryEntry> entries;
  DIR* dir = ::opendir(Native(path).c_str());
  if (dir == nullptr)
    return entries;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..")
      continue;
    DirectoryEntry item;
    item.name = Utf8ToWide(name);
    struct stat info {};
    const std::string full = Native(path) + "/" + name;
    item.is_directory = ::lstat(full.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    entries.push_back(std::move(item));
  }
  ::closedir(dir);
  return entries;
}

FileError PosixFileSystem::RemoveDirectory(const std::wstring& path) {
  return ::rmdir(Native(path).c_str()) == 0 ? kFileOk : Win32ErrorFromErrno(errno);
}

void PosixFileSystem::EmptyDirectory(const std::wstring& path) {
  // Folders nested deeper than this are left (each level holds a descriptor open).
  constexpr size_t kDeepest = 64;
  constexpr int kOpenFolder = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
  struct Level {
    DIR* dir;
    std::string name;  // in the level above
  };
  const int top = ::open(Native(path).c_str(), kOpenFolder);
  if (top < 0)
    return;
  DIR* topDir = ::fdopendir(top);
  if (topDir == nullptr) {
    ::close(top);
    return;
  }
  std::vector<Level> levels{{topDir, std::string()}};
  while (!levels.empty()) {
    DIR* dir = levels.back().dir;
    const dirent* entry = ::readdir(dir);
    if (entry == nullptr) {
      const std::string name = std::move(levels.back().name);
      ::closedir(dir);
      levels.pop_back();
      if (!levels.empty())
        (void)::unlinkat(::dirfd(levels.back().dir), name.c_str(), AT_REMOVEDIR);
      continue;
    }
    const std::string name = entry->d_name;
    if (name == "." || name == "..")
      continue;
    struct stat info {};
    if (::fstatat(::dirfd(dir), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
      continue;
    if (!S_ISDIR(info.st_mode)) {
      (void)::unlinkat(::dirfd(dir), name.c_str(), 0);  // a link goes itself
      continue;
    }
    if (levels.size() >= kDeepest)
      continue;
    const int sub = ::openat(::dirfd(dir), name.c_str(), kOpenFolder);
    if (sub < 0)
      continue;
    DIR* subDir = ::fdopendir(sub);
    if (subDir == nullptr) {
      ::close(sub);
      continue;
    }
    levels.push_back(Level{subDir, name});
  }
}

}  // namespace tp::host::posix
