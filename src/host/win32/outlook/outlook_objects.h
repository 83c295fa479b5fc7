// The Outlook object model ports over Outlook's IDispatch objects, made from the object that
// OnConnection resolves and from the objects it hands out.
#pragma once

#include <memory>

#include "host/outlook.h"
#include "host/win32/outlook/dispatch_object.h"

namespace tp::host::win32 {

// The COM object behind a port object whose events are sunk.
class ComEventSource {
 public:
  virtual IUnknown* EventObject() const = 0;

 protected:
  ~ComEventSource() = default;
};

// Each is null for a null object.
std::shared_ptr<OutlookApplication> MakeApplication(DispatchObject application);
std::shared_ptr<OutlookItem> MakeItem(DispatchObject item);
std::shared_ptr<Inspector> MakeInspector(DispatchObject inspector);
std::shared_ptr<Folder> MakeFolder(DispatchObject folder);
std::shared_ptr<Selection> MakeSelection(DispatchObject selection);

}  // namespace tp::host::win32
