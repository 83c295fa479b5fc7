// The Application argument of OnConnection: the IDispatch that Outlook passes, asked for its
// "Application" member, which must answer Outlook's _Application.
#pragma once

#include "host/outlook.h"
#include "host/win32/com_ptr.h"

namespace tp::host::win32 {

class DispatchConnectionArgument final : public ConnectionArgument {
 public:
  explicit DispatchConnectionArgument(IDispatch* argument) : m_argument(argument) {}
  // GetIDsOfNames("Application") then Invoke (DISPATCH_METHOD, no arguments); an object that is
  // not Outlook's _Application (another Office program) fails the Invoke step with
  // E_NOINTERFACE, so the add-in stays inert outside Outlook.
  HResult ResolveApplication(std::shared_ptr<OutlookApplication>* application,
                             Step* failedStep) override;

 private:
  ComPtr<IDispatch> m_argument;
};

}  // namespace tp::host::win32
