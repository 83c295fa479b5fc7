// Extended MAPI port: properties, streams and saving of a message, and the MAPI session.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/hresult.h"

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
constexpr PropTag kPrAttachNum = 0x0E210003;
constexpr PropTag kPrAttachDataBin = 0x37010102;
constexpr PropTag kPrAttachFilenameA = 0x3704001E;
constexpr PropTag kPrAttachFilenameW = 0x3704001F;
constexpr PropTag kPrAttachContentIdW = 0x3712001F;

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

// One row of a message's attachment table: the columns the add-in reads, each empty when the
// row does not carry it.
struct AttachmentRow {
  std::optional<int32_t> number;          // PR_ATTACH_NUM
  std::optional<std::wstring> fileNameW;  // PR_ATTACH_FILENAME_W
  std::optional<std::string> fileNameA;   // PR_ATTACH_FILENAME_A, in the system code page
};

// A property opened as an IStream.
class MapiStream {
 public:
  virtual ~MapiStream() = default;
  // Stat without the name: the size the stream announces.
  virtual HResult Stat(uint64_t* size) = 0;
  // Read of up to `count` bytes, appended to *bytes; none are appended at the end.
  virtual HResult Read(size_t count, std::string* bytes) = 0;
};

class MapiAttachment {
 public:
  virtual ~MapiAttachment() = default;
  // OpenProperty(tag, IID_IStream, 0, 0).
  virtual HResult OpenStream(PropTag tag, std::unique_ptr<MapiStream>* stream) = 0;
};

class MapiMessage {
 public:
  virtual ~MapiMessage() = default;
  virtual HResult GetProp(PropTag tag, PropValue* value) = 0;  // HrGetOneProp
  virtual HResult SetProp(const PropValue& value) = 0;         // HrSetOneProp
  // OpenProperty as IStream, then Stat and Read: the stream's whole content.
  virtual HResult ReadStream(PropTag tag, std::string* bytes) = 0;
  virtual HResult SaveChanges(uint32_t flags) = 0;
  // GetAttachmentTable (flags 0) and all of its rows in table order, with the default
  // columns; the rows come back empty when the table has none.
  virtual HResult GetAttachmentRows(std::vector<AttachmentRow>* rows) = 0;
  // OpenAttach(number, default interface, flags 0).
  virtual HResult OpenAttach(int32_t number, std::unique_ptr<MapiAttachment>* attachment) = 0;
};

class MapiSession {
 public:
  virtual ~MapiSession() = default;
  virtual HResult OpenEntry(const std::string& entryId, uint32_t flags,
                            std::shared_ptr<MapiMessage>* message) = 0;
};

}  // namespace tp::host
