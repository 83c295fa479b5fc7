// The Outlook event sinks: InspectorsEvents, ExplorerEvents and ApplicationEvents_10, each a
// dispatch sink whose events go to the add-in's handlers.
#pragma once

#include "host/outlook.h"
#include "host/win32/dispatch_event_sink.h"

namespace tp::host::win32 {

// A dispatch sink's connection to the object whose events it takes: advised on an event
// source, unadvised on request or, when still advised, at destruction (events that arrive
// later are ignored).
class SinkConnection {
 public:
  SinkConnection(const IID& events, DispatchEventRouter* router)
      : m_sink(DispatchEventSink::Create(events, router)) {}
  ~SinkConnection();
  SinkConnection(const SinkConnection&) = delete;
  SinkConnection& operator=(const SinkConnection&) = delete;

  HResult Advise(EventSource& source);
  HResult Unadvise();
  uint32_t Cookie() const;

 private:
  ComPtr<DispatchEventSink> m_sink;
};

class OutlookEventSink final : public EventSink, private DispatchEventRouter {
 public:
  OutlookEventSink(EventSinkId id, OutlookEventHandler& handler);
  OutlookEventSink(const OutlookEventSink&) = delete;
  OutlookEventSink& operator=(const OutlookEventSink&) = delete;

  HResult Advise(EventSource& source) override { return m_connection.Advise(source); }
  // Unadvises the connection point this sink advised, which is `source`'s own unless Outlook
  // has since replaced the object (a new active explorer): the old one is released either way.
  HResult Unadvise() override { return m_connection.Unadvise(); }
  uint32_t Cookie() const override { return m_connection.Cookie(); }

 private:
  HRESULT OnEvent(DISPID id, const DISPPARAMS& parameters) override;
  HRESULT OnInspectorsEvent(DISPID id, const DISPPARAMS& parameters);
  HRESULT OnExplorerEvent(DISPID id, const DISPPARAMS& parameters);
  HRESULT OnApplicationEvent(DISPID id, const DISPPARAMS& parameters);

  EventSinkId m_id;
  OutlookEventHandler& m_handler;
  SinkConnection m_connection;
};

// One inspector's InspectorEvents_10: only Close is taken.
class InspectorEventSink final : public EventSink, private DispatchEventRouter {
 public:
  explicit InspectorEventSink(InspectorEventHandler& handler);
  InspectorEventSink(const InspectorEventSink&) = delete;
  InspectorEventSink& operator=(const InspectorEventSink&) = delete;

  HResult Advise(EventSource& source) override { return m_connection.Advise(source); }
  HResult Unadvise() override { return m_connection.Unadvise(); }
  uint32_t Cookie() const override { return m_connection.Cookie(); }

 private:
  HRESULT OnEvent(DISPID id, const DISPPARAMS& parameters) override;

  InspectorEventHandler& m_handler;
  SinkConnection m_connection;
};

}  // namespace tp::host::win32
