// The diagnostic log on real files: layout, byte-order mark, rotation, interleaved writers.
#include "platform/log.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <set>
#include <thread>
#include <vector>

#include "base/format.h"
#include "base/text.h"
#include "host/platform.h"
#include "host/threads.h"
#include "support/test_host.h"

namespace tp {
namespace {

class LogTest : public testing::SimHostTest {
 protected:
  std::filesystem::path LogPath() const { return DataFolder() / "TidepostOutlookAddin_log.txt"; }
  std::filesystem::path RotatedPath() const {
    return DataFolder() / "TidepostOutlookAddin_log2.txt";
  }
  std::string LogBytes() const { return testing::ReadFileBytes(LogPath()); }
};

TEST_F(LogTest, FirstLineStartsTheFileWithAByteOrderMarkAndTheExactPrefix) {
  sim().clock.Advance(3 * 3600 * 1000 + 4 * 60 * 1000 + 5 * 1000 + 6);  // 03:04:05.006
  WriteLog(L"In CConnect");
  const std::string bytes = LogBytes();
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  const std::wstring thread = Format(L"%x", host::threads().CurrentThreadId());
  EXPECT_EQ(Utf16LeToWide(bytes.substr(2)), L"1/1 03:04:05.006  [" + thread + L"] In CConnect\r\n");
}

TEST_F(LogTest, RotatesOnlyWhenTheFileIsAboveFourMebibytes) {
  WriteLog(L"x");
  std::string bytes = LogBytes();
  bytes.resize(static_cast<size_t>(kLogRotationBytes), 'a');  // exactly 4 MiB
  testing::WriteFileBytes(LogPath(), bytes);

  WriteLog(L"at the limit");  // not rotated: the file may exceed it by one line
  EXPECT_FALSE(std::filesystem::exists(RotatedPath()));
  EXPECT_GT(std::filesystem::file_size(LogPath()), static_cast<uintmax_t>(kLogRotationBytes));

  WriteLog(L"after rotation");
  EXPECT_TRUE(std::filesystem::exists(RotatedPath()));
  EXPECT_GT(std::filesystem::file_size(RotatedPath()), static_cast<uintmax_t>(kLogRotationBytes));
  EXPECT_EQ(LogMessages(), std::vector<std::wstring>{L"after rotation"});
  EXPECT_EQ(LogBytes().substr(0, 2), "\xFF\xFE");
}

TEST_F(LogTest, ALockedRotatedFileStillEmptiesTheLog) {
  WriteLog(L"old");
  std::string bytes = LogBytes();
  bytes.resize(static_cast<size_t>(kLogRotationBytes) + 1, 'a');
  testing::WriteFileBytes(LogPath(), bytes);
  sim().files.fault = [](const std::wstring& operation, const std::wstring&) {
    return operation == L"MoveReplace" ? host::kFileSharingViolation : host::kFileOk;
  };

  WriteLog(L"fresh");
  EXPECT_FALSE(std::filesystem::exists(RotatedPath()));
  EXPECT_EQ(LogMessages(), std::vector<std::wstring>{L"fresh"});
}

TEST_F(LogTest, AnUnopenableLogDropsTheLineQuietly) {
  sim().files.fault = [](const std::wstring& operation, const std::wstring&) {
    return operation == L"Open" ? host::kFileSharingViolation : host::kFileOk;
  };
  WriteLog(L"lost");
  sim().files.fault = nullptr;
  WriteLog(L"kept");
  EXPECT_EQ(LogMessages(), std::vector<std::wstring>{L"kept"});
}

TEST_F(LogTest, AnObserverSeesOnlyItsOwnThreadsLines) {
  std::vector<std::wstring> seen;
  {
    ScopedLogObserver observer([&seen](std::wstring_view line) { seen.emplace_back(line); });
    WriteLog(L"mine");
    std::thread([] { WriteLog(L"a worker's"); }).join();
  }
  WriteLog(L"after");
  EXPECT_EQ(seen, std::vector<std::wstring>{L"mine"});
  EXPECT_EQ(LogMessages(), (std::vector<std::wstring>{L"mine", L"a worker's", L"after"}));
}

TEST_F(LogTest, InterleavedThreadsWriteEveryLineWholeAndLoseNone) {
  constexpr int kThreads = 4;
  constexpr int kLinesEach = 100;
  std::vector<std::thread> writers;
  for (int t = 0; t < kThreads; ++t) {
    writers.emplace_back([t] {
      for (int i = 0; i < kLinesEach; ++i)
        WriteLog(Format(L"thread %d line %d", t, i));
    });
  }
  for (std::thread& writer : writers)
    writer.join();
  // Each line of the file: its own prefix, one whole message, its own line end.
  const std::wstring text = Utf16LeToWide(LogBytes().substr(2));
  ASSERT_EQ(text.substr(text.size() - 2), L"\r\n");
  std::set<std::wstring> seen;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find(L"\r\n", start);
    const std::wstring line = text.substr(start, end - start);
    start = end + 2;
    const size_t prefixEnd = line.find(L"] ");
    ASSERT_NE(prefixEnd, std::wstring::npos) << line;
    EXPECT_EQ(line.find(L"  ["), line.rfind(L"  [")) << "one prefix: " << line;
    const std::wstring message = line.substr(prefixEnd + 2);
    int thread = -1;
    int number = -1;
    ASSERT_EQ(std::swscanf(message.c_str(), L"thread %d line %d", &thread, &number), 2) << line;
    EXPECT_EQ(message, Format(L"thread %d line %d", thread, number));
    EXPECT_TRUE(seen.insert(message).second) << "written twice: " << line;
  }
  EXPECT_EQ(seen.size(), static_cast<size_t>(kThreads * kLinesEach));
}

}  // namespace
}  // namespace tp
