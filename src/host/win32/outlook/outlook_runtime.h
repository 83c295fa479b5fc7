// The Outlook runtime port on Windows: event sinks on Outlook's connection points, and
// Outlook's account manager created in process.
#pragma once

#include "host/outlook.h"

namespace tp::host::win32 {

class Win32OutlookRuntime final : public OutlookRuntime {
 public:
  std::unique_ptr<EventSink> CreateEventSink(EventSinkId id, OutlookEventHandler& handler) override;
  std::unique_ptr<EventSink> CreateInspectorSink(InspectorEventHandler& handler) override;
  HResult CreateAccountManager(std::shared_ptr<OlkAccountManager>* manager) override;
};

}  // namespace tp::host::win32
