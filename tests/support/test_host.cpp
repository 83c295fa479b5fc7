// Test support.
#include "support/test_host.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "base/text.h"
#include "platform/configuration.h"

namespace tp::testing {

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  m_path = std::filesystem::temp_directory_path() /
           ("tidepost-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(m_path);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

SimHostTest::SimHostTest()
    : m_sim(std::make_unique<host::sim::SimHost>(m_folder.wpath())),
      m_installed(std::make_unique<host::ScopedHost>(m_sim->host())) {
  // No test reaches the real service: by default every request finds a closed port.
  config::SetServices(ClosedServices());
}

config::ServiceEndpoints ClosedServices() {
  config::ServiceEndpoints services;
  services.apiHost = L"127.0.0.1";
  services.apiPort = 9;
  services.statsHost = L"127.0.0.1";
  services.statsPort = 9;
  return services;
}

SimHostTest::~SimHostTest() {
  // A worker left running would use the simulated host after it is gone.
  if (!host::WaitForWorkers(60000)) {
    ADD_FAILURE() << "a worker outlived its test";
    std::abort();
  }
}

void SimHostTest::UseCrypto(host::MessageCrypto& crypto) {
  host::Host withCrypto = m_sim->host();
  withCrypto.crypto = &crypto;
  m_installed.reset();
  m_installed = std::make_unique<host::ScopedHost>(withCrypto);
}

std::filesystem::path SimHostTest::DataFolder() const {
  return m_folder.path() / "LocalLow" / "Tidepost";
}

std::vector<std::wstring> SimHostTest::LogMessages() const {
  std::string bytes = ReadFileBytes(DataFolder() / "TidepostOutlookAddin_log.txt");
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE')
    bytes.erase(0, 2);
  const std::wstring text = Utf16LeToWide(bytes);
  std::vector<std::wstring> messages;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(L"\r\n", start);
    if (end == std::wstring::npos)
      end = text.size();
    std::wstring line = text.substr(start, end - start);
    const size_t prefixEnd = line.find(L"] ");
    messages.push_back(prefixEnd == std::wstring::npos ? line : line.substr(prefixEnd + 2));
    start = end + 2;
  }
  return messages;
}

bool SimHostTest::Logged(const std::wstring& message) const {
  return CountLogged(message) > 0;
}

int SimHostTest::CountLogged(const std::wstring& message) const {
  int count = 0;
  for (const std::wstring& line : LogMessages()) {
    if (line == message)
      ++count;
  }
  return count;
}

}  // namespace tp::testing
