// Whole-file reads and replacing writes.
#include "platform/file_io.h"

#include <memory>

#include "host/files.h"
#include "host/host.h"

namespace tp {

std::optional<std::string> ReadWholeFile(const std::wstring& path, size_t largest) {
  host::FileError error = host::kFileOk;
  std::unique_ptr<host::File> file = host::files().Open(path, host::FileOpen::kReadShared, &error);
  if (!file)
    return std::nullopt;
  const int64_t size = file->Size();
  if (size < 0 || static_cast<uint64_t>(size) > largest)
    return std::nullopt;
  std::string bytes(static_cast<size_t>(size), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    const size_t read = file->Read(bytes.data() + done, bytes.size() - done);
    if (read == 0)
      break;
    done += read;
  }
  bytes.resize(done);
  return bytes;
}

bool WriteFileReplacing(const std::wstring& path, const std::string& bytes) {
  const std::wstring aside = path + L".new";
  {
    host::FileError error = host::kFileOk;
    std::unique_ptr<host::File> file =
        host::files().Open(aside, host::FileOpen::kCreateShareRead, &error);
    if (!file)
      return false;
    if (!file->Write(bytes.data(), bytes.size())) {
      file.reset();
      (void)host::files().Delete(aside);
      return false;
    }
  }
  if (host::files().MoveReplace(aside, path) != host::kFileOk) {
    (void)host::files().Delete(aside);
    return false;
  }
  return true;
}

}  // namespace tp
