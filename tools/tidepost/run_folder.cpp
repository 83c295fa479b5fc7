// Temporary folders removed on every way out; what the platform's signal handling calls.
#include "run_folder.h"

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <set>
#include <system_error>

#include "run_folder_cleanup.h"

namespace tp::tool {
namespace {

constexpr int kMaxNameAttempts = 100;
constexpr int kMaxRemoveAttempts = 1000;

// The folders that exist now; the signal handling removes them.
std::mutex g_foldersMutex;
std::set<std::filesystem::path>& LiveFolders() {
  static std::set<std::filesystem::path> folders;
  return folders;
}

// Removes a folder that other threads may still be writing into: a file made while the tree
// is removed keeps its folder, so the removal is repeated until the folder is gone. Once it
// is, nothing makes it again: below a run folder, folders are only ever made one level at a
// time, which fails when the level above is missing.
void RemoveWhileInUse(const std::filesystem::path& folder) {
  for (int attempt = 0; attempt < kMaxRemoveAttempts; ++attempt) {
    std::error_code failure;
    std::filesystem::remove_all(folder, failure);
    if (!std::filesystem::exists(folder, failure) && !failure)
      return;
  }
}

}  // namespace

void RemoveLiveRunFoldersForGood() {
  // The lock is kept: no run folder is made after this point.
  g_foldersMutex.lock();
  for (const std::filesystem::path& folder : LiveFolders())
    RemoveWhileInUse(folder);
}

std::unique_ptr<RunFolder> RunFolder::Create(const std::string& purpose, std::string* error) {
  std::error_code failure;
  const std::filesystem::path temp = std::filesystem::temp_directory_path(failure);
  if (failure) {
    const char* variable = std::getenv("TMPDIR");
    *error = variable != nullptr && *variable != '\0'
                 ? "TMPDIR names \"" + std::string(variable) + "\", which is not a folder"
                 : "no temporary folder: " + failure.message();
    return nullptr;
  }
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const std::string stem = "tidepost-" + purpose + "-" + std::to_string(CurrentProcessId()) + "-" +
                           std::to_string(stamp);
  std::lock_guard<std::mutex> lock(g_foldersMutex);
  for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    std::filesystem::path path = temp / (stem + "-" + std::to_string(attempt));
    if (std::filesystem::create_directory(path, failure)) {
      LiveFolders().insert(path);
      return std::unique_ptr<RunFolder>(new RunFolder(std::move(path)));
    }
    if (failure)
      break;
  }
  *error = "cannot make a folder in the temporary folder " + temp.string() + ": " +
           (failure ? failure.message() : std::string("every name tried is taken"));
  return nullptr;
}

RunFolder::RunFolder(std::filesystem::path path) : m_path(std::move(path)) {}

std::filesystem::path RunFolder::MakeSubfolder(const std::string& name) const {
  std::filesystem::path subfolder = m_path / name;
  std::filesystem::create_directory(subfolder);
  return subfolder;
}

RunFolder::~RunFolder() {
  std::lock_guard<std::mutex> lock(g_foldersMutex);
  if (!m_kept) {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  LiveFolders().erase(m_path);
}

}  // namespace tp::tool
