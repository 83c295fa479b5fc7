// Extended MAPI port: properties, streams and saving of a message, and the MAPI session.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "support/hresult.h"

namespace tp::host {

using PropTag = uint32_t;

constexpr uint32_t PropType(PropTag tag) {
  return tag & 0xFFFF;
}
constexpr uint32_t kPtLong = 0x0003;
constexpr uint32_t kPtString8 = 0x001E;
constexpr uint32_t kPtUnicode = 0x001F;
constexpr uint32_t kPtBinary = 0x0102;

constexpr PropTag kPrMessageClassW = 0x001A001F;
constexpr PropTag kPrSentRepresentingEmailAddressW = 0x0065001F;
constexpr PropTag kPrReceivedByAddrTypeW = 0x0075001F;
constexpr PropTag kPrReceivedByEmailAddressW = 0x0076001F;
constexpr PropTag kPrTransportMessageHeadersW = 0x007D001F;
constexpr PropTag kPrEntryId = 0x0FFF0102;
constexpr PropTag kPrBodyW = 0x1000001F;
constexpr PropTag kPrHtml = 0x10130102;

// SaveChanges flags.
constexpr uint32_t kKeepOpenReadWrite = 0x00000002;
constexpr uint32_t kForceSave = 0x00000004;
// OpenEntry flags.
constexpr uint32_t kMapiModify = 0x00000001;
constexpr uint32_t kMapiDeferredErrors = 0x00000008;

// One property value as HrGetOneProp returns it: the tag it came back with (which tells the
// type) and the value in the field for that type.
struct PropValue {
  PropTag tag = 0;
  std::wstring text;    // PT_UNICODE
  std::string bytes;    // PT_STRING8 (in the system code page) or PT_BINARY
  int32_t integer = 0;  // PT_LONG
};

class MapiMessage {
 public:
  virtual ~MapiMessage() = default;
  virtual HResult GetProp(PropTag tag, PropValue* value) = 0;  // HrGetOneProp
  virtual HResult SetProp(const PropValue& value) = 0;         // HrSetOneProp
  // OpenProperty as IStream, then Stat and Read: the stream's whole content.
  virtual HResult ReadStream(PropTag tag, std::string* bytes) = 0;
  virtual HResult SaveChanges(uint32_t flags) = 0;
};

class MapiSession {
 public:
  virtual ~MapiSession() = default;
  virtual HResult OpenEntry(const std::string& entryId, uint32_t flags,
                            std::shared_ptr<MapiMessage>* message) = 0;
};

}  // namespace tp::host
