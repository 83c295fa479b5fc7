// Icon files as OLE pictures.
#include "host/win32/win32_pictures.h"

namespace tp::host::win32 {

std::unique_ptr<Picture> Win32Pictures::LoadIconFile(const std::wstring& path, int size) {
  // Not LR_SHARED: a shared icon must never be destroyed, but the picture destroys its icon,
  // and the shared cache would keep showing an icon file that has since been replaced.
  const HICON icon = static_cast<HICON>(
      ::LoadImageW(nullptr, path.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE));
  if (icon == nullptr)
    return nullptr;
  PICTDESC description{};
  description.cbSizeofstruct = sizeof description;
  description.picType = PICTYPE_ICON;
  description.icon.hicon = icon;
  ComPtr<IPictureDisp> picture;
  if (FAILED(::OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE,
                                        picture.ReceiveVoid())) ||
      !picture) {
    ::DestroyIcon(icon);
    return nullptr;
  }
  return std::make_unique<Win32Picture>(std::move(picture));
}

}  // namespace tp::host::win32
