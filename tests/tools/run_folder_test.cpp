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
      old_ = old;
    ::setenv("TMPDIR", value.c_str(), 1);
  }
  ~ScopedTmpDir() {
    if (old_.empty()) {
      ::unsetenv("TMPDIR");
    } else {
      ::setenv("TMPDIR", old_.c_str(), 1);
    }
  }
  ScopedTmpDir(const ScopedTmpDir&) = delete;
  ScopedTmpDir& operator=(const ScopedTmpDir&) = delete;

 private:
  std::string old_;
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

// Runs the tidepost program with TMPDIR set, waits until it has made its temporary folder,
// sends it `signal` and checks that it ended by that signal with the folder removed.
void ExpectSignalRemovesTheFolder(int signal) {
  testing::TempFolder temp;
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (std::string(*entry).rfind("TMPDIR=", 0) != 0)
      environment.emplace_back(*entry);
  }
  environment.push_back("TMPDIR=" + temp.path().string());
  std::vector<char*> envp;
  for (std::string& entry : environment)
    envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::vector<std::string> arguments = {
      TP_TIDEPOST_EXECUTABLE,           "run",       "--mailbox",
      (kExamples / "mailbox").string(), "--senders", (kExamples / "sendersList.xml").string()};
  std::vector<char*> argv;
  for (std::string& argument : arguments)
    argv.push_back(argument.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const int spawned = ::posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ASSERT_EQ(spawned, 0) << TP_TIDEPOST_EXECUTABLE;

  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::seconds(60);
  while (IsEmptyFolder(temp.path()) && Clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_FALSE(IsEmptyFolder(temp.path())) << "the run made no temporary folder";
  ::kill(child, signal);
  int status = 0;
  pid_t ended = 0;
  while ((ended = ::waitpid(child, &status, WNOHANG)) == 0 && Clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  if (ended == 0) {
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    FAIL() << "tidepost did not end on signal " << signal;
  }
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "status " << status;
  EXPECT_TRUE(IsEmptyFolder(temp.path())) << "signal " << signal;
}

TEST(RunFolderTest, CatchableSignalsRemoveTheFolders) {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    ExpectSignalRemovesTheFolder(signal);
  }
}

}  // namespace
}  // namespace tp
