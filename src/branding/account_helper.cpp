// The account manager's helper object.
#include "branding/account_helper.h"

#include <algorithm>

namespace tp {

CAccountHelper::CAccountHelper(std::wstring profileName, std::shared_ptr<host::MapiSession> session)
    : m_profileName(std::move(profileName)), m_session(std::move(session)) {}

HResult CAccountHelper::GetIdentity(wchar_t* buffer, uint32_t* count) {
  if (count == nullptr || m_profileName.empty()) {
    return hr::kInvalidArg;
  }
  const uint32_t needed = static_cast<uint32_t>(m_profileName.size() + 1);
  if (*count < needed) {
    *count = needed;
    return hr::kOutOfMemory;
  }
  if (buffer == nullptr) {
    return hr::kInvalidArg;  // a size that fits but nowhere to copy to
  }
  std::copy(m_profileName.begin(), m_profileName.end(), buffer);
  buffer[m_profileName.size()] = L'\0';
  *count = needed;
  return hr::kOk;
}

HResult CAccountHelper::GetMapiSession(std::shared_ptr<host::MapiSession>* session) {
  if (session == nullptr) {
    return hr::kInvalidArg;
  }
  if (!m_session) {
    return hr::kNotImpl;
  }
  *session = m_session;
  return hr::kOk;
}

}  // namespace tp
