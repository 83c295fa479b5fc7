// Test support: temporary folders and a fixture that installs a simulated host.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/sim/sim_host.h"
#include "platform/configuration.h"

namespace tp::testing {

// A new empty folder, removed with everything in it at the end of its scope.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return m_path; }
  std::wstring wpath() const { return m_path.wstring(); }

 private:
  std::filesystem::path m_path;
};

// Reads a whole file as bytes (empty when it cannot be read).
std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

// Service endpoints on a closed local port.
config::ServiceEndpoints ClosedServices();

// A test with a simulated host installed over a fresh temporary folder.
class SimHostTest : public ::testing::Test {
 protected:
  SimHostTest();
  // Waits for the workers the test left running (a test's own fixture ends what holds them).
  ~SimHostTest() override;

  host::sim::SimHost& sim() { return *m_sim; }
  // Installs the simulated host again with this message crypto (before any worker starts).
  void UseCrypto(host::MessageCrypto& crypto);
  const TempFolder& folder() const { return m_folder; }
  // The data folder ("<root>/LocalLow/Tidepost").
  std::filesystem::path DataFolder() const;
  // The log's lines without their time and thread prefix.
  std::vector<std::wstring> LogMessages() const;
  // True when some logged message equals `message`.
  bool Logged(const std::wstring& message) const;
  // Number of logged messages equal to `message`.
  int CountLogged(const std::wstring& message) const;

 private:
  TempFolder m_folder;
  std::unique_ptr<host::sim::SimHost> m_sim;
  std::unique_ptr<host::ScopedHost> m_installed;
};

}  // namespace tp::testing
