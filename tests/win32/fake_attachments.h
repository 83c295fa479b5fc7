// Fake Extended MAPI attachments: a message's attachment table, answered in batches of rows
// allocated with the system's MAPI32 (the adapter frees them with FreeProws), and attachments
// whose data opens as a stream.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "fake_dispatch.h"
#include "host/win32/outlook/mapi_api.h"

namespace tp::testing {

struct FakeAttachmentData {
  std::optional<LONG> number;  // PR_ATTACH_NUM; the row leaves it out when empty
  std::optional<std::wstring> wideName;
  std::optional<std::string> narrowName;
  std::string bytes;  // PR_ATTACH_DATA_BIN
};

class FakeAttachmentTable final : public ComObject<FakeAttachmentTable, IMAPITable> {
 public:
  // Answers QueryRows with at most `batch` rows at a time.
  static ComPtr<FakeAttachmentTable> Create(std::vector<FakeAttachmentData> rows, LONG batch);
  void* FindInterface(REFIID iid);

  int queries = 0;  // QueryRows calls

  STDMETHODIMP GetLastError(HRESULT result, ULONG flags, LPMAPIERROR* error) override;
  STDMETHODIMP Advise(ULONG mask, LPMAPIADVISESINK sink, ULONG* connection) override;
  STDMETHODIMP Unadvise(ULONG connection) override;
  STDMETHODIMP GetStatus(ULONG* status, ULONG* type) override;
  STDMETHODIMP SetColumns(LPSPropTagArray columns, ULONG flags) override;
  STDMETHODIMP QueryColumns(ULONG flags, LPSPropTagArray* columns) override;
  STDMETHODIMP GetRowCount(ULONG flags, ULONG* count) override;
  STDMETHODIMP SeekRow(BOOKMARK origin, LONG rows, LONG* sought) override;
  STDMETHODIMP SeekRowApprox(ULONG numerator, ULONG denominator) override;
  STDMETHODIMP QueryPosition(ULONG* row, ULONG* numerator, ULONG* denominator) override;
  STDMETHODIMP FindRow(LPSRestriction restriction, BOOKMARK origin, ULONG flags) override;
  STDMETHODIMP Restrict(LPSRestriction restriction, ULONG flags) override;
  STDMETHODIMP CreateBookmark(BOOKMARK* position) override;
  STDMETHODIMP FreeBookmark(BOOKMARK position) override;
  STDMETHODIMP SortTable(LPSSortOrderSet order, ULONG flags) override;
  STDMETHODIMP QuerySortOrder(LPSSortOrderSet* order) override;
  STDMETHODIMP QueryRows(LONG count, ULONG flags, LPSRowSet* rows) override;
  STDMETHODIMP Abort() override;
  STDMETHODIMP ExpandRow(ULONG keySize, LPBYTE key, ULONG count, ULONG flags, LPSRowSet* rows,
                         ULONG* more) override;
  STDMETHODIMP CollapseRow(ULONG keySize, LPBYTE key, ULONG flags, ULONG* count) override;
  STDMETHODIMP WaitForCompletion(ULONG flags, ULONG timeout, ULONG* status) override;
  STDMETHODIMP GetCollapseState(ULONG flags, ULONG keySize, LPBYTE key, ULONG* stateSize,
                                LPBYTE* state) override;
  STDMETHODIMP SetCollapseState(ULONG flags, ULONG stateSize, LPBYTE state,
                                BOOKMARK* location) override;

 private:
  FakeAttachmentTable(std::vector<FakeAttachmentData> rows, LONG batch)
      : m_rows(std::move(rows)), m_batch(batch) {}
  ~FakeAttachmentTable() override = default;

  std::vector<FakeAttachmentData> m_rows;
  LONG m_batch;
  size_t m_next = 0;
};

class FakeAttach final : public ComObject<FakeAttach, IAttach> {
 public:
  static ComPtr<FakeAttach> Create(std::string bytes);
  void* FindInterface(REFIID iid);

  STDMETHODIMP GetLastError(HRESULT result, ULONG flags, LPMAPIERROR* error) override;
  STDMETHODIMP SaveChanges(ULONG flags) override;
  STDMETHODIMP GetProps(LPSPropTagArray tags, ULONG flags, ULONG* count,
                        LPSPropValue* values) override;
  STDMETHODIMP GetPropList(ULONG flags, LPSPropTagArray* tags) override;
  STDMETHODIMP OpenProperty(ULONG tag, LPCIID iid, ULONG options, ULONG flags,
                            LPUNKNOWN* object) override;
  STDMETHODIMP SetProps(ULONG count, LPSPropValue values, LPSPropProblemArray* problems) override;
  STDMETHODIMP DeleteProps(LPSPropTagArray tags, LPSPropProblemArray* problems) override;
  STDMETHODIMP CopyTo(ULONG excludeCount, LPCIID exclude, LPSPropTagArray excludeProps,
                      ULONG uiParam, LPMAPIPROGRESS progress, LPCIID iid, LPVOID destination,
                      ULONG flags, LPSPropProblemArray* problems) override;
  STDMETHODIMP CopyProps(LPSPropTagArray include, ULONG uiParam, LPMAPIPROGRESS progress,
                         LPCIID iid, LPVOID destination, ULONG flags,
                         LPSPropProblemArray* problems) override;
  STDMETHODIMP GetNamesFromIDs(LPSPropTagArray* tags, LPGUID guid, ULONG flags, ULONG* count,
                               LPMAPINAMEID** names) override;
  STDMETHODIMP GetIDsFromNames(ULONG count, LPMAPINAMEID* names, ULONG flags,
                               LPSPropTagArray* tags) override;

 private:
  explicit FakeAttach(std::string bytes) : m_bytes(std::move(bytes)) {}
  ~FakeAttach() override = default;

  std::string m_bytes;
};

// An IStream over a copy of the bytes (CreateStreamOnHGlobal).
HRESULT CreateFakeStream(const std::string& bytes, LPUNKNOWN* object);

}  // namespace tp::testing
