// The simulated pictures: an icon file "loads" when it exists and begins like an .ico file;
// the picture remembers the file it came from, and the port every file it was asked for.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/files.h"
#include "host/pictures.h"

namespace tp::host::sim {

class SimPicture final : public Picture {
 public:
  SimPicture(std::wstring path, int size) : m_path(std::move(path)), m_size(size) {}
  const std::wstring& path() const { return m_path; }
  int size() const { return m_size; }

 private:
  std::wstring m_path;
  int m_size;
};

class SimPictures final : public Pictures {
 public:
  explicit SimPictures(FileSystem& files) : m_files(files) {}

  std::unique_ptr<Picture> LoadIconFile(const std::wstring& path, int size) override;

  // The files asked for, in order.
  std::vector<std::wstring> Loads() const;

 private:
  FileSystem& m_files;
  mutable std::mutex m_mutex;
  std::vector<std::wstring> m_loads;
};

}  // namespace tp::host::sim
