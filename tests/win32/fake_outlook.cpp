// The fake Outlook session.
#include "fake_outlook.h"

#include <optional>

#include "host/win32/outlook/outlook_ids.h"
#include "host/win32/safe_array.h"
#include "host/win32/scoped_variant.h"

namespace tp::testing {
namespace {

using host::win32::ScopedVariant;

using Arguments = std::vector<const VARIANT*>;

HRESULT ReturnUnknown(IUnknown* object, VARIANT* result) {
  if (result == nullptr)
    return S_OK;
  result->vt = VT_UNKNOWN;
  result->punkVal = object;
  object->AddRef();
  return S_OK;
}

HRESULT ReturnObject(IDispatch* object, VARIANT* result) {
  VARIANT value = DispatchVariant(object);
  SetResult(result, value);
  ::VariantClear(&value);
  return S_OK;
}

// Row.GetValues: a one-dimensional array of VARIANT holding one BSTR.
HRESULT ReturnRow(const std::wstring& entryId, VARIANT* result) {
  host::win32::UniqueSafeArray array(::SafeArrayCreateVector(VT_VARIANT, 0, 1));
  if (!array)
    return E_OUTOFMEMORY;
  LONG index = 0;
  VARIANT cell = StringVariant(entryId);
  ::SafeArrayPutElement(array.get(), &index, &cell);
  ::VariantClear(&cell);
  if (result != nullptr) {
    result->vt = VT_ARRAY | VT_VARIANT;
    result->parray = array.Take();
  }
  return S_OK;
}

}  // namespace

FakeOutlook::FakeOutlook(HWND explorerWindow, FakeOutlookOptions options)
    : application(FakeDispatch::Create()),
      nameSpace(FakeDispatch::Create()),
      explorer(FakeDispatch::Create()),
      inspectors(FakeDispatch::Create()),
      inspector(FakeDispatch::Create()),
      selection(FakeDispatch::Create()),
      mail(FakeDispatch::Create()),
      attachments(FakeDispatch::Create()),
      account(FakeDispatch::Create()),
      folder(FakeDispatch::Create()),
      outbox(FakeDispatch::Create()),
      store(FakeDispatch::Create()),
      table(FakeDispatch::Create()),
      columns(FakeDispatch::Create()),
      row(FakeDispatch::Create()),
      session(FakeMapiSession::Create()),
      message(FakeMessage::Create()) {
  message->SetText(0x001A001F, L"IPM.Note");
  session->AddMessage(std::string(kMailMapiEntryId, sizeof kMailMapiEntryId - 1), message);

  account->SetInt(L"AccountType", 2);
  account->SetString(L"SmtpAddress", L"reader@example.com");
  account->SetString(L"DisplayName", L"Reader");

  mail->AnswerTo(host::win32::kIidOutlookMailItem);
  mail->SetInt(L"Class", 43);
  mail->SetString(L"EntryID", kMailEntryId);
  mail->SetString(L"Subject", L"Spring sale");
  mail->SetBool(L"Sent", true);
  mail->SetInt(L"DownloadState", 1);
  mail->SetInt(L"Size", 2048);
  mail->SetBool(L"UnRead", true);
  mail->SetString(L"SenderEmailAddress", L"news@shop.example");
  mail->SetInt(L"InternetCodepage", 65001);
  mail->SetObject(L"SendUsingAccount", account);
  mail->Set(L"MAPIOBJECT", [message = message](const Arguments&, VARIANT* result) {
    return ReturnUnknown(static_cast<IMessage*>(message.get()), result);
  });
  attachments->SetInt(L"Count", 0);
  mail->SetObject(L"Attachments", attachments);

  selection->SetInt(L"Class", 74);
  selection->SetInt(L"Count", 1);
  selection->Set(L"Item", [mail = mail](const Arguments& arguments, VARIANT* result) {
    if (arguments.size() != 1 || ScopedVariant::ToInt(*arguments[0]) != 1)
      return E_INVALIDARG;
    return ReturnObject(mail.get(), result);
  });

  inspector->SetObject(L"CurrentItem", mail);
  inspector->AddConnectionPoint(host::win32::kDiidInspectorEvents10);

  row->Set(L"GetValues",
           [](const Arguments&, VARIANT* result) { return ReturnRow(kMailEntryId, result); });
  columns->Set(L"RemoveAll", [](const Arguments&, VARIANT*) { return S_OK; });
  columns->Set(L"Add", [](const Arguments&, VARIANT*) { return S_OK; });
  table->SetObject(L"Columns", columns);
  table->Set(L"Sort", [](const Arguments&, VARIANT*) { return S_OK; });
  auto rowsLeft = std::make_shared<int>(1);
  table->Set(L"EndOfTable", [rowsLeft](const Arguments&, VARIANT* result) {
    VARIANT end;
    ::VariantInit(&end);
    end.vt = VT_BOOL;
    end.boolVal = *rowsLeft == 0 ? VARIANT_TRUE : VARIANT_FALSE;
    SetResult(result, end);
    return S_OK;
  });
  table->Set(L"GetNextRow", [rowsLeft, row = row](const Arguments&, VARIANT* result) {
    if (*rowsLeft == 0)
      return ReturnObject(nullptr, result);
    --*rowsLeft;
    return ReturnObject(row.get(), result);
  });
  store->SetInt(L"ExchangeStoreType", 3);
  folder->SetString(L"Name", L"Inbox");
  folder->SetString(L"EntryID", L"folder-inbox");
  folder->SetObject(L"Store", store);
  folder->SetObject(L"GetTable", table);
  outbox->SetString(L"Name", L"Outbox");
  outbox->SetString(L"EntryID", L"folder-outbox");

  explorer->SetWindow(explorerWindow);
  explorer->SetObject(L"CurrentFolder", folder);
  explorer->SetObject(L"Selection", selection);
  explorer->AddConnectionPoint(host::win32::kDiidExplorerEvents);
  inspectors->AddConnectionPoint(host::win32::kDiidInspectorsEvents);

  nameSpace->Set(L"GetItemFromID", [mail = mail](const Arguments& arguments, VARIANT* result) {
    if (arguments.empty() || ScopedVariant::ToString(*arguments[0]) != kMailEntryId) {
      return static_cast<HRESULT>(MAPI_E_NOT_FOUND);
    }
    return ReturnObject(mail.get(), result);
  });
  nameSpace->Set(L"GetDefaultFolder",
                 [outbox = outbox](const Arguments& arguments, VARIANT* result) {
                   if (arguments.size() != 1 || ScopedVariant::ToInt(*arguments[0]) != 4) {
                     return E_INVALIDARG;
                   }
                   return ReturnObject(outbox.get(), result);
                 });
  nameSpace->Set(L"MAPIOBJECT", [session = session](const Arguments&, VARIANT* result) {
    return ReturnUnknown(static_cast<IMAPISession*>(session.get()), result);
  });
  nameSpace->SetString(L"CurrentProfileName", L"Outlook");

  if (options.answersApplicationInterface) {
    application->AnswerTo(host::win32::kIidOutlookApplication);
  }
  application->SetSelf(L"Application");
  application->SetString(L"Version", options.version);
  application->Set(
      L"GetNamespace", [nameSpace = nameSpace](const Arguments& arguments, VARIANT* result) {
        if (arguments.size() != 1 || ScopedVariant::ToString(*arguments[0]) != L"MAPI") {
          return E_INVALIDARG;
        }
        return ReturnObject(nameSpace.get(), result);
      });
  application->SetObject(L"ActiveExplorer", options.hasExplorer ? explorer : nullptr);
  application->SetObject(L"ActiveWindow", options.hasExplorer ? explorer : nullptr);
  application->SetObject(L"Inspectors", inspectors);
  application->AddConnectionPoint(host::win32::kDiidApplicationEvents10);
}

FakeConnectionPoint& FakeOutlook::applicationEvents() const {
  return *application->ConnectionPoint(host::win32::kDiidApplicationEvents10);
}

FakeConnectionPoint& FakeOutlook::explorerEvents() const {
  return *explorer->ConnectionPoint(host::win32::kDiidExplorerEvents);
}

FakeConnectionPoint& FakeOutlook::inspectorEvents() const {
  return *inspector->ConnectionPoint(host::win32::kDiidInspectorEvents10);
}

FakeConnectionPoint& FakeOutlook::inspectorsEvents() const {
  return *inspectors->ConnectionPoint(host::win32::kDiidInspectorsEvents);
}

size_t FakeOutlook::AdvisedSinks() const {
  return applicationEvents().AdviseCount() + explorerEvents().AdviseCount() +
         inspectorsEvents().AdviseCount();
}

void FakeOutlook::AddAttachment(const std::wstring& fileName, const std::wstring& contentId,
                                const std::string& bytes, HRESULT saveResult) {
  ComPtr<FakeDispatch> attachment = FakeDispatch::Create();
  ComPtr<FakeMessage> prop = FakeMessage::Create();
  if (!contentId.empty()) {
    prop->SetStream(0x3712001F, std::string(reinterpret_cast<const char*>(contentId.c_str()),
                                            contentId.size() * sizeof(wchar_t)));
  }
  attachment->SetString(L"FileName", fileName);
  attachment->Set(L"MAPIOBJECT", [prop](const Arguments&, VARIANT* result) {
    return ReturnUnknown(static_cast<IMessage*>(prop.get()), result);
  });
  attachment->Set(L"SaveAsFile", [bytes, saveResult](const Arguments& arguments, VARIANT*) {
    const std::optional<std::wstring> path =
        arguments.size() == 1 ? ScopedVariant::ToString(*arguments[0]) : std::nullopt;
    if (!path)
      return E_INVALIDARG;
    if (FAILED(saveResult))
      return saveResult;
    HANDLE file = ::CreateFileW(path->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
      return HRESULT_FROM_WIN32(::GetLastError());
    DWORD written = 0;
    const BOOL wrote =
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return wrote ? S_OK : E_FAIL;
  });
  m_attachmentList.push_back(attachment);
  attachments->SetInt(L"Count", static_cast<int32_t>(m_attachmentList.size()));
  attachments->Set(L"Item", [list = m_attachmentList](const Arguments& arguments, VARIANT* result) {
    const std::optional<int32_t> index =
        arguments.size() == 1 ? ScopedVariant::ToInt(*arguments[0]) : std::nullopt;
    if (!index || *index < 1 || static_cast<size_t>(*index) > list.size())
      return E_INVALIDARG;
    return ReturnObject(list[static_cast<size_t>(*index - 1)].get(), result);
  });
}

}  // namespace tp::testing
