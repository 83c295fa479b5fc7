// The simulated pictures.
#include "host/sim/sim_pictures.h"

namespace tp::host::sim {

std::unique_ptr<Picture> SimPictures::LoadIconFile(const std::wstring& path, int size) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_loads.push_back(path);
  }
  FileError error = kFileOk;
  std::unique_ptr<File> file = m_files.Open(path, FileOpen::kReadShared, &error);
  if (!file)
    return nullptr;
  // An icon directory begins with a reserved zero word and the type 1.
  char header[4] = {};
  if (file->Read(header, sizeof header) != sizeof header ||
      std::string_view(header, 4) != std::string_view("\0\0\1\0", 4)) {
    return nullptr;
  }
  return std::make_unique<SimPicture>(path, size);
}

std::vector<std::wstring> SimPictures::Loads() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_loads;
}

}  // namespace tp::host::sim
