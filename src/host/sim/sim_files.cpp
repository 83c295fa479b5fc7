// The rooted file system of the simulated host.
#include "host/sim/sim_files.h"

namespace tp::host::sim {

SimFileSystem::SimFileSystem(FileSystem& real, std::wstring root)
    : m_real(real), m_root(std::move(root)) {
  if (!m_root.empty() && m_root.back() == m_real.Separator())
    m_root.pop_back();
}

std::optional<std::wstring> SimFileSystem::KnownFolderPath(KnownFolder folder) {
  const wchar_t* name = folder == KnownFolder::kLocalAppDataLow ? L"LocalLow"
                        : folder == KnownFolder::kLocalAppData  ? L"Local"
                                                                : L"Temp";
  std::wstring path = m_root + m_real.Separator() + name;
  (void)m_real.CreateDirectory(path);
  if (folder == KnownFolder::kTemp)
    path += m_real.Separator();
  return path;
}

FileError SimFileSystem::Fault(const wchar_t* operation, const std::wstring& path) {
  return fault ? fault(operation, path) : kFileOk;
}

FileError SimFileSystem::CreateDirectory(const std::wstring& path) {
  return m_real.CreateDirectory(path);
}

std::unique_ptr<File> SimFileSystem::Open(const std::wstring& path, FileOpen mode,
                                          FileError* error) {
  if (FileError injected = Fault(L"Open", path); injected != kFileOk) {
    *error = injected;
    return nullptr;
  }
  return m_real.Open(path, mode, error);
}

FileError SimFileSystem::MoveReplace(const std::wstring& from, const std::wstring& to) {
  if (FileError injected = Fault(L"MoveReplace", from); injected != kFileOk)
    return injected;
  return m_real.MoveReplace(from, to);
}

FileError SimFileSystem::Delete(const std::wstring& path) {
  if (FileError injected = Fault(L"Delete", path); injected != kFileOk)
    return injected;
  return m_real.Delete(path);
}

}  // namespace tp::host::sim
