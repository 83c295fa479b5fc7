// Fake Extended MAPI objects: a message with properties and streams, and a session that
// opens messages by entry id. Property values are handed out in MAPI buffers from the
// system's MAPI32, as a real message store does.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "fake_attachments.h"
#include "fake_dispatch.h"
#include "host/win32/outlook/mapi_api.h"

namespace tp::testing {

// The system MAPI32's allocator, which the adapters' MAPIFreeBuffer and FreeProws release.
struct MapiAllocator {
  using AllocateBuffer = SCODE(WINAPI*)(ULONG size, LPVOID* buffer);
  using AllocateMore = SCODE(WINAPI*)(ULONG size, LPVOID object, LPVOID* buffer);
  AllocateBuffer allocate = nullptr;
  AllocateMore more = nullptr;
};
const MapiAllocator& FakeMapiAllocator();

class FakeMessage final : public ComObject<FakeMessage, IMessage> {
 public:
  static ComPtr<FakeMessage> Create();
  void* FindInterface(REFIID iid);

  void SetText(ULONG tag, const std::wstring& text) { m_texts[tag] = text; }
  // A binary property (PT_BINARY), such as PR_ENTRYID.
  void SetBinary(ULONG tag, const std::string& bytes) { m_binaries[tag] = bytes; }
  void SetStream(ULONG tag, const std::string& bytes) { m_streams[tag] = bytes; }
  std::wstring Text(ULONG tag) const;
  bool HasText(ULONG tag) const { return m_texts.count(tag) != 0; }
  // Results of the next SaveChanges calls, oldest first; S_OK once they are used up.
  std::vector<HRESULT> saveResults;
  std::vector<ULONG> saveFlags;
  // The attachment table's rows, and how many QueryRows answers at a time.
  std::vector<FakeAttachmentData> attachments;
  LONG attachmentBatch = 64;

  // IMAPIProp.
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
  // IMessage.
  STDMETHODIMP GetAttachmentTable(ULONG flags, LPMAPITABLE* table) override;
  STDMETHODIMP OpenAttach(ULONG number, LPCIID iid, ULONG flags, LPATTACH* attach) override;
  STDMETHODIMP CreateAttach(LPCIID iid, ULONG flags, ULONG* number, LPATTACH* attach) override;
  STDMETHODIMP DeleteAttach(ULONG number, ULONG uiParam, LPMAPIPROGRESS progress,
                            ULONG flags) override;
  STDMETHODIMP GetRecipientTable(ULONG flags, LPMAPITABLE* table) override;
  STDMETHODIMP ModifyRecipients(ULONG flags, LPADRLIST changes) override;
  STDMETHODIMP SubmitMessage(ULONG flags) override;
  STDMETHODIMP SetReadFlag(ULONG flags) override;

 private:
  FakeMessage() = default;
  ~FakeMessage() override = default;

  std::map<ULONG, std::wstring> m_texts;
  std::map<ULONG, std::string> m_binaries;
  std::map<ULONG, std::string> m_streams;
};

class FakeMapiSession final : public ComObject<FakeMapiSession, IMAPISession> {
 public:
  static ComPtr<FakeMapiSession> Create();
  void* FindInterface(REFIID iid);

  void AddMessage(const std::string& entryId, ComPtr<FakeMessage> message);
  std::vector<ULONG> openFlags;

  STDMETHODIMP GetLastError(HRESULT result, ULONG flags, LPMAPIERROR* error) override;
  STDMETHODIMP GetMsgStoresTable(ULONG flags, LPMAPITABLE* table) override;
  STDMETHODIMP OpenMsgStore(ULONG_PTR uiParam, ULONG size, LPENTRYID id, LPCIID iid, ULONG flags,
                            LPMDB* store) override;
  STDMETHODIMP OpenAddressBook(ULONG_PTR uiParam, LPCIID iid, ULONG flags,
                               LPADRBOOK* book) override;
  STDMETHODIMP OpenProfileSection(LPMAPIUID uid, LPCIID iid, ULONG flags,
                                  LPPROFSECT* section) override;
  STDMETHODIMP GetStatusTable(ULONG flags, LPMAPITABLE* table) override;
  STDMETHODIMP OpenEntry(ULONG size, LPENTRYID id, LPCIID iid, ULONG flags, ULONG* type,
                         LPUNKNOWN* object) override;
  STDMETHODIMP CompareEntryIDs(ULONG size1, LPENTRYID id1, ULONG size2, LPENTRYID id2, ULONG flags,
                               ULONG* result) override;
  STDMETHODIMP Advise(ULONG size, LPENTRYID id, ULONG mask, LPMAPIADVISESINK sink,
                      ULONG* connection) override;
  STDMETHODIMP Unadvise(ULONG connection) override;
  STDMETHODIMP MessageOptions(ULONG_PTR uiParam, ULONG flags, LPTSTR addressType,
                              LPMESSAGE message) override;
  STDMETHODIMP QueryDefaultMessageOpt(LPTSTR addressType, ULONG flags, ULONG* count,
                                      LPSPropValue* options) override;
  STDMETHODIMP EnumAdrTypes(ULONG flags, ULONG* count, LPTSTR** types) override;
  STDMETHODIMP QueryIdentity(ULONG* size, LPENTRYID* id) override;
  STDMETHODIMP Logoff(ULONG_PTR uiParam, ULONG flags, ULONG reserved) override;
  STDMETHODIMP SetDefaultStore(ULONG flags, ULONG size, LPENTRYID id) override;
  STDMETHODIMP AdminServices(ULONG flags, LPSERVICEADMIN* admin) override;
  STDMETHODIMP ShowForm(ULONG_PTR uiParam, LPMDB store, LPMAPIFOLDER folder, LPCIID iid,
                        ULONG token, LPMESSAGE sent, ULONG flags, ULONG status, ULONG messageFlags,
                        ULONG access, LPSTR messageClass) override;
  STDMETHODIMP PrepareForm(LPCIID iid, LPMESSAGE message, ULONG* token) override;

 private:
  FakeMapiSession() = default;
  ~FakeMapiSession() override = default;

  std::map<std::string, ComPtr<FakeMessage>> m_messages;
};

}  // namespace tp::testing
