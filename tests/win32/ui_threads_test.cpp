// Window timers, registered messages and windows on a real message loop; events and threads,
// including a worker that keeps its DLL loaded after the DLL's last FreeLibrary.
#include <gtest/gtest.h>

#include <atomic>

#include "addin/timer_proc.h"
#include "host/host.h"
#include "host/platform.h"
#include "host/win32/unique_resource.h"
#include "host/win32/win32_threads.h"
#include "host/win32/win32_ui.h"
#include "win32_test_support.h"

namespace tp::testing {
namespace {

using host::WaitResult;
using host::win32::UniqueHandle;
using host::win32::UniqueModule;

// The timers expire into tp::TimerProc, which kills each one through the installed host.
class Win32UiTest : public ::testing::Test {
 protected:
  Win32UiTest() : m_installed(host::PlatformHost()) { ui().SetTimerProcedure(&TimerProc); }

  host::UiThread& ui() { return *host::PlatformHost().ui; }
  host::ScopedHost m_installed;
};

TEST_F(Win32UiTest, AWindowTimerFiresOnceIntoTimerProcWhichKillsIt) {
  TestWindow window;
  ASSERT_EQ(ui().SetTimer(window.value(), 1814, 10), 1814u);
  int fired = 0;
  PumpMessages(300, {}, 1814, &fired);
  EXPECT_EQ(fired, 1) << "a 10 ms window timer repeats unless TimerProc kills it";
  EXPECT_FALSE(ui().KillTimer(window.value(), 1814));
}

TEST_F(Win32UiTest, ArmingAgainReplacesThePendingTimer) {
  TestWindow window;
  ASSERT_EQ(ui().SetTimer(window.value(), 1812, 5000), 1812u);
  ASSERT_EQ(ui().SetTimer(window.value(), 1812, 10), 1812u);
  int fired = 0;
  PumpMessages(300, {}, 1812, &fired);
  EXPECT_EQ(fired, 1);
}

TEST_F(Win32UiTest, ATimerWithoutAWindowGetsASystemIdAndIsKilledToo) {
  const host::TimerId id = ui().SetTimer(0, 1814, 10);
  ASSERT_NE(id, 0u);
  int fired = 0;
  PumpMessages(300, {}, id, &fired);
  EXPECT_EQ(fired, 1);
  EXPECT_FALSE(ui().KillTimer(0, id));
}

TEST_F(Win32UiTest, KilledTimersDoNotFireAndWindowsCanBeDestroyed) {
  TestWindow window;
  ASSERT_EQ(ui().SetTimer(window.value(), 2712, 10), 2712u);
  EXPECT_TRUE(ui().KillTimer(window.value(), 2712));
  int fired = 0;
  PumpMessages(100, {}, 2712, &fired);
  EXPECT_EQ(fired, 0);

  EXPECT_TRUE(ui().IsWindow(window.value()));
  EXPECT_TRUE(ui().DestroyWindow(window.value()));
  EXPECT_FALSE(ui().IsWindow(window.value()));
  EXPECT_FALSE(ui().DestroyWindow(window.value()));
  EXPECT_EQ(ui().SetTimer(window.value(), 1814, 10), 0u) << "no timer on a destroyed window";
}

TEST_F(Win32UiTest, RegisteredMessagesAreSharedByName) {
  const uint32_t cancel = ui().RegisterWindowMessage(L"TP-Send Cancel to Outlook");
  EXPECT_GE(cancel, 0xC000u);
  EXPECT_EQ(ui().RegisterWindowMessage(L"tp-send cancel to outlook"), cancel);
  EXPECT_NE(ui().RegisterWindowMessage(L"TP-Send Activate to Outlook"), cancel);
}

TEST(Win32Threads, EventsResetAsTheirKindSays) {
  host::win32::Win32Threads threads;
  std::shared_ptr<host::Event> manual = threads.CreateEvent(true);
  std::shared_ptr<host::Event> automatic = threads.CreateEvent(false);
  EXPECT_EQ(manual->Wait(0), WaitResult::kTimeout);
  manual->Set();
  EXPECT_EQ(manual->Wait(0), WaitResult::kSignaled);
  EXPECT_EQ(manual->Wait(0), WaitResult::kSignaled);
  manual->Reset();
  EXPECT_EQ(manual->Wait(0), WaitResult::kTimeout);
  automatic->Set();
  EXPECT_EQ(automatic->Wait(0), WaitResult::kSignaled);
  EXPECT_EQ(automatic->Wait(0), WaitResult::kTimeout);
}

TEST(Win32Threads, RunsBodiesJoinsWithATimeoutAndDetachesOnDestruction) {
  host::win32::Win32Threads threads;
  std::shared_ptr<host::Event> go = threads.CreateEvent(true);
  auto ran = std::make_shared<std::atomic<uint32_t>>(0);
  std::unique_ptr<host::Thread> worker = threads.StartThread([go, ran, &threads] {
    go->Wait(host::kInfinite);
    *ran = threads.CurrentThreadId();
  });
  ASSERT_TRUE(worker);
  EXPECT_FALSE(worker->Join(20)) << "still waiting for its event";
  go->Set();
  EXPECT_TRUE(worker->Join(host::kInfinite));
  EXPECT_NE(*ran, 0u);
  EXPECT_NE(*ran, threads.CurrentThreadId());

  // A worker whose Thread is destroyed first runs on to its end with what it owns.
  std::shared_ptr<host::Event> release = threads.CreateEvent(true);
  std::shared_ptr<host::Event> finished = threads.CreateEvent(true);
  worker = threads.StartThread([release, finished] {
    release->Wait(host::kInfinite);
    finished->Set();
  });
  worker.reset();
  release->Set();
  EXPECT_EQ(finished->Wait(5000), WaitResult::kSignaled);

  // An exception thrown by a body ends its thread, not the process.
  worker = threads.StartThread([] { throw std::runtime_error("worker failed"); });
  EXPECT_TRUE(worker->Join(5000));
}

// tp_pin_probe.dll starts a worker through the same adapter and lets go of its Thread at once.
TEST(Win32Threads, AWorkerKeepsItsDllLoadedUntilItEnds) {
  const std::wstring path = ProgramFolder() + L"tp_pin_probe.dll";
  UniqueModule probe(::LoadLibraryW(path.c_str()));
  ASSERT_TRUE(probe) << "tp_pin_probe.dll beside the test program";
  using Start = BOOL(__cdecl*)(HANDLE started, HANDLE release);
  const auto start = reinterpret_cast<Start>(
      reinterpret_cast<void*>(::GetProcAddress(probe.get(), "StartPinnedWorker")));
  ASSERT_NE(start, nullptr);
  UniqueHandle started(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  UniqueHandle release(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  ASSERT_TRUE(start(started.get(), release.get()));
  ASSERT_EQ(::WaitForSingleObject(started.get(), 5000), WAIT_OBJECT_0);

  ::FreeLibrary(probe.Take());
  EXPECT_NE(::GetModuleHandleW(L"tp_pin_probe.dll"), nullptr) << "the worker holds the DLL";

  ::SetEvent(release.get());
  const DWORD deadline = ::GetTickCount() + 5000;
  while (::GetModuleHandleW(L"tp_pin_probe.dll") != nullptr && ::GetTickCount() < deadline) {
    ::Sleep(10);
  }
  EXPECT_EQ(::GetModuleHandleW(L"tp_pin_probe.dll"), nullptr) << "unloaded as the worker ended";
}

}  // namespace
}  // namespace tp::testing
