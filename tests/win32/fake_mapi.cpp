// Fake Extended MAPI objects.
#include "fake_mapi.h"

#include <algorithm>
#include <new>

#include "host/win32/outlook/outlook_ids.h"

namespace tp::testing {
namespace {

const IID kIidMapiProp = {0x00020303, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

}  // namespace

const MapiAllocator& FakeMapiAllocator() {
  static const MapiAllocator allocator = [] {
    MapiAllocator made;
    const HMODULE mapi = ::LoadLibraryW(L"MAPI32.dll");
    if (mapi == nullptr)
      return made;
    made.allocate = reinterpret_cast<MapiAllocator::AllocateBuffer>(
        reinterpret_cast<void*>(::GetProcAddress(mapi, "MAPIAllocateBuffer")));
    made.more = reinterpret_cast<MapiAllocator::AllocateMore>(
        reinterpret_cast<void*>(::GetProcAddress(mapi, "MAPIAllocateMore")));
    return made;
  }();
  return allocator;
}

ComPtr<FakeMessage> FakeMessage::Create() {
  return ComPtr<FakeMessage>::Adopt(new (std::nothrow) FakeMessage());
}

void* FakeMessage::FindInterface(REFIID iid) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, host::win32::kIidMessage) ||
      IsEqualIID(iid, kIidMapiProp)) {
    return static_cast<IMessage*>(this);
  }
  return nullptr;
}

std::wstring FakeMessage::Text(ULONG tag) const {
  auto found = m_texts.find(tag);
  return found == m_texts.end() ? std::wstring() : found->second;
}

STDMETHODIMP FakeMessage::GetProps(LPSPropTagArray tags, ULONG, ULONG* count,
                                   LPSPropValue* values) {
  const MapiAllocator& mapi = FakeMapiAllocator();
  if (tags == nullptr || mapi.allocate == nullptr)
    return MAPI_E_NO_SUPPORT;
  LPSPropValue array = nullptr;
  if (FAILED(
          mapi.allocate(sizeof(SPropValue) * tags->cValues, reinterpret_cast<LPVOID*>(&array)))) {
    return MAPI_E_NOT_ENOUGH_MEMORY;
  }
  HRESULT result = S_OK;
  for (ULONG i = 0; i < tags->cValues; ++i) {
    const ULONG tag = tags->aulPropTag[i];
    SPropValue& value = array[i];
    value = SPropValue{};
    auto binary = m_binaries.find(tag);
    if (binary != m_binaries.end() && PROP_TYPE(tag) == PT_BINARY) {
      LPVOID copy = nullptr;
      mapi.more(static_cast<ULONG>(binary->second.size()), array, &copy);
      std::copy(binary->second.begin(), binary->second.end(), static_cast<char*>(copy));
      value.ulPropTag = tag;
      value.Value.bin.cb = static_cast<ULONG>(binary->second.size());
      value.Value.bin.lpb = static_cast<LPBYTE>(copy);
      continue;
    }
    auto found = m_texts.find(tag);
    if (found == m_texts.end() || PROP_TYPE(tag) != PT_UNICODE) {
      value.ulPropTag = PROP_TAG(PT_ERROR, PROP_ID(tag));
      value.Value.err = MAPI_E_NOT_FOUND;
      result = MAPI_W_ERRORS_RETURNED;
      continue;
    }
    const std::wstring& text = found->second;
    LPVOID copy = nullptr;
    mapi.more(static_cast<ULONG>((text.size() + 1) * sizeof(wchar_t)), array, &copy);
    std::copy(text.c_str(), text.c_str() + text.size() + 1, static_cast<wchar_t*>(copy));
    value.ulPropTag = tag;
    value.Value.lpszW = static_cast<wchar_t*>(copy);
  }
  *count = tags->cValues;
  *values = array;
  return result;
}

STDMETHODIMP FakeMessage::SetProps(ULONG count, LPSPropValue values,
                                   LPSPropProblemArray* problems) {
  if (problems != nullptr)
    *problems = nullptr;
  for (ULONG i = 0; i < count; ++i) {
    if (PROP_TYPE(values[i].ulPropTag) != PT_UNICODE)
      return MAPI_E_NO_SUPPORT;
    m_texts[values[i].ulPropTag] = values[i].Value.lpszW;
  }
  return S_OK;
}

STDMETHODIMP FakeMessage::OpenProperty(ULONG tag, LPCIID iid, ULONG, ULONG, LPUNKNOWN* object) {
  *object = nullptr;
  auto found = m_streams.find(tag);
  if (found == m_streams.end())
    return MAPI_E_NOT_FOUND;
  if (iid == nullptr || !IsEqualIID(*iid, IID_IStream))
    return MAPI_E_INTERFACE_NOT_SUPPORTED;
  return CreateFakeStream(found->second, object);
}

STDMETHODIMP FakeMessage::SaveChanges(ULONG flags) {
  saveFlags.push_back(flags);
  if (saveResults.empty())
    return S_OK;
  const HRESULT result = saveResults.front();
  saveResults.erase(saveResults.begin());
  return result;
}

