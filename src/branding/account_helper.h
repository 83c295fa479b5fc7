// CAccountHelper: what Outlook's account manager needs from the add-in to open the current
// profile, its name and MAPI session. The Windows adapter exposes it as IOlkAccountHelper.
#pragma once

#include <memory>
#include <string>

#include "host/outlook.h"

namespace tp {

class CAccountHelper final : public host::OlkAccountHelper {
 public:
  // profileName may be empty; session may be null (then GetMapiSession answers E_NOTIMPL).
  CAccountHelper(std::wstring profileName, std::shared_ptr<host::MapiSession> session);

  // Copies the profile name with its terminator when *count (in characters) is large
  // enough; *count always receives the size needed.
  HResult GetIdentity(wchar_t* buffer, uint32_t* count) override;
  HResult GetMapiSession(std::shared_ptr<host::MapiSession>* session) override;
  HResult PlaceHolder1() { return hr::kNotImpl; }
  HResult HandsOffSession() { return hr::kNotImpl; }

 private:
  std::wstring m_profileName;
  std::shared_ptr<host::MapiSession> m_session;
};

}  // namespace tp
