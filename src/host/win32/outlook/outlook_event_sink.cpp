// Routing Outlook's events to the add-in's handlers.
#include "host/win32/outlook/outlook_event_sink.h"

#include "host/win32/outlook/outlook_ids.h"
#include "host/win32/outlook/outlook_objects.h"
#include "host/win32/scoped_variant.h"

namespace tp::host::win32 {
namespace {

// InspectorsEvents.
constexpr DISPID kNewInspector = 0xF001;
// ExplorerEvents.
constexpr DISPID kSelectionChange = 0xF007;
constexpr DISPID kFolderSwitch = 0xF002;
constexpr DISPID kBeforeFolderSwitch = 0xF003;
// ApplicationEvents_10.
constexpr DISPID kNewMailEx = 0xFAB5;
constexpr DISPID kQuit = 0xF007;
constexpr DISPID kMapiLogonComplete = 0xFA90;
// InspectorEvents_10.
constexpr DISPID kInspectorClose = 0xF008;

const IID& EventInterface(EventSinkId id) {
  switch (id) {
    case EventSinkId::kInspectors:
      return kDiidInspectorsEvents;
    case EventSinkId::kExplorer:
      return kDiidExplorerEvents;
    case EventSinkId::kApplication:
      return kDiidApplicationEvents10;
  }
  return kDiidApplicationEvents10;
}

DispatchObject ObjectArgument(const DISPPARAMS& parameters, UINT index, OutlookKind kind) {
  const VARIANT* argument = InvokeArgument(parameters, index);
  if (argument == nullptr)
    return {};
  return DispatchObject(ScopedVariant::ToDispatch(*argument), kind);
}

}  // namespace

SinkConnection::~SinkConnection() {
  if (!sink_)
    return;
  sink_->Disconnect();
  (void)sink_->Unadvise();
}

HResult SinkConnection::Advise(EventSource& source) {
  if (!sink_)
    return hr::kOutOfMemory;
  auto* object = dynamic_cast<ComEventSource*>(&source);
  if (object == nullptr)
    return ToHResult(CONNECT_E_NOCONNECTION);
  return ToHResult(sink_->Advise(object->EventObject()));
}

HResult SinkConnection::Unadvise() {
  if (!sink_)
    return ToHResult(CONNECT_E_NOCONNECTION);
  return ToHResult(sink_->Unadvise());
}

uint32_t SinkConnection::Cookie() const {
  return sink_ ? sink_->cookie() : DispatchEventSink::kNotAdvised;
}

OutlookEventSink::OutlookEventSink(EventSinkId id, OutlookEventHandler& handler)
    : id_(id), handler_(handler), connection_(EventInterface(id), this) {}

HRESULT OutlookEventSink::OnEvent(DISPID id, const DISPPARAMS& parameters) {
  switch (id_) {
    case EventSinkId::kInspectors:
      return OnInspectorsEvent(id, parameters);
    case EventSinkId::kExplorer:
      return OnExplorerEvent(id, parameters);
    case EventSinkId::kApplication:
      return OnApplicationEvent(id, parameters);
  }
  return S_OK;
}

HRESULT OutlookEventSink::OnInspectorsEvent(DISPID id, const DISPPARAMS& parameters) {
  if (id == kNewInspector) {
    handler_.NewInspector(MakeInspector(ObjectArgument(parameters, 0, OutlookKind::kInspector)));
  }
  return S_OK;
}

HRESULT OutlookEventSink::OnExplorerEvent(DISPID id, const DISPPARAMS& parameters) {
  switch (id) {
    case kSelectionChange:
      handler_.OnExplorerSelectionChange();
      break;
    case kFolderSwitch:
      handler_.OnFolderSwitch();
      break;
    case kBeforeFolderSwitch: {
      // (NewFolder, Cancel): Cancel is a VARIANT_BOOL by reference that the handler may set.
      const VARIANT* cancelArgument = InvokeArgument(parameters, 1);
      VARIANT_BOOL* cancelOut = nullptr;
      if (cancelArgument != nullptr && cancelArgument->vt == (VT_BOOL | VT_BYREF)) {
        cancelOut = cancelArgument->pboolVal;
      }
      bool cancel = cancelOut != nullptr && *cancelOut != VARIANT_FALSE;
      handler_.OnBeforeFolderSwitch(MakeFolder(ObjectArgument(parameters, 0, OutlookKind::kFolder)),
                                    &cancel);
      if (cancelOut != nullptr)
        *cancelOut = cancel ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    }
    default:
      break;
  }
  return S_OK;
}

HRESULT OutlookEventSink::OnApplicationEvent(DISPID id, const DISPPARAMS& parameters) {
  switch (id) {
    case kNewMailEx: {
      const VARIANT* ids = InvokeArgument(parameters, 0);
      handler_.OnNewMailEx(ids != nullptr ? ScopedVariant::ToString(*ids).value_or(std::wstring())
                                          : std::wstring());
      break;
    }
    case kQuit:
      handler_.OnQuit();
      break;
    case kMapiLogonComplete:
      handler_.OnLogonComplete();
      break;
    default:
      break;
  }
  return S_OK;
}

InspectorEventSink::InspectorEventSink(InspectorEventHandler& handler)
    : handler_(handler), connection_(kDiidInspectorEvents10, this) {}

HRESULT InspectorEventSink::OnEvent(DISPID id, const DISPPARAMS& /*parameters*/) {
  if (id == kInspectorClose)
    handler_.OnInspectorClose();
  return S_OK;
}

}  // namespace tp::host::win32