STDMETHODIMP FakeMessage::GetLastError(HRESULT, ULONG, LPMAPIERROR*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMessage::GetPropList(ULONG, LPSPropTagArray*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMessage::DeleteProps(LPSPropTagArray, LPSPropProblemArray*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMessage::CopyTo(ULONG, LPCIID, LPSPropTagArray, ULONG, LPMAPIPROGRESS, LPCIID,
                                 LPVOID, ULONG, LPSPropProblemArray*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMessage::CopyProps(LPSPropTagArray, ULONG, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG,
                                    LPSPropProblemArray*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMessage::GetNamesFromIDs(LPSPropTagArray*, LPGUID, ULONG, ULONG*, LPMAPINAMEID**) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMessage::GetIDsFromNames(ULONG, LPMAPINAMEID*, ULONG, LPSPropTagArray*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMessage::GetAttachmentTable(ULONG, LPMAPITABLE* table) {
  *table = FakeAttachmentTable::Create(attachments, attachmentBatch).Detach();
  return S_OK;
}
STDMETHODIMP FakeMessage::OpenAttach(ULONG number, LPCIID, ULONG, LPATTACH* attach) {
  *attach = nullptr;
  for (const FakeAttachmentData& attachment : attachments) {
    if (attachment.number.value_or(0) == static_cast<LONG>(number)) {
      *attach = FakeAttach::Create(attachment.bytes).Detach();
      return S_OK;
    }
  }
  return MAPI_E_NOT_FOUND;
}
STDMETHODIMP FakeMessage::CreateAttach(LPCIID, ULONG, ULONG*, LPATTACH*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMessage::DeleteAttach(ULONG, ULONG, LPMAPIPROGRESS, ULONG) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMessage::GetRecipientTable(ULONG, LPMAPITABLE*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMessage::ModifyRecipients(ULONG, LPADRLIST) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMessage::SubmitMessage(ULONG) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMessage::SetReadFlag(ULONG) {
  return MAPI_E_NO_SUPPORT;
}

// --- FakeMapiSession ----------------------------------------------------------------------

ComPtr<FakeMapiSession> FakeMapiSession::Create() {
  return ComPtr<FakeMapiSession>::Adopt(new (std::nothrow) FakeMapiSession());
}

void* FakeMapiSession::FindInterface(REFIID iid) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, host::win32::kIidMapiSession)) {
    return static_cast<IMAPISession*>(this);
  }
  return nullptr;
}

void FakeMapiSession::AddMessage(const std::string& entryId, ComPtr<FakeMessage> message) {
  m_messages[entryId] = std::move(message);
}

STDMETHODIMP FakeMapiSession::OpenEntry(ULONG size, LPENTRYID id, LPCIID, ULONG flags, ULONG* type,
                                        LPUNKNOWN* object) {
  openFlags.push_back(flags);
  *object = nullptr;
  const std::string key(reinterpret_cast<const char*>(id), size);
  auto found = m_messages.find(key);
  if (found == m_messages.end())
    return MAPI_E_NOT_FOUND;
  *type = MAPI_MESSAGE;
  found->second->AddRef();
  *object = static_cast<IMessage*>(found->second.get());
  return S_OK;
}

STDMETHODIMP FakeMapiSession::GetLastError(HRESULT, ULONG, LPMAPIERROR*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMapiSession::GetMsgStoresTable(ULONG, LPMAPITABLE*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMapiSession::OpenMsgStore(ULONG_PTR, ULONG, LPENTRYID, LPCIID, ULONG, LPMDB*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMapiSession::OpenAddressBook(ULONG_PTR, LPCIID, ULONG, LPADRBOOK*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMapiSession::OpenProfileSection(LPMAPIUID, LPCIID, ULONG, LPPROFSECT*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMapiSession::GetStatusTable(ULONG, LPMAPITABLE*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMapiSession::CompareEntryIDs(ULONG, LPENTRYID, ULONG, LPENTRYID, ULONG, ULONG*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMapiSession::Advise(ULONG, LPENTRYID, ULONG, LPMAPIADVISESINK, ULONG*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMapiSession::Unadvise(ULONG) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMapiSession::MessageOptions(ULONG_PTR, ULONG, LPTSTR, LPMESSAGE) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMapiSession::QueryDefaultMessageOpt(LPTSTR, ULONG, ULONG*, LPSPropValue*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMapiSession::EnumAdrTypes(ULONG, ULONG*, LPTSTR**) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMapiSession::QueryIdentity(ULONG*, LPENTRYID*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMapiSession::Logoff(ULONG_PTR, ULONG, ULONG) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMapiSession::SetDefaultStore(ULONG, ULONG, LPENTRYID) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMapiSession::AdminServices(ULONG, LPSERVICEADMIN*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMapiSession::ShowForm(ULONG_PTR, LPMDB, LPMAPIFOLDER, LPCIID, ULONG, LPMESSAGE,
                                       ULONG, ULONG, ULONG, ULONG, LPSTR) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP FakeMapiSession::PrepareForm(LPCIID, LPMESSAGE, ULONG*) {
  return MAPI_E_NO_SUPPORT;
}

}  // namespace tp::testing
