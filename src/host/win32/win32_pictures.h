// Pictures port on Windows: an icon file loaded with LoadImageW and wrapped by
// OleCreatePictureIndirect in an IPictureDisp that owns it.
#pragma once

#include "host/pictures.h"
#include "host/win32/com_ptr.h"

namespace tp::host::win32 {

class Win32Picture final : public Picture {
 public:
  explicit Win32Picture(ComPtr<IPictureDisp> picture) : m_picture(std::move(picture)) {}
  const ComPtr<IPictureDisp>& picture() const { return m_picture; }

 private:
  ComPtr<IPictureDisp> m_picture;
};

class Win32Pictures final : public Pictures {
 public:
  std::unique_ptr<Picture> LoadIconFile(const std::wstring& path, int size) override;
};

}  // namespace tp::host::win32
