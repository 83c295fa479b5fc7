// Support for the Windows tests: a COM apartment per test, a real window with a message pump,
// the program's folder, and the add-in's log in the real data folder.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/win32/win32_api.h"

namespace tp::testing {

// A test on a single-threaded COM apartment, as Outlook's user-interface thread is.
class ComTest : public ::testing::Test {
 protected:
  ComTest() { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  ~ComTest() override { ::CoUninitialize(); }
};

// A top-level window of a private class that only counts the WM_TIMER messages it sees.
class TestWindow {
 public:
  TestWindow();
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND handle() const { return m_window; }
  uintptr_t value() const { return reinterpret_cast<uintptr_t>(m_window); }
  // Destroys the window early (before a DLL whose timers it owns is unloaded).
  void Destroy();

 private:
  HWND m_window = nullptr;
};

// Runs the thread's message loop for `milliseconds`, or until `done` answers true. Counts the
// WM_TIMER messages dispatched for `timerId` (any window) into *timers when given.
void PumpMessages(uint32_t milliseconds, const std::function<bool()>& done = {},
                  uintptr_t timerId = 0, int* timers = nullptr);

// The folder of the test program, with a trailing backslash.
std::wstring ProgramFolder();

// SHGetKnownFolderPath(FOLDERID_LocalAppDataLow) + "\Tidepost\", as the add-in finds it.
std::wstring RealDataFolder();

// The messages of a UTF-16LE log file, without their time and thread prefix.
std::vector<std::wstring> ReadLogMessages(const std::wstring& path);
int CountMessage(const std::vector<std::wstring>& messages, const std::wstring& message);

}  // namespace tp::testing
