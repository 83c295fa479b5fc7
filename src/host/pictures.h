// Pictures port: icon files turned into the picture objects that Outlook shows (the sender
// icons of the form regions).
#pragma once

#include <memory>
#include <string>

namespace tp::host {

// A picture made by the port; the adapter that made it knows what it holds.
class Picture {
 public:
  virtual ~Picture() = default;
};

class Pictures {
 public:
  virtual ~Pictures() = default;
  // The icon of the .ico file at `path`, `size` pixels square, read afresh on every call;
  // null when the file is missing or holds no icon.
  virtual std::unique_ptr<Picture> LoadIconFile(const std::wstring& path, int size) = 0;
};

}  // namespace tp::host
