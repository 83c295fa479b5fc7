// The Outlook runtime on Windows.
#include "host/win32/outlook/outlook_runtime.h"

#include "host/win32/outlook/account_manager.h"
#include "host/win32/outlook/outlook_event_sink.h"
#include "host/win32/outlook/outlook_ids.h"

namespace tp::host::win32 {

std::unique_ptr<EventSink> Win32OutlookRuntime::CreateEventSink(EventSinkId id,
                                                                OutlookEventHandler& handler) {
  return std::make_unique<OutlookEventSink>(id, handler);
}

std::unique_ptr<EventSink> Win32OutlookRuntime::CreateInspectorSink(
    InspectorEventHandler& handler) {
  return std::make_unique<InspectorEventSink>(handler);
}

HResult Win32OutlookRuntime::CreateAccountManager(std::shared_ptr<OlkAccountManager>* manager) {
  ComPtr<IOlkAccountManager> created;
  const HRESULT result = ::CoCreateInstance(kClsidOlkAccountManager, nullptr, CLSCTX_INPROC_SERVER,
                                            kIidOlkAccountManager, created.ReceiveVoid());
  if (FAILED(result))
    return ToHResult(result);
  std::shared_ptr<OlkAccountManager> made = MakeAccountManager(std::move(created));
  if (!made)
    return ToHResult(E_POINTER);
  *manager = std::move(made);
  return hr::kOk;
}

}  // namespace tp::host::win32
