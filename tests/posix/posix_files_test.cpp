// The posix files port: emptying a folder never follows a symbolic link out of it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "host/posix/posix_files.h"
#include "support/test_host.h"

namespace tp {
namespace {

namespace fs = std::filesystem;

TEST(PosixFilesTest, EmptyingAFolderDeletesLinksButNotWhatTheyPointAt) {
  testing::TempFolder temp;
  const fs::path outside = temp.path() / "outside";
  const fs::path root = temp.path() / "Tidepost" / "outlook_temp";
  fs::create_directories(outside / "sub");
  testing::WriteFileBytes(outside / "precious.txt", "keep");
  testing::WriteFileBytes(outside / "sub" / "also.txt", "keep");
  fs::create_directories(root / "1_5" / "deeper");
  testing::WriteFileBytes(root / "1_5" / "2_a.png", "a");
  testing::WriteFileBytes(root / "1_5" / "deeper" / "b", "b");
  fs::create_directory_symlink(outside, root / "folder-link");
  fs::create_directory_symlink(outside, root / "1_5" / "deep-link");
  fs::create_symlink(outside / "precious.txt", root / "file-link");
  fs::create_symlink(temp.path() / "nowhere", root / "dangling");

  host::posix::PosixFileSystem files;
  files.EmptyDirectory(root.wstring());
  EXPECT_TRUE(fs::exists(root));
  EXPECT_TRUE(fs::is_empty(root));
  EXPECT_EQ(testing::ReadFileBytes(outside / "precious.txt"), "keep");
  EXPECT_EQ(testing::ReadFileBytes(outside / "sub" / "also.txt"), "keep");

  // A folder that is itself a link is not emptied.
  fs::create_directory_symlink(outside, temp.path() / "linked-root");
  files.EmptyDirectory((temp.path() / "linked-root").wstring());
  EXPECT_EQ(testing::ReadFileBytes(outside / "precious.txt"), "keep");
  // A missing folder is no error.
  files.EmptyDirectory((temp.path() / "missing").wstring());
}

}  // namespace
}  // namespace tp
