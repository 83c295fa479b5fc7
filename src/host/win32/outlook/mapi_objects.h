// Extended MAPI ports over a message's IMessage and the profile's IMAPISession.
#pragma once

#include <memory>
#include <string>

#include "host/mapi.h"
#include "host/win32/com_ptr.h"
#include "host/win32/outlook/mapi_api.h"

namespace tp::host::win32 {

class Win32MapiSession final : public MapiSession {
 public:
  explicit Win32MapiSession(ComPtr<IMAPISession> session) : m_session(std::move(session)) {}
  HResult OpenEntry(const std::string& entryId, uint32_t flags,
                    std::shared_ptr<MapiMessage>* message) override;
  // The session itself, for the account manager.
  const ComPtr<IMAPISession>& session() const { return m_session; }

 private:
  ComPtr<IMAPISession> m_session;
};

// OpenProperty as IStream, Stat and Read: the property's whole content, of a message or an
// attachment.
HResult ReadPropertyStream(IMAPIProp* object, PropTag tag, std::string* bytes);

// Null when `object` is not an IMessage / IMAPISession.
std::shared_ptr<MapiMessage> MakeMapiMessage(IUnknown* object);
std::shared_ptr<MapiSession> MakeMapiSession(IUnknown* object);

}  // namespace tp::host::win32
