// Extended MAPI attachments and property streams.
#include "host/win32/outlook/mapi_attachments.h"

#include <algorithm>

#include "host/win32/com_ptr.h"
#include "host/win32/outlook/mapi_library.h"

namespace tp::host::win32 {
namespace {

// Rows asked for at a time, and the most rows read from one table (a message does not carry
// more attachments than Outlook can show).
constexpr LONG kRowBatch = 64;
constexpr size_t kMaxRows = 4096;

class Win32MapiStream final : public MapiStream {
 public:
  explicit Win32MapiStream(ComPtr<IStream> stream) : m_stream(std::move(stream)) {}

  HResult Stat(uint64_t* size) override {
    STATSTG stat{};
    const HRESULT result = m_stream->Stat(&stat, STATFLAG_NONAME);
    if (FAILED(result))
      return ToHResult(result);
    *size = stat.cbSize.QuadPart;
    return hr::kOk;
  }

  HResult Read(size_t count, std::string* bytes) override {
    const size_t before = bytes->size();
    const ULONG wanted = static_cast<ULONG>(std::min<size_t>(count, 1u << 30));
    bytes->resize(before + wanted);
    ULONG read = 0;
    const HRESULT result = m_stream->Read(bytes->data() + before, wanted, &read);
    bytes->resize(before + (FAILED(result) ? 0 : std::min(read, wanted)));
    return ToHResult(FAILED(result) ? result : S_OK);
  }

 private:
  ComPtr<IStream> m_stream;
};

class Win32MapiAttachment final : public MapiAttachment {
 public:
  explicit Win32MapiAttachment(ComPtr<IAttach> attachment) : m_attachment(std::move(attachment)) {}

  HResult OpenStream(PropTag tag, std::unique_ptr<MapiStream>* stream) override {
    return OpenPropertyStream(m_attachment.get(), tag, stream);
  }

 private:
  ComPtr<IAttach> m_attachment;
};

// A row set from QueryRows, freed with FreeProws at the end of its scope.
class RowSet {
 public:
  explicit RowSet(const MapiFunctions& mapi) : m_mapi(mapi) {}
  ~RowSet() {
    if (m_rows != nullptr)
      m_mapi.freeProws(m_rows);
  }
  RowSet(const RowSet&) = delete;
  RowSet& operator=(const RowSet&) = delete;
  LPSRowSet* Receive() { return &m_rows; }
  const SRowSet* get() const { return m_rows; }

 private:
  const MapiFunctions& m_mapi;
  LPSRowSet m_rows = nullptr;
};

AttachmentRow ReadRow(const SRow& row) {
  AttachmentRow read;
  for (ULONG i = 0; row.lpProps != nullptr && i < row.cValues; ++i) {
    const SPropValue& value = row.lpProps[i];
    switch (value.ulPropTag) {
      case kPrAttachNum:
        read.number = value.Value.l;
        break;
      case kPrAttachFilenameW:
        if (value.Value.lpszW != nullptr)
          read.fileNameW = value.Value.lpszW;
        break;
      case kPrAttachFilenameA:
        if (value.Value.lpszA != nullptr)
          read.fileNameA = value.Value.lpszA;
        break;
      default:
        break;
    }
  }
  return read;
}

}  // namespace

HResult OpenPropertyStream(IMAPIProp* object, PropTag tag, std::unique_ptr<MapiStream>* stream) {
  ComPtr<IUnknown> opened;
  HRESULT result = object->OpenProperty(tag, &IID_IStream, 0, 0, opened.Receive());
  if (FAILED(result))
    return ToHResult(result);
  ComPtr<IStream> typed;
  result = opened.As(IID_IStream, &typed);
  if (FAILED(result))
    return ToHResult(result);
  *stream = std::make_unique<Win32MapiStream>(std::move(typed));
  return hr::kOk;
}

HResult ReadAttachmentRows(IMessage* message, std::vector<AttachmentRow>* rows) {
  const MapiFunctions* mapi = Mapi32();
  if (mapi == nullptr)
    return ToHResult(MAPI_E_CALL_FAILED);
  ComPtr<IMAPITable> table;
  HRESULT result = message->GetAttachmentTable(0, table.Receive());
  if (FAILED(result))
    return ToHResult(result);
  if (!table)
    return ToHResult(MAPI_E_CALL_FAILED);
  result = table->SeekRow(BOOKMARK_BEGINNING, 0, nullptr);
  if (FAILED(result))
    return ToHResult(result);
  std::vector<AttachmentRow> read;
  while (read.size() < kMaxRows) {
    RowSet batch(*mapi);
    result = table->QueryRows(kRowBatch, 0, batch.Receive());
    if (FAILED(result))
      return ToHResult(result);
    if (batch.get() == nullptr || batch.get()->cRows == 0)
      break;
    for (ULONG i = 0; i < batch.get()->cRows; ++i)
      read.push_back(ReadRow(batch.get()->aRow[i]));
  }
  *rows = std::move(read);
  return hr::kOk;
}

HResult OpenAttachment(IMessage* message, int32_t number,
                       std::unique_ptr<MapiAttachment>* attachment) {
  ComPtr<IAttach> opened;
  const HRESULT result =
      message->OpenAttach(static_cast<ULONG>(number), nullptr, 0, opened.Receive());
  if (FAILED(result))
    return ToHResult(result);
  if (!opened)
    return ToHResult(MAPI_E_NOT_FOUND);
  *attachment = std::make_unique<Win32MapiAttachment>(std::move(opened));
  return hr::kOk;
}

}  // namespace tp::host::win32
