// The stand-in fixture and the gate.
#include "service_fixture.h"

#include <thread>

#include "base/text.h"
#include "platform/registry_values.h"
#include "platform/settings.h"

namespace tp::testing {

void RequestGate::Close(std::chrono::milliseconds limit) {
  std::lock_guard<std::mutex> lock(mutex_);
  open_ = false;
  limit_ = limit;
}

void RequestGate::Open() {
  std::lock_guard<std::mutex> lock(mutex_);
  open_ = true;
  changed_.notify_all();
}

void RequestGate::Pass() {
  std::unique_lock<std::mutex> lock(mutex_);
  ++arrivals_;
  ++held_;
  changed_.notify_all();
  (void)changed_.wait_for(lock, limit_, [this] { return open_; });
  --held_;
}

int RequestGate::held() {
  std::lock_guard<std::mutex> lock(mutex_);
  return held_;
}

bool RequestGate::WaitForArrivals(int count, std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, limit, [&] { return arrivals_ >= count; });
}

ServiceTest::ServiceTest() {
  server.SetRequestObserver([this](const standin::Request&) { gate.Pass(); });
  std::string error;
  if (!server.Start(0, &error))
    ADD_FAILURE() << "the stand-in did not start: " << error;
  config::ServiceEndpoints services;
  services.apiHost = services.statsHost = L"127.0.0.1";
  services.apiPort = services.statsPort = server.port();
  config::SetServices(services);
}

ServiceTest::~ServiceTest() {
  gate.Open();
  server.Stop();
}

bool ServiceTest::WaitUntil(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

bool ServiceTest::LogHas(const std::wstring& message) const {
  return LogText().find(message + L"\r\n") != std::wstring::npos;
}

std::wstring ServiceTest::LogText() const {
  return Utf16LeToWide(ReadFileBytes(DataFolder() / "TidepostOutlookAddin_log.txt"));
}

std::vector<std::string> ServiceTest::Targets() const {
  std::vector<std::string> targets;
  for (const standin::Request& request : server.Requests())
    targets.push_back(request.target);
  return targets;
}

std::wstring ServiceTest::Cached(const wchar_t* name) {
  // Read past GetCachedValue, which would log every poll.
  std::unique_ptr<host::RegistryKey> key =
      OpenRegistryKey(host::RegRoot::kCurrentUser, kCacheKeyPath, host::RegAccess::kRead);
  return key ? ReadStringValue(*key, name).value_or(std::wstring()) : std::wstring();
}

}  // namespace tp::testing
