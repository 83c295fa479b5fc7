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
    : m_path(std::move(path)), m_tree(RegistryTree::Hooks{nullptr, [this] { Save(); }}) {
  std::ifstream in(m_path, std::ios::binary);
  if (!in) {
    return;  // no registry yet
  }
  std::stringstream text;
  text << in.rdbuf();
  std::string error;
  if (!m_tree.Deserialize(text.str(), &error)) {
    if (problem)
      *problem = "registry file " + m_path + " is unreadable (" + error + ")";
    std::rename(m_path.c_str(), (m_path + ".bad").c_str());
  }
}

void PosixRegistry::Save() {
  const std::string temporary = m_path + ".tmp";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0)
    return;
  const bool written = WriteAll(fd, m_tree.Serialize()) && ::fsync(fd) == 0;
  ::close(fd);
  if (written) {
    std::rename(temporary.c_str(), m_path.c_str());
  } else {
    ::unlink(temporary.c_str());
  }
}

}  // namespace tp::host::posix
