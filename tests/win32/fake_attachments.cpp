// Fake Extended MAPI attachments.
#include "fake_attachments.h"

#include <algorithm>
#include <new>

#include "fake_mapi.h"

namespace tp::testing {
namespace {

const IID kIidMapiProp = {0x00020303, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kIidAttachment = {0x00020308, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kIidMapiTable = {0x00020301, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// One table row's columns, allocated as MAPI allocates them (the values hang off the row's
// property array, freed with it).
bool FillRow(const FakeAttachmentData& data, SRow* row) {
  const MapiAllocator& mapi = FakeMapiAllocator();
  LPSPropValue values = nullptr;
  if (FAILED(mapi.allocate(sizeof(SPropValue) * 3, reinterpret_cast<LPVOID*>(&values))))
    return false;
  ULONG count = 0;
  if (data.number) {
    values[count] = SPropValue{};
    values[count].ulPropTag = PR_ATTACH_NUM;
    values[count++].Value.l = *data.number;
  }
  if (data.wideName) {
    LPVOID copy = nullptr;
    mapi.more(static_cast<ULONG>((data.wideName->size() + 1) * sizeof(wchar_t)), values, &copy);
    std::copy(data.wideName->c_str(), data.wideName->c_str() + data.wideName->size() + 1,
              static_cast<wchar_t*>(copy));
    values[count] = SPropValue{};
    values[count].ulPropTag = PR_ATTACH_FILENAME_W;
    values[count++].Value.lpszW = static_cast<wchar_t*>(copy);
  }
  if (data.narrowName) {
    LPVOID copy = nullptr;
    mapi.more(static_cast<ULONG>(data.narrowName->size() + 1), values, &copy);
    std::copy(data.narrowName->c_str(), data.narrowName->c_str() + data.narrowName->size() + 1,
              static_cast<char*>(copy));
    values[count] = SPropValue{};
    values[count].ulPropTag = PR_ATTACH_FILENAME_A;
    values[count++].Value.lpszA = static_cast<char*>(copy);
  }
  row->cValues = count;
  row->lpProps = values;
  return true;
}

}  // namespace

HRESULT CreateFakeStream(const std::string& bytes, LPUNKNOWN* object) {
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
  if (memory == nullptr)
    return MAPI_E_NOT_ENOUGH_MEMORY;
  std::copy(bytes.begin(), bytes.end(), static_cast<char*>(::GlobalLock(memory)));
  ::GlobalUnlock(memory);
  IStream* stream = nullptr;
  const HRESULT result = ::CreateStreamOnHGlobal(memory, TRUE, &stream);
  if (FAILED(result)) {
    ::GlobalFree(memory);
    return result;
  }
  ULARGE_INTEGER size{};
  size.QuadPart = bytes.size();
  stream->SetSize(size);
  *object = stream;
  return S_OK;
}

// --- FakeAttachmentTable ------------------------------------------------------------------

ComPtr<FakeAttachmentTable> FakeAttachmentTable::Create(std::vector<FakeAttachmentData> rows,
                                                        LONG batch) {
  return ComPtr<FakeAttachmentTable>::Adopt(new (std::nothrow)
                                                FakeAttachmentTable(std::move(rows), batch));
}

void* FakeAttachmentTable::FindInterface(REFIID iid) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kIidMapiTable))
    return static_cast<IMAPITable*>(this);
  return nullptr;
}

STDMETHODIMP FakeAttachmentTable::SeekRow(BOOKMARK origin, LONG rows, LONG* sought) {
  if (origin != BOOKMARK_BEGINNING || rows != 0)
    return MAPI_E_NO_SUPPORT;
  m_next = 0;
  if (sought != nullptr)
    *sought = 0;
  return S_OK;
}

STDMETHODIMP FakeAttachmentTable::QueryRows(LONG count, ULONG, LPSRowSet* rows) {
  ++queries;
  const MapiAllocator& mapi = FakeMapiAllocator();
  const size_t taken = std::min({static_cast<size_t>(std::max<LONG>(count, 0)),
                                 static_cast<size_t>(m_batch), m_rows.size() - m_next});
  LPSRowSet set = nullptr;
  if (FAILED(mapi.allocate(static_cast<ULONG>(sizeof(SRowSet) + sizeof(SRow) * taken),
                           reinterpret_cast<LPVOID*>(&set)))) {
    return MAPI_E_NOT_ENOUGH_MEMORY;
  }
  set->cRows = 0;
  for (size_t i = 0; i < taken; ++i) {
    if (!FillRow(m_rows[m_next + i], &set->aRow[i]))
      break;
    ++set->cRows;
  }
  m_next += set->cRows;
  *rows = set;
  return S_OK;
}

STDMETHODIMP FakeAttachmentTable::GetRowCount(ULONG, ULONG* count) {
  *count = static_cast<ULONG>(m_rows.size());
  return S_OK;
}

STDMETHODIMP FakeAttachmentTable::GetLastError(HRESULT, ULONG, LPMAPIERROR*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttachmentTable::Advise(ULONG, LPMAPIADVISESINK, ULONG*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttachmentTable::Unadvise(ULONG) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttachmentTable::GetStatus(ULONG*, ULONG*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttachmentTable::SetColumns(LPSPropTagArray, ULONG) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttachmentTable::QueryColumns(ULONG, LPSPropTagArray*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttachmentTable::SeekRowApprox(ULONG, ULONG) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttachmentTable::QueryPosition(ULONG*, ULONG*, ULONG*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttachmentTable::FindRow(LPSRestriction, BOOKMARK, ULONG) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttachmentTable::Restrict(LPSRestriction, ULONG) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttachmentTable::CreateBookmark(BOOKMARK*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttachmentTable::FreeBookmark(BOOKMARK) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttachmentTable::SortTable(LPSSortOrderSet, ULONG) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttachmentTable::QuerySortOrder(LPSSortOrderSet*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttachmentTable::Abort() {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttachmentTable::ExpandRow(ULONG, LPBYTE, ULONG, ULONG, LPSRowSet*, ULONG*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttachmentTable::CollapseRow(ULONG, LPBYTE, ULONG, ULONG*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttachmentTable::WaitForCompletion(ULONG, ULONG, ULONG*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttachmentTable::GetCollapseState(ULONG, ULONG, LPBYTE, ULONG*, LPBYTE*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttachmentTable::SetCollapseState(ULONG, ULONG, LPBYTE, BOOKMARK*) {
  return MAPI_E_NO_SUPPORT;
}

// --- FakeAttach ---------------------------------------------------------------------------

ComPtr<FakeAttach> FakeAttach::Create(std::string bytes) {
  return ComPtr<FakeAttach>::Adopt(new (std::nothrow) FakeAttach(std::move(bytes)));
}

void* FakeAttach::FindInterface(REFIID iid) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kIidMapiProp) ||
      IsEqualIID(iid, kIidAttachment)) {
    return static_cast<IAttach*>(this);
  }
  return nullptr;
}

STDMETHODIMP FakeAttach::OpenProperty(ULONG tag, LPCIID iid, ULONG, ULONG, LPUNKNOWN* object) {
  *object = nullptr;
  if (tag != PR_ATTACH_DATA_BIN)
    return MAPI_E_NOT_FOUND;
  if (iid == nullptr || !IsEqualIID(*iid, IID_IStream))
    return MAPI_E_INTERFACE_NOT_SUPPORTED;
  return CreateFakeStream(m_bytes, object);
}

STDMETHODIMP FakeAttach::GetLastError(HRESULT, ULONG, LPMAPIERROR*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttach::SaveChanges(ULONG) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttach::GetProps(LPSPropTagArray, ULONG, ULONG*, LPSPropValue*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttach::GetPropList(ULONG, LPSPropTagArray*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttach::SetProps(ULONG, LPSPropValue, LPSPropProblemArray*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttach::DeleteProps(LPSPropTagArray, LPSPropProblemArray*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttach::CopyTo(ULONG, LPCIID, LPSPropTagArray, ULONG, LPMAPIPROGRESS, LPCIID,
                                LPVOID, ULONG, LPSPropProblemArray*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttach::CopyProps(LPSPropTagArray, ULONG, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG,
                                   LPSPropProblemArray*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttach::GetNamesFromIDs(LPSPropTagArray*, LPGUID, ULONG, ULONG*, LPMAPINAMEID**) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeAttach::GetIDsFromNames(ULONG, LPMAPINAMEID*, ULONG, LPSPropTagArray*) {
  return MAPI_E_NO_SUPPORT;
}

}  // namespace tp::testing
