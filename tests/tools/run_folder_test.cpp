// The tool's temporary folders: made fresh, removed on every way out (returns, exceptions,
// SIGINT, SIGTERM, SIGHUP), and a missing or unusable temporary folder reported as an error.
#include "run_folder.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "commands.h"
#include "support/test_host.h"

extern char** environ;

namespace tp {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;

const fs::path kExamples = fs::path(TP_SOURCE_DIR) / "examples";

// TMPDIR set to a value for the life of the object, then restored.
class ScopedTmpDir {
 public:
  explicit ScopedTmpDir(const std::string& value) {
    if (const char* old = std::getenv("TMPDIR"))
      m_old = old;
    ::setenv("TMPDIR", value.c_str(), 1);
  }
  ~ScopedTmpDir() {
    if (m_old.empty()) {
      ::unsetenv("TMPDIR");
    } else {
      ::setenv("TMPDIR", m_old.c_str(), 1);
    }
  }
  ScopedTmpDir(const ScopedTmpDir&) = delete;
  ScopedTmpDir& operator=(const ScopedTmpDir&) = delete;

 private:
  std::string m_old;
};

bool IsEmptyFolder(const fs::path& path) {
  return fs::is_directory(path) && fs::is_empty(path);
}

TEST(RunFolderTest, FreshFoldersGoWithTheirOwnerEvenOnAnException) {
  testing::TempFolder temp;
  ScopedTmpDir tmpdir(temp.path().string());
  std::string error;
  fs::path first;
  try {
    const auto folder = tool::RunFolder::Create("test", &error);
    ASSERT_NE(folder, nullptr) << error;
    const auto other = tool::RunFolder::Create("test", &error);
    ASSERT_NE(other, nullptr) << error;
    first = folder->path();
    EXPECT_EQ(first.parent_path(), temp.path());
    EXPECT_THAT(first.filename().string(), StartsWith("tidepost-test-"));
    EXPECT_NE(first, other->path());
    fs::create_directories(first / "LocalLow" / "Tidepost");
    testing::WriteFileBytes(first / "LocalLow" / "Tidepost" / "log.txt", "x");
    throw std::runtime_error("the command failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_FALSE(fs::exists(first));
  EXPECT_TRUE(IsEmptyFolder(temp.path()));
}

TEST(RunFolderTest, AMissingOrUnusableTemporaryFolderIsAnError) {
  testing::TempFolder temp;
  testing::WriteFileBytes(temp.path() / "a-file", "x");
  struct Case {
    std::string tmpdir;
    std::string error;
  };
  const Case cases[] = {
      {(temp.path() / "missing").string(),
       "TMPDIR names \"" + (temp.path() / "missing").string() + "\", which is not a folder"},
      {(temp.path() / "a-file").string(),
       "TMPDIR names \"" + (temp.path() / "a-file").string() + "\", which is not a folder"},
      // A folder nobody may make folders in, root included.
      {"/proc", "cannot make a folder in the temporary folder /proc: "},
  };
  for (const Case& c : cases) {
    ScopedTmpDir tmpdir(c.tmpdir);
    std::string error;
    EXPECT_EQ(tool::RunFolder::Create("test", &error), nullptr) << c.tmpdir;
    EXPECT_THAT(error, StartsWith(c.error)) << c.tmpdir;

    // Each command says so and ends with a status of its own, not an abort.
    const std::string senders = (kExamples / "sendersList.xml").string();
    const std::string message =
        (kExamples / "mailbox" / "Gmail" / "01-acme-dkim-pass.eml").string();
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(tool::CheckCommand({"--account", "a@gmail.com", "--senders", senders, message}), 73);
    EXPECT_EQ(
        tool::RunCommand({"--mailbox", (kExamples / "mailbox").string(), "--senders", senders}),
        73);
    EXPECT_EQ(tool::ValidateCommand({senders}), 73);
    EXPECT_EQ(tool::PageCommand({message}), 73);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_THAT(said, HasSubstr("tidepost: " + c.error)) << said;
  }
}

TEST(RunFolderTest, CommandsLeaveNothingBehind) {
  testing::TempFolder temp;
  ScopedTmpDir tmpdir(temp.path().string());
  const std::string senders = (kExamples / "sendersList.xml").string();
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(
      tool::CheckCommand({"--account", "a@gmail.com", "--senders", senders,
                          (kExamples / "mailbox" / "Gmail" / "01-acme-dkim-pass.eml").string()}),
      0);
  EXPECT_EQ(tool::CheckCommand({"--account", "a@gmail.com", "--senders", senders, "/missing.eml"}),
            66);
  EXPECT_EQ(tool::RunCommand({"--mailbox", (kExamples / "mailbox").string(), "--senders", senders}),
            0);
  EXPECT_EQ(tool::RunCommand({"--mailbox", "/missing", "--senders", senders}), 66);
  EXPECT_EQ(tool::ValidateCommand({senders, senders}), 0);
  // A page without inline attachments keeps no folder; a failed one neither.
  testing::WriteFileBytes(temp.path() / "body.html", "<p>Hello</p>");
  EXPECT_EQ(tool::PageCommand({"--out", (temp.path() / "page.html").string(),
                               (temp.path() / "body.html").string()}),
            0);
  EXPECT_EQ(tool::PageCommand({(temp.path() / "missing.html").string()}), 66);
  fs::remove(temp.path() / "body.html");
  fs::remove(temp.path() / "page.html");
  ::testing::internal::GetCapturedStderr();
  ::testing::internal::GetCapturedStdout();
  EXPECT_TRUE(IsEmptyFolder(temp.path()));
}

// The tidepost program running "run" on the examples with TMPDIR set to a folder of its own.
class TidepostChild {
 public:
  // `ignored`, when not 0, is a signal the child starts with ignored (as nohup does);
  // `closedOutput` gives it a standard output whose reader has gone; `slow` points it at a
  // service that never answers, so that it waits for the senders list for half a minute.
  TidepostChild(int ignored, bool closedOutput, bool slow = false) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
      if (std::string(*entry).rfind("TMPDIR=", 0) != 0)
        environment.emplace_back(*entry);
    }
    environment.push_back("TMPDIR=" + m_temp.path().string());
    std::vector<char*> envp;
    for (std::string& entry : environment)
      envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::vector<std::string> arguments = {
        TP_TIDEPOST_EXECUTABLE,           "run",       "--mailbox",
        (kExamples / "mailbox").string(), "--senders", (kExamples / "sendersList.xml").string()};
    if (slow) {
      arguments.insert(arguments.end(), {"--service", "http://127.0.0.1:9/"});
    }
    std::vector<char*> argv;
    for (std::string& argument : arguments)
      argv.push_back(argument.data());
    argv.push_back(nullptr);

    int output[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (closedOutput && ::pipe(output) == 0) {
      posix_spawn_file_actions_adddup2(&actions, output[1], 1);
      posix_spawn_file_actions_addclose(&actions, output[0]);
      posix_spawn_file_actions_addclose(&actions, output[1]);
    } else {
      posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // An ignored disposition is inherited through exec.
    struct sigaction ignore {};
    struct sigaction old {};
    ignore.sa_handler = SIG_IGN;
    if (ignored != 0)
      ::sigaction(ignored, &ignore, &old);
    m_spawned = ::posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0;
    if (ignored != 0)
      ::sigaction(ignored, &old, nullptr);
    posix_spawn_file_actions_destroy(&actions);
    for (int end : output) {
      if (end >= 0)
        ::close(end);
    }
  }
  ~TidepostChild() {
    if (m_spawned && !m_ended) {
      ::kill(m_pid, SIGKILL);
      ::waitpid(m_pid, nullptr, 0);
    }
  }
  TidepostChild(const TidepostChild&) = delete;
  TidepostChild& operator=(const TidepostChild&) = delete;

  bool spawned() const { return m_spawned; }
  bool FolderMade() const {
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (IsEmptyFolder(m_temp.path()) && Clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return !IsEmptyFolder(m_temp.path());
  }
  bool NothingLeft() const { return IsEmptyFolder(m_temp.path()); }
  void Send(int signal) const { ::kill(m_pid, signal); }
  // Its status once it ended within `patience`; nothing while it still runs.
  std::optional<int> Ended(std::chrono::milliseconds patience) {
    const auto deadline = Clock::now() + patience;
    int status = 0;
    do {
      if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_ended = true;
        return status;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } while (Clock::now() < deadline);
    return std::nullopt;
  }

 private:
  using Clock = std::chrono::steady_clock;
  testing::TempFolder m_temp;
  pid_t m_pid = 0;
  bool m_spawned = false;
  bool m_ended = false;
};

TEST(RunFolderTest, CatchableSignalsRemoveTheFolders) {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    TidepostChild child(0, false, /*slow=*/true);
    ASSERT_TRUE(child.spawned()) << TP_TIDEPOST_EXECUTABLE;
    ASSERT_TRUE(child.FolderMade()) << "the run made no temporary folder";
    child.Send(signal);
    const std::optional<int> status = child.Ended(std::chrono::seconds(60));
    ASSERT_TRUE(status) << "tidepost did not end on signal " << signal;
    EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == signal) << "status " << *status;
    EXPECT_TRUE(child.NothingLeft()) << "signal " << signal;
  }
}

TEST(RunFolderTest, AnIgnoredSignalStaysIgnoredAndAClosedOutputEndsNothingEarly) {
  // Started with SIGHUP ignored (nohup), the run lives through one, and a later SIGTERM
  // still removes its folder.
  TidepostChild nohup(SIGHUP, false, /*slow=*/true);
  ASSERT_TRUE(nohup.spawned());
  ASSERT_TRUE(nohup.FolderMade());
  nohup.Send(SIGHUP);
  EXPECT_FALSE(nohup.Ended(std::chrono::milliseconds(500))) << "SIGHUP ended a nohup run";
  nohup.Send(SIGTERM);
  const std::optional<int> status = nohup.Ended(std::chrono::seconds(60));
  ASSERT_TRUE(status);
  EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGTERM) << "status " << *status;
  EXPECT_TRUE(nohup.NothingLeft());

  // Writing to a pipe nobody reads (`tidepost run ... | head -0`) fails the writes; the run
  // ends its own way and removes its folder.
  TidepostChild piped(0, true);
  ASSERT_TRUE(piped.spawned());
  const std::optional<int> piping = piped.Ended(std::chrono::seconds(120));
  ASSERT_TRUE(piping) << "the run did not end";
  EXPECT_TRUE(WIFEXITED(*piping)) << "status " << *piping;
  EXPECT_TRUE(piped.NothingLeft());
}

}  // namespace
}  // namespace tp
