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
  SimPicture(std::wstring path, int size) : path_(std::move(path)), size_(size) {}
  const std::wstring& path() const { return path_; }
  int size() const { return size_; }

 private:
  std::wstring path_;
  int size_;
};

class SimPictures final : public Pictures {
 public:
  explicit SimPictures(FileSystem& files) : files_(files) {}

  std::unique_ptr<Picture> LoadIconFile(const std::wstring& path, int size) override;

  // The files asked for, in order.
  std::vector<std::wstring> Loads() const;

 private:
  FileSystem& files_;
  mutable std::mutex mutex_;
  std::vector<std::wstring> loads_;
};

}  // namespace tp::host::sim
