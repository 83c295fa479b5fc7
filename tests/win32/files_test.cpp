// The file-system adapter on real files: known folders, sharing, moving and listing; and the
// data folder and log on the real known folder with the Windows host installed.
#include <gtest/gtest.h>

#include <algorithm>

#include "host/host.h"
#include "host/platform.h"
#include "host/win32/unique_resource.h"
#include "host/win32/win32_files.h"
#include "platform/data_folder.h"
#include "platform/log.h"
#include "support/test_host.h"
#include "win32_test_support.h"

namespace tp::testing {
namespace {

using host::FileOpen;
using host::KnownFolder;
using host::win32::Win32FileSystem;

TEST(Win32FileSystem, FindsTheKnownFolders) {
  Win32FileSystem files;
  const std::optional<std::wstring> low = files.KnownFolderPath(KnownFolder::kLocalAppDataLow);
  ASSERT_TRUE(low.has_value());
  EXPECT_EQ(*low + L"\\Tidepost\\", RealDataFolder());
  EXPECT_TRUE(files.Exists(*low));
  const std::optional<std::wstring> local = files.KnownFolderPath(KnownFolder::kLocalAppData);
  ASSERT_TRUE(local.has_value());
  EXPECT_TRUE(files.Exists(*local));
  const std::optional<std::wstring> temp = files.KnownFolderPath(KnownFolder::kTemp);
  ASSERT_TRUE(temp.has_value());
  EXPECT_EQ(temp->back(), L'\\');
}

TEST(Win32FileSystem, OpensWithTheSharingOfEachMode) {
  TempFolder folder;
  Win32FileSystem files;
  const std::wstring path = folder.wpath() + L"\\log.txt";
  host::FileError error = host::kFileOk;

  EXPECT_EQ(files.Open(path, FileOpen::kReadShared, &error), nullptr);
  EXPECT_EQ(error, host::kFileNotFound);

  std::unique_ptr<host::File> writer = files.Open(path, FileOpen::kAppendShareRead, &error);
  ASSERT_TRUE(writer);
  EXPECT_EQ(writer->SeekToEnd(), 0);
  ASSERT_TRUE(writer->Write("abc", 3));
  // A second writer is refused while the first holds the file.
  EXPECT_EQ(files.Open(path, FileOpen::kAppendShareRead, &error), nullptr);
  EXPECT_EQ(error, host::kFileSharingViolation);
  writer.reset();

  // Appending keeps what is there; the size includes it.
  writer = files.Open(path, FileOpen::kAppendShareRead, &error);
  ASSERT_TRUE(writer);
  EXPECT_EQ(writer->Size(), 3);
  EXPECT_EQ(writer->SeekToEnd(), 3);
  ASSERT_TRUE(writer->Write("de", 2));
  writer.reset();

  std::unique_ptr<host::File> reader = files.Open(path, FileOpen::kReadShared, &error);
  ASSERT_TRUE(reader);
  char buffer[16] = {};
  EXPECT_EQ(reader->Read(buffer, sizeof buffer), 5u);
  EXPECT_EQ(std::string(buffer, 5), "abcde");
  // Readers share with readers, not with writers.
  EXPECT_TRUE(files.Open(path, FileOpen::kReadShared, &error));
  EXPECT_EQ(files.Open(path, FileOpen::kCreateShareRead, &error), nullptr);
  EXPECT_EQ(error, host::kFileSharingViolation);
  reader.reset();

  // Creating truncates; an exclusive writer shuts out readers.
  std::unique_ptr<host::File> exclusive = files.Open(path, FileOpen::kCreateExclusive, &error);
  ASSERT_TRUE(exclusive);
  EXPECT_EQ(exclusive->Size(), 0);
  EXPECT_EQ(files.Open(path, FileOpen::kReadShared, &error), nullptr);
  EXPECT_EQ(error, host::kFileSharingViolation);
}

TEST(Win32FileSystem, MovesListsAndRemoves) {
  TempFolder folder;
  Win32FileSystem files;
  const std::wstring root = folder.wpath() + L"\\";
  EXPECT_EQ(files.CreateDirectory(root + L"icons"), host::kFileOk);
  EXPECT_EQ(files.CreateDirectory(root + L"icons"), host::kFileAlreadyExists);
  WriteFileBytes(folder.path() / "a.txt", "new");
  WriteFileBytes(folder.path() / "b.txt", "old");

  EXPECT_EQ(files.MoveReplace(root + L"a.txt", root + L"b.txt"), host::kFileOk);
  EXPECT_FALSE(files.Exists(root + L"a.txt"));
  EXPECT_EQ(ReadFileBytes(folder.path() / "b.txt"), "new");
  EXPECT_EQ(files.MoveReplace(root + L"a.txt", root + L"b.txt"), host::kFileNotFound);

  std::vector<host::DirectoryEntry> entries = files.ListDirectory(folder.wpath());
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.name < b.name; });
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, L"b.txt");
  EXPECT_FALSE(entries[0].is_directory);
  EXPECT_EQ(entries[1].name, L"icons");
  EXPECT_TRUE(entries[1].is_directory);
  EXPECT_EQ(files.ListDirectory(root).size(), 2u) << "a trailing separator changes nothing";
  EXPECT_TRUE(files.ListDirectory(root + L"missing").empty());

  EXPECT_EQ(files.Delete(root + L"b.txt"), host::kFileOk);
  EXPECT_EQ(files.Delete(root + L"b.txt"), host::kFileNotFound);
  EXPECT_EQ(files.RemoveDirectory(root + L"icons"), host::kFileOk);
  EXPECT_FALSE(files.Exists(root + L"icons"));
}

