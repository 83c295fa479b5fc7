// Quit with a worker stuck in a request that the service stalls: the user-interface thread
// waits a bounded share of its half second for each worker and no more, the clock does not
// move, and the worker let go of ends later without writing anything.
#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "addin/connect.h"
#include "branding/branding_list.h"
#include "host/threads.h"
#include "net/brand_names.h"
#include "service_fixture.h"

namespace tp {
namespace {

using standin::Fault;

// The platform's threads, with every wait for a thread's end recorded.
class RecordingThreads final : public host::Threads {
 public:
  explicit RecordingThreads(host::Threads& real) : real_(real) {}
  std::shared_ptr<host::Event> CreateEvent(bool manualReset) override {
    return real_.CreateEvent(manualReset);
  }
  std::unique_ptr<host::Thread> StartThread(std::function<void()> body) override {
    return std::make_unique<RecordedThread>(*this, real_.StartThread(std::move(body)));
  }
  uint32_t CurrentThreadId() override { return real_.CurrentThreadId(); }

  // The waits asked for since the last call, in milliseconds.
  std::vector<uint32_t> TakeJoins() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(joins_, {});
  }

 private:
  class RecordedThread final : public host::Thread {
   public:
    RecordedThread(RecordingThreads& owner, std::unique_ptr<host::Thread> real)
        : owner_(owner), real_(std::move(real)) {}
    bool Join(uint32_t timeoutMs) override {
      {
        std::lock_guard<std::mutex> lock(owner_.mutex_);
        owner_.joins_.push_back(timeoutMs);
      }
      return real_->Join(timeoutMs);
    }

   private:
    RecordingThreads& owner_;
    std::unique_ptr<host::Thread> real_;
  };

  host::Threads& real_;
  std::mutex mutex_;
  std::vector<uint32_t> joins_;
};

struct StalledWorker {
  const char* name;
  const char* pathPrefix;
};

void PrintTo(const StalledWorker& worker, std::ostream* out) {
  *out << worker.name;
}

class QuitWithStalledWorkerTest : public testing::ServiceTest,
                                  public ::testing::WithParamInterface<StalledWorker> {
 protected:
  QuitWithStalledWorkerTest() : threads_(*sim().host().threads), installed_(Recording()) {
    sim().outlook.AddFolder(L"Inbox");
    PublishBrandNameList({L"Acme"});
  }
  ~QuitWithStalledWorkerTest() override {
    connect_.reset();
    server.Stop();  // ends the stalled request
    if (!WaitForWorkers())
      ADD_FAILURE() << "a worker let go of at quit never ended";
    PublishBrandNameList({});
  }

  host::Host Recording() {
    host::Host host = sim().host();
    host.threads = &threads_;
    return host;
  }
  bool Held(const std::string& prefix) const {
    for (const standin::Request& request : server.Requests()) {
      if (request.path.rfind(prefix, 0) == 0)
        return true;
    }
    return false;
  }

  RecordingThreads threads_;
  host::ScopedHost installed_;
  std::unique_ptr<CConnect> connect_;
};

TEST_P(QuitWithStalledWorkerTest, QuitWaitsABoundedShareAndTheWorkerWritesNothingAfterwards) {
  const std::string stalled = GetParam().name;
  server.AddFault(GetParam().pathPrefix, Fault::kStall);
  // The stalled worker asks at once; the other download worker stays quiet.
  constexpr uint32_t kHour = 3600 * 1000;
  AddinOptions options;
  options.sendersList.firstDelayMs = stalled == "SendersList" ? 0 : kHour;
  options.senderIcons.firstDelayMs = stalled == "Icons" ? 0 : kHour;
  options.statistics.idlePollMs = 10;
  connect_ = std::make_unique<CConnect>(std::move(options));
  ASSERT_EQ(connect_->OnConnection(*sim().outlook.ConnectionArgumentFor()), hr::kOk);
  ASSERT_TRUE(WaitUntil([&] { return Held(GetParam().pathPrefix); }));
  connect_->statistics()->QueueStatistic(L"e_name=after_the_stall");

  (void)threads_.TakeJoins();
  const uint64_t before = sim().clock.ElapsedMs();
  connect_->OnQuit();
  const std::vector<uint32_t> joins = threads_.TakeJoins();
  EXPECT_EQ(joins.size(), 3u) << "each worker waited for once";
  EXPECT_LE(std::accumulate(joins.begin(), joins.end(), 0u), 300u);
  EXPECT_EQ(sim().clock.ElapsedMs(), before);
  EXPECT_GE(RunningWorkers(), 1) << "the stalled worker was let go of, not waited for";

  // The request now ends; the worker lets go of it and writes nothing more.
  server.Stop();
  ASSERT_TRUE(WaitForWorkers());
  for (const standin::Request& request : server.Requests())
    EXPECT_EQ(request.body.find("after_the_stall"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(DataFolder() / "sendersList.xml"));
  EXPECT_EQ(Cached(L"SendersListUpdateTime"), L"");
  EXPECT_FALSE(std::filesystem::exists(DataFolder() / "provider_icons" / "Acme.ico"));
  EXPECT_EQ(Cached(L"CachedSendersIcons"), L"");
}

INSTANTIATE_TEST_SUITE_P(Workers, QuitWithStalledWorkerTest,
                         ::testing::Values(StalledWorker{"SendersList", "/ams/GetSendersInfo"},
                                           StalledWorker{"Icons", "/ams/brandingicon/"},
                                           StalledWorker{"Statistics", "/analytics/"}),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace tp
