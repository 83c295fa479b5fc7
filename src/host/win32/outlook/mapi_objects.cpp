// Extended MAPI on a message and the session.
#include "host/win32/outlook/mapi_objects.h"

#include <algorithm>

#include "host/win32/outlook/mapi_attachments.h"
#include "host/win32/outlook/mapi_library.h"
#include "host/win32/outlook/outlook_ids.h"

namespace tp::host::win32 {
namespace {

class Win32MapiMessage final : public MapiMessage {
 public:
  explicit Win32MapiMessage(ComPtr<IMessage> message) : m_message(std::move(message)) {}

  HResult GetProp(PropTag tag, PropValue* value) override {
    const MapiFunctions* mapi = Mapi32();
    if (mapi == nullptr)
      return ToHResult(MAPI_E_CALL_FAILED);
    MapiBuffer prop(*mapi);
    const HRESULT result = mapi->getOneProp(m_message.get(), tag, prop.Receive());
    if (FAILED(result))
      return ToHResult(result);
    if (prop.get() == nullptr)
      return ToHResult(MAPI_E_NOT_FOUND);
    const SPropValue& found = *prop.get();
    PropValue read;
    read.tag = found.ulPropTag;
    switch (PROP_TYPE(found.ulPropTag)) {
      case PT_UNICODE:
        if (found.Value.lpszW != nullptr)
          read.text = found.Value.lpszW;
        break;
      case PT_STRING8:
        if (found.Value.lpszA != nullptr)
          read.bytes = found.Value.lpszA;
        break;
      case PT_BINARY:
        if (found.Value.bin.lpb != nullptr) {
          read.bytes.assign(reinterpret_cast<const char*>(found.Value.bin.lpb), found.Value.bin.cb);
        }
        break;
      case PT_LONG:
        read.integer = found.Value.l;
        break;
      case PT_ERROR:
        return ToHResult(found.Value.err);
      default:
        return ToHResult(MAPI_E_BAD_VALUE);
    }
    *value = std::move(read);
    return hr::kOk;
  }

  HResult SetProp(const PropValue& value) override {
    const MapiFunctions* mapi = Mapi32();
    if (mapi == nullptr)
      return ToHResult(MAPI_E_CALL_FAILED);
    // MAPI's structure takes writable pointers; it gets copies.
    std::wstring text = value.text;
    std::string bytes = value.bytes;
    SPropValue prop{};
    prop.ulPropTag = value.tag;
    switch (PROP_TYPE(value.tag)) {
      case PT_UNICODE:
        prop.Value.lpszW = text.data();
        break;
      case PT_STRING8:
        prop.Value.lpszA = bytes.data();
        break;
      case PT_BINARY:
        prop.Value.bin.cb = static_cast<ULONG>(bytes.size());
        prop.Value.bin.lpb = reinterpret_cast<LPBYTE>(bytes.data());
        break;
      case PT_LONG:
        prop.Value.l = value.integer;
        break;
      default:
        return ToHResult(MAPI_E_BAD_VALUE);
    }
    return ToHResult(mapi->setOneProp(m_message.get(), &prop));
  }

  HResult ReadStream(PropTag tag, std::string* bytes) override {
    return ReadPropertyStream(m_message.get(), tag, bytes);
  }

  HResult GetAttachmentRows(std::vector<AttachmentRow>* rows) override {
    return ReadAttachmentRows(m_message.get(), rows);
  }

  HResult OpenAttach(int32_t number, std::unique_ptr<MapiAttachment>* attachment) override {
    return OpenAttachment(m_message.get(), number, attachment);
  }

  HResult SaveChanges(uint32_t flags) override { return ToHResult(m_message->SaveChanges(flags)); }

 private:
  ComPtr<IMessage> m_message;
};

}  // namespace

HResult ReadPropertyStream(IMAPIProp* object, PropTag tag, std::string* bytes) {
  std::unique_ptr<MapiStream> stream;
  HResult result = OpenPropertyStream(object, tag, &stream);
  if (hr::Failed(result))
    return result;
  uint64_t size = 0;
  result = stream->Stat(&size);
  if (hr::Failed(result))
    return result;
  // The size is a hint: the content is what Read gives until it ends.
  constexpr size_t kChunk = 64 * 1024;
  constexpr uint64_t kLargestHint = 64ull * 1024 * 1024;
  std::string content;
  content.reserve(static_cast<size_t>(std::min(size, kLargestHint)));
  for (;;) {
    const size_t before = content.size();
    result = stream->Read(kChunk, &content);
    if (hr::Failed(result))
      return result;
    if (content.size() == before)
      break;
  }
  *bytes = std::move(content);
  return hr::kOk;
}

HResult Win32MapiSession::OpenEntry(const std::string& entryId, uint32_t flags,
                                    std::shared_ptr<MapiMessage>* message) {
  std::string id = entryId;  // MAPI takes a writable entry id
  ULONG objectType = 0;
  ComPtr<IUnknown> opened;
  const HRESULT result =
      m_session->OpenEntry(static_cast<ULONG>(id.size()), reinterpret_cast<LPENTRYID>(id.data()),
                           nullptr, flags, &objectType, opened.Receive());
  if (FAILED(result))
    return ToHResult(result);
  std::shared_ptr<MapiMessage> openedMessage = MakeMapiMessage(opened.get());
  if (!openedMessage)
    return hr::kNoInterface;
  *message = std::move(openedMessage);
  return hr::kOk;
}

std::shared_ptr<MapiMessage> MakeMapiMessage(IUnknown* object) {
  if (object == nullptr)
    return nullptr;
  ComPtr<IMessage> message;
  if (FAILED(object->QueryInterface(kIidMessage, message.ReceiveVoid())) || !message) {
    return nullptr;
  }
  return std::make_shared<Win32MapiMessage>(std::move(message));
}

std::shared_ptr<MapiSession> MakeMapiSession(IUnknown* object) {
  if (object == nullptr)
    return nullptr;
  ComPtr<IMAPISession> session;
  if (FAILED(object->QueryInterface(kIidMapiSession, session.ReceiveVoid())) || !session) {
    return nullptr;
  }
  return std::make_shared<Win32MapiSession>(std::move(session));
}

}  // namespace tp::host::win32
