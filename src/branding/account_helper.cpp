// The account manager's helper object.
#include "branding/account_helper.h"

#include <algorithm>

namespace tp {

CAccountHelper::CAccountHelper(std::wstring profileName, std::shared_ptr<host::MapiSession> session)
    : profileName_(std::move(profileName)), session_(std::move(session)) {}

HResult CAccountHelper::GetIdentity(wchar_t* buffer, uint32_t* count) {
  if (count == nullptr || profileName_.empty()) {
    return hr::kInvalidArg;
  }
  const uint32_t needed = static_cast<uint32_t>(profileName_.size() + 1);
  if (*count < needed) {
    *count = needed;
    return hr::kOutOfMemory;
  }
  if (buffer == nullptr) {
    return hr::kInvalidArg;  // a size that fits but nowhere to copy to
  }
  std::copy(profileName_.begin(), profileName_.end(), buffer);
  buffer[profileName_.size()] = L'\0';
  *count = needed;
  return hr::kOk;
}

HResult CAccountHelper::GetMapiSession(std::shared_ptr<host::MapiSession>* session) {
  if (session == nullptr) {
    return hr::kInvalidArg;
  }
  if (!session_) {
    return hr::kNotImpl;
  }
  *session = session_;
  return hr::kOk;
}

}  // namespace tp
