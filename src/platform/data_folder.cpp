// Locating and creating the data folder.
#include "platform/data_folder.h"

#include <mutex>

#include "host/files.h"
#include "host/host.h"

namespace tp {
namespace {

std::mutex g_folderMutex;
std::wstring g_dataFolder;
unsigned long long g_folderGeneration = 0;

std::wstring ComputeDataFolder(host::FileSystem& files) {
  std::optional<std::wstring> base = files.KnownFolderPath(host::KnownFolder::kLocalAppDataLow);
  if (!base || base->empty()) {
    base = files.KnownFolderPath(host::KnownFolder::kLocalAppData);
  }
  std::wstring folder = base.value_or(std::wstring());
  const wchar_t separator = files.Separator();
  if (folder.empty() || folder.back() != separator) {
    folder += separator;
  }
  folder += L"Tidepost";
  (void)files.CreateDirectory(folder);
  folder += separator;
  return folder;
}

}  // namespace

std::wstring GetDataFilePath(const wchar_t* subfolder, const wchar_t* fileName) {
  host::FileSystem& files = host::files();
  std::wstring path;
  {
    std::lock_guard<std::mutex> lock(g_folderMutex);
    if (g_dataFolder.empty() || g_folderGeneration != host::Generation()) {
      g_dataFolder = ComputeDataFolder(files);
      g_folderGeneration = host::Generation();
    }
    path = g_dataFolder;
  }
  if (subfolder != nullptr) {
    path += subfolder;
    (void)files.CreateDirectory(path);
    path += files.Separator();
  }
  if (fileName != nullptr) {
    path += fileName;
  }
  return path;
}

}  // namespace tp
