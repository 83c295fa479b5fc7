// Workers and the installed host: a worker runs on the host it started with, no other host can
// be installed while one runs, and a worker counts as running until what it held is released.
#include "host/host.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "host/clock.h"
#include "host/threads.h"
#include "support/test_host.h"

namespace tp {
namespace {

class HostWorkersTest : public testing::SimHostTest {};

TEST_F(HostWorkersTest, AnotherHostIsRefusedWhileAWorkerOfTheInstalledOneRuns) {
  std::shared_ptr<host::Event> release = host::threads().CreateEvent(true);
  std::atomic<host::Clock*> seen{nullptr};
  auto held = std::make_shared<int>(0);
  std::unique_ptr<host::Thread> worker = host::StartWorker([release, &seen, held] {
    (void)release->Wait(host::kInfinite);
    seen = &host::clock();
  });
  EXPECT_EQ(host::RunningWorkers(), 1);
  host::sim::SimClock otherClock;
  host::Host other = sim().host();
  other.clock = &otherClock;
  EXPECT_FALSE(host::Install(other));
  EXPECT_EQ(&host::clock(), &sim().clock) << "the installed host stays";
  EXPECT_FALSE(host::WaitForWorkers(0));

  release->Set();
  ASSERT_TRUE(host::WaitForWorkers(20000));
  EXPECT_EQ(seen.load(), &sim().clock);
  EXPECT_EQ(held.use_count(), 1) << "what the worker held went before it counted as ended";
  EXPECT_TRUE(worker->Join(host::kInfinite));
  {
    host::ScopedHost installed(other);
    EXPECT_EQ(&host::clock(), &otherClock);
  }
  EXPECT_EQ(&host::clock(), &sim().clock);
}

}  // namespace
}  // namespace tp
