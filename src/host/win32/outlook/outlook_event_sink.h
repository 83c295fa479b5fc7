// The Outlook event sinks: InspectorsEvents, ExplorerEvents and ApplicationEvents_10, each a
// dispatch sink whose events go to the add-in's handlers.
#pragma once

#include "host/outlook.h"
#include "host/win32/dispatch_event_sink.h"

namespace tp::host::win32 {

class OutlookEventSink final : public EventSink, private DispatchEventRouter {
 public:
  OutlookEventSink(EventSinkId id, OutlookEventHandler& handler);
  // Unadvises when still advised; events that arrive later are ignored.
  ~OutlookEventSink() override;
  OutlookEventSink(const OutlookEventSink&) = delete;
  OutlookEventSink& operator=(const OutlookEventSink&) = delete;

  HResult Advise(EventSource& source) override;
  // Unadvises the connection point this sink advised, which is `source`'s own unless Outlook
  // has since replaced the object (a new active explorer): the old one is released either way.
  HResult Unadvise() override;
  uint32_t Cookie() const override;

 private:
  HRESULT OnEvent(DISPID id, const DISPPARAMS& parameters) override;
  HRESULT OnInspectorsEvent(DISPID id, const DISPPARAMS& parameters);
  HRESULT OnExplorerEvent(DISPID id, const DISPPARAMS& parameters);
  HRESULT OnApplicationEvent(DISPID id, const DISPPARAMS& parameters);

  EventSinkId id_;
  OutlookEventHandler& handler_;
  ComPtr<DispatchEventSink> sink_;
};

// One inspector's InspectorEvents_10: only Close is taken.
class InspectorEventSink final : public EventSink, private DispatchEventRouter {
 public:
  explicit InspectorEventSink(InspectorEventHandler& handler);
  ~InspectorEventSink() override;
  InspectorEventSink(const InspectorEventSink&) = delete;
  InspectorEventSink& operator=(const InspectorEventSink&) = delete;

  HResult Advise(EventSource& source) override;
  HResult Unadvise() override;
  uint32_t Cookie() const override;

 private:
  HRESULT OnEvent(DISPID id, const DISPPARAMS& parameters) override;

  InspectorEventHandler& handler_;
  ComPtr<DispatchEventSink> sink_;
};

}  // namespace tp::host::win32
