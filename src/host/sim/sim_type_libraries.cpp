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
  std::lock_guard<std::mutex> lock(mutex_);
  calls_.push_back(std::wstring(call) + (forUser ? L" user " : L" machine ") + modulePath);
  if (fault_) {
    const HResult result = fault_(call, forUser);
    if (hr::Failed(result))
      return result;
  }
  if (std::wstring_view(call) == L"Register") {
    registered_.emplace(modulePath, forUser);
  } else {
    registered_.erase({modulePath, forUser});
  }
  return hr::kOk;
}

std::vector<std::wstring> SimTypeLibraries::Calls() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return calls_;
}

void SimTypeLibraries::ClearCalls() {
  std::lock_guard<std::mutex> lock(mutex_);
  calls_.clear();
}

bool SimTypeLibraries::IsRegistered(const std::wstring& modulePath, bool forUser) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return registered_.count({modulePath, forUser}) != 0;
}

void SimTypeLibraries::SetFault(
    std::function<HResult(const std::wstring& call, bool forUser)> fault) {
  std::lock_guard<std::mutex> lock(mutex_);
  fault_ = std::move(fault);
}

}  // namespace tp::host::sim
