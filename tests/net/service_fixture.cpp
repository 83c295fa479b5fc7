// The stand-in fixture and the gate.
#include "service_fixture.h"

#include <thread>

#include "base/text.h"
#include "platform/registry_values.h"
#include "platform/settings.h"

namespace tp::testing {

void RequestGate::Close(std::chrono::milliseconds limit) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_open = false;
  m_limit = limit;
}

void RequestGate::Open() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_open = true;
  m_changed.notify_all();
}

void RequestGate::Pass() {
  std::unique_lock<std::mutex> lock(m_mutex);
  ++m_arrivals;
  ++m_held;
  m_changed.notify_all();
  (void)m_changed.wait_for(lock, m_limit, [this] { return m_open; });
  --m_held;
}

int RequestGate::held() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_held;
}

bool RequestGate::WaitForArrivals(int count, std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> lock(m_mutex);
  return m_changed.wait_for(lock, limit, [&] { return m_arrivals >= count; });
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
