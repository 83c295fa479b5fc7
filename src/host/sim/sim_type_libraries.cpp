// The simulated type library registration.
#include "host/sim/sim_type_libraries.h"

namespace tp::host::sim {

HResult SimTypeLibraries::Register(const std::wstring& modulePath, bool forUser) {
  return Call(L"Register", modulePath, forUser);
}

HResult SimTypeLibraries::Unregister(const std::wstring& modulePath, bool forUser) {
  return Call(L"Unregister", modulePath, forUser);
}

HResult SimTypeLibraries::Call(const wchar_t* call, const std::wstring& modulePath, bool forUser) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_calls.push_back(std::wstring(call) + (forUser ? L" user " : L" machine ") + modulePath);
  if (m_fault) {
    const HResult result = m_fault(call, forUser);
    if (hr::Failed(result))
      return result;
  }
  if (std::wstring_view(call) == L"Register") {
    m_registered.emplace(modulePath, forUser);
  } else {
    m_registered.erase({modulePath, forUser});
  }
  return hr::kOk;
}

std::vector<std::wstring> SimTypeLibraries::Calls() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_calls;
}

void SimTypeLibraries::ClearCalls() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_calls.clear();
}

bool SimTypeLibraries::IsRegistered(const std::wstring& modulePath, bool forUser) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_registered.count({modulePath, forUser}) != 0;
}

void SimTypeLibraries::SetFault(
    std::function<HResult(const std::wstring& call, bool forUser)> fault) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_fault = std::move(fault);
}

}  // namespace tp::host::sim
