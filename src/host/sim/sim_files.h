// The platform's real file system with its known folders moved into one root folder (a
// test's or the tool's), and faults a test can ask for.
#pragma once

#include <functional>
#include <string>

#include "host/files.h"

namespace tp::host::sim {

class SimFileSystem final : public FileSystem {
 public:
  // root: an existing folder; known folders become root/LocalLow, root/Local, root/Temp.
  SimFileSystem(FileSystem& real, std::wstring root);

  wchar_t Separator() override { return m_real.Separator(); }
  std::optional<std::wstring> KnownFolderPath(KnownFolder folder) override;
  FileError CreateDirectory(const std::wstring& path) override;
  std::unique_ptr<File> Open(const std::wstring& path, FileOpen mode, FileError* error) override;
  FileError MoveReplace(const std::wstring& from, const std::wstring& to) override;
  FileError Delete(const std::wstring& path) override;
  bool Exists(const std::wstring& path) override { return m_real.Exists(path); }
  std::vector<DirectoryEntry> ListDirectory(const std::wstring& path) override {
    return m_real.ListDirectory(path);
  }
  FileError RemoveDirectory(const std::wstring& path) override {
    return m_real.RemoveDirectory(path);
  }
  void EmptyDirectory(const std::wstring& path) override { m_real.EmptyDirectory(path); }

  // Decides the outcome of Open, MoveReplace and Delete ("Open", "MoveReplace", "Delete"
  // with the path); kFileOk lets the real call run.
  std::function<FileError(const std::wstring& operation, const std::wstring& path)> fault;

 private:
  FileError Fault(const wchar_t* operation, const std::wstring& path);

  FileSystem& m_real;
  std::wstring m_root;
};

}  // namespace tp::host::sim
