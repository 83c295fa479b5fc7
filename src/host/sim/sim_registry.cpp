// The simulated registry.
#include "host/sim/sim_registry.h"

namespace tp::host::sim {
namespace {
const wchar_t* RootName(RegRoot root) {
  switch (root) {
    case RegRoot::kLocalMachine:
      return L"HKLM";
    case RegRoot::kCurrentUser:
      return L"HKCU";
    case RegRoot::kClassesRoot:
      return L"HKCR";
  }
  return L"?";
}
}  // namespace

SimRegistry::SimRegistry()
    : tree_(RegistryTree::Hooks{[this](const RegOperation& op) { return Before(op); }, nullptr}) {}

RegStatus SimRegistry::Before(const RegOperation& operation) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::wstring line(operation.name);
  line += L' ';
  line += RootName(operation.root);
  if (!operation.keyPath.empty()) {
    line += L'\\';
    line += operation.keyPath;
  }
  if (!operation.valueName.empty()) {
    line += L' ';
    line += operation.valueName;
  }
  calls_.push_back(std::move(line));
  return fault_ ? fault_(operation) : kRegOk;
}

std::vector<std::wstring> SimRegistry::Calls() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return calls_;
}

void SimRegistry::ClearCalls() {
  std::lock_guard<std::mutex> lock(mutex_);
  calls_.clear();
}

void SimRegistry::SetFault(std::function<RegStatus(const RegOperation&)> fault) {
  std::lock_guard<std::mutex> lock(mutex_);
  fault_ = std::move(fault);
}

}  // namespace tp::host::sim
