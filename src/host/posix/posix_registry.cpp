// The file-backed registry.
#include "host/posix/posix_registry.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace tp::host::posix {
namespace {

bool WriteAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t written = ::write(fd, data.data() + done, data.size() - done);
    if (written < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    done += static_cast<size_t>(written);
  }
  return true;
}

}  // namespace

PosixRegistry::PosixRegistry(std::string path, std::string* problem)
    : path_(std::move(path)), tree_(RegistryTree::Hooks{nullptr, [this] { Save(); }}) {
  std::ifstream in(path_, std::ios::binary);
  if (!in) {
    return;  // no registry yet
  }
  std::stringstream text;
  text << in.rdbuf();
  std::string error;
  if (!tree_.Deserialize(text.str(), &error)) {
    if (problem)
      *problem = "registry file " + path_ + " is unreadable (" + error + ")";
    std::rename(path_.c_str(), (path_ + ".bad").c_str());
  }
}

void PosixRegistry::Save() {
  const std::string temporary = path_ + ".tmp";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0)
    return;
  const bool written = WriteAll(fd, tree_.Serialize()) && ::fsync(fd) == 0;
  ::close(fd);
  if (written) {
    std::rename(temporary.c_str(), path_.c_str());
  } else {
    ::unlink(temporary.c_str());
  }
}

}  // namespace tp::host::posix
