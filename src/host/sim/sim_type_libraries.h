// The simulated type library registration: it records each call, remembers which modules'
// libraries are registered in which scope, and fails the calls a test asks it to.
#pragma once

#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "host/type_library.h"

namespace tp::host::sim {

class SimTypeLibraries final : public TypeLibraryRegistrar {
 public:
  HResult Register(const std::wstring& modulePath, bool forUser) override;
  HResult Unregister(const std::wstring& modulePath, bool forUser) override;

  // "Register machine C:\x\TidepostOutlookAddin.dll", one line per call.
  std::vector<std::wstring> Calls() const;
  void ClearCalls();
  bool IsRegistered(const std::wstring& modulePath, bool forUser) const;
  // Decides the result of each call ("Register" or "Unregister"); a failure changes nothing.
  void SetFault(std::function<HResult(const std::wstring& call, bool forUser)> fault);

 private:
  HResult Call(const wchar_t* call, const std::wstring& modulePath, bool forUser);

  mutable std::mutex m_mutex;
  std::vector<std::wstring> m_calls;
  std::set<std::pair<std::wstring, bool>> m_registered;
  std::function<HResult(const std::wstring& call, bool forUser)> m_fault;
};

}  // namespace tp::host::sim
