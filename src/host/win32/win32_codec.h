// Text codec port on Windows: MultiByteToWideChar and WideCharToMultiByte.
#pragma once

#include "host/codec.h"

namespace tp::host::win32 {

class Win32Codec final : public TextCodec {
 public:
  std::wstring ToWide(uint32_t codePage, std::string_view bytes) override;
  std::string FromWide(uint32_t codePage, std::wstring_view text) override;
};

}  // namespace tp::host::win32