// The real data folder of this (Wine) user, with the whole Windows host installed.
class RealDataFolderTest : public ::testing::Test {
 protected:
  RealDataFolderTest() : m_installed(host::PlatformHost()) {
    ::DeleteFileW((RealDataFolder() + kLogFileName).c_str());
    ::DeleteFileW((RealDataFolder() + kRotatedLogFileName).c_str());
  }

  host::ScopedHost m_installed;
};

TEST_F(RealDataFolderTest, LivesUnderLocalAppDataLow) {
  EXPECT_EQ(GetDataFilePath(nullptr, nullptr), RealDataFolder());
  EXPECT_EQ(GetDataFilePath(L"provider_icons", L"shop.ico"),
            RealDataFolder() + L"provider_icons\\shop.ico");
  EXPECT_NE(::GetFileAttributesW((RealDataFolder() + L"provider_icons").c_str()),
            INVALID_FILE_ATTRIBUTES);
  // Asking again for an existing subfolder is no error.
  EXPECT_EQ(GetDataFilePath(L"provider_icons", nullptr), RealDataFolder() + L"provider_icons\\");
}

TEST_F(RealDataFolderTest, LogStartsWithAByteOrderMarkAndRotatesPastFourMebibytes) {
  const std::wstring log = RealDataFolder() + kLogFileName;
  WriteLog(L"first line");
  std::vector<std::wstring> messages = ReadLogMessages(log);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], L"first line");

  // One byte over the threshold: the next line goes to a fresh log, the old one is kept.
  host::win32::UniqueFile file(::CreateFileW(log.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file);
  LARGE_INTEGER size{};
  size.QuadPart = kLogRotationBytes + 1;
  ASSERT_TRUE(::SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN));
  ASSERT_TRUE(::SetEndOfFile(file.get()));
  file.Reset();

  WriteLog(L"after rotation");
  messages = ReadLogMessages(log);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], L"after rotation");
  WIN32_FILE_ATTRIBUTE_DATA rotated{};
  ASSERT_TRUE(::GetFileAttributesExW((RealDataFolder() + kRotatedLogFileName).c_str(),
                                     GetFileExInfoStandard, &rotated));
  EXPECT_EQ(rotated.nFileSizeLow, static_cast<DWORD>(kLogRotationBytes + 1));
}

}  // namespace
}  // namespace tp::testing
