// Text codec port on posix, through iconv. The ANSI code page is the system's UTF-8.
#pragma once

#include "host/codec.h"

namespace tp::host::posix {

class PosixCodec final : public TextCodec {
 public:
  std::wstring ToWide(uint32_t codePage, std::string_view bytes) override;
  std::string FromWide(uint32_t codePage, std::wstring_view text) override;
};

}  // namespace tp::host::posix
