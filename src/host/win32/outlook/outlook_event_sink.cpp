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
  if (!m_sink)
    return;
  m_sink->Disconnect();
  (void)m_sink->Unadvise();
}

HResult SinkConnection::Advise(EventSource& source) {
  if (!m_sink)
    return hr::kOutOfMemory;
  auto* object = dynamic_cast<ComEventSource*>(&source);
  if (object == nullptr)
    return ToHResult(CONNECT_E_NOCONNECTION);
  return ToHResult(m_sink->Advise(object->EventObject()));
}

HResult SinkConnection::Unadvise() {
  if (!m_sink)
    return ToHResult(CONNECT_E_NOCONNECTION);
  return ToHResult(m_sink->Unadvise());
}

uint32_t SinkConnection::Cookie() const {
  return m_sink ? m_sink->cookie() : DispatchEventSink::kNotAdvised;
}

OutlookEventSink::OutlookEventSink(EventSinkId id, OutlookEventHandler& handler)
    : m_id(id), m_handler(handler), m_connection(EventInterface(id), this) {}

HRESULT OutlookEventSink::OnEvent(DISPID id, const DISPPARAMS& parameters) {
  switch (m_id) {
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
    m_handler.NewInspector(MakeInspector(ObjectArgument(parameters, 0, OutlookKind::kInspector)));
  }
  return S_OK;
}

HRESULT OutlookEventSink::OnExplorerEvent(DISPID id, const DISPPARAMS& parameters) {
  switch (id) {
    case kSelectionChange:
      m_handler.OnExplorerSelectionChange();
      break;
    case kFolderSwitch:
      m_handler.OnFolderSwitch();
      break;
    case kBeforeFolderSwitch: {
      // (NewFolder, Cancel): Cancel is a VARIANT_BOOL by reference that the handler may set.
      const VARIANT* cancelArgument = InvokeArgument(parameters, 1);
      VARIANT_BOOL* cancelOut = nullptr;
      if (cancelArgument != nullptr && cancelArgument->vt == (VT_BOOL | VT_BYREF)) {
        cancelOut = cancelArgument->pboolVal;
      }
      bool cancel = cancelOut != nullptr && *cancelOut != VARIANT_FALSE;
      m_handler.OnBeforeFolderSwitch(
          MakeFolder(ObjectArgument(parameters, 0, OutlookKind::kFolder)), &cancel);
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
      m_handler.OnNewMailEx(ids != nullptr ? ScopedVariant::ToString(*ids).value_or(std::wstring())
                                           : std::wstring());
      break;
    }
    case kQuit:
      m_handler.OnQuit();
      break;
    case kMapiLogonComplete:
      m_handler.OnLogonComplete();
      break;
    default:
      break;
  }
  return S_OK;
}

InspectorEventSink::InspectorEventSink(InspectorEventHandler& handler)
    : m_handler(handler), m_connection(kDiidInspectorEvents10, this) {}

HRESULT InspectorEventSink::OnEvent(DISPID id, const DISPPARAMS& /*parameters*/) {
  if (id == kInspectorClose)
    m_handler.OnInspectorClose();
  return S_OK;
}

}  // namespace tp::host::win32
