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
  explicit RecordingThreads(host::Threads& real) : m_real(real) {}
  std::shared_ptr<host::Event> CreateEvent(bool manualReset) override {
    return m_real.CreateEvent(manualReset);
  }
  std::unique_ptr<host::Thread> StartThread(std::function<void()> body) override {
    return std::make_unique<RecordedThread>(*this, m_real.StartThread(std::move(body)));
  }
  uint32_t CurrentThreadId() override { return m_real.CurrentThreadId(); }

  // The waits asked for since the last call, in milliseconds.
  std::vector<uint32_t> TakeJoins() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::exchange(m_joins, {});
  }

 private:
  class RecordedThread final : public host::Thread {
   public:
    RecordedThread(RecordingThreads& owner, std::unique_ptr<host::Thread> real)
        : m_owner(owner), m_real(std::move(real)) {}
    bool Join(uint32_t timeoutMs) override {
      {
        std::lock_guard<std::mutex> lock(m_owner.m_mutex);
        m_owner.m_joins.push_back(timeoutMs);
      }
      return m_real->Join(timeoutMs);
    }

   private:
    RecordingThreads& m_owner;
    std::unique_ptr<host::Thread> m_real;
  };

  host::Threads& m_real;
  std::mutex m_mutex;
  std::vector<uint32_t> m_joins;
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
  QuitWithStalledWorkerTest() : m_threads(*sim().host().threads), m_installed(Recording()) {
    sim().outlook.AddFolder(L"Inbox");
    PublishBrandNameList({L"Acme"});
  }
  ~QuitWithStalledWorkerTest() override {
    m_connect.reset();
    server.Stop();  // ends the stalled request
    if (!WaitForWorkers())
      ADD_FAILURE() << "a worker let go of at quit never ended";
    PublishBrandNameList({});
  }

  host::Host Recording() {
    host::Host host = sim().host();
    host.threads = &m_threads;
    return host;
  }
  bool Held(const std::string& prefix) const {
    for (const standin::Request& request : server.Requests()) {
      if (request.path.rfind(prefix, 0) == 0)
        return true;
    }
    return false;
  }

  RecordingThreads m_threads;
  host::ScopedHost m_installed;
  std::unique_ptr<CConnect> m_connect;
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
  m_connect = std::make_unique<CConnect>(std::move(options));
  ASSERT_EQ(m_connect->OnConnection(*sim().outlook.ConnectionArgumentFor()), hr::kOk);
  ASSERT_TRUE(WaitUntil([&] { return Held(GetParam().pathPrefix); }));
  m_connect->statistics()->QueueStatistic(L"e_name=after_the_stall");

  (void)m_threads.TakeJoins();
  const uint64_t before = sim().clock.ElapsedMs();
  m_connect->OnQuit();
  const std::vector<uint32_t> joins = m_threads.TakeJoins();
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
