// The temporary folders of a tidepost command: each made fresh in the system's temporary
// folder and removed, with everything in it, however the command ends: when its owner goes
// (a return or an exception), or, once RemoveRunFoldersOnSignals is in place, before a signal
// (or on Windows a console event) ends the process.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace tp::tool {

class RunFolder {
 public:
  // A new folder "tidepost-<purpose>-<unique>" in the system's temporary folder (TMPDIR, else
  // /tmp); null with the reason in *error when that folder does not exist or a folder cannot
  // be made in it.
  static std::unique_ptr<RunFolder> Create(const std::string& purpose, std::string* error);
  ~RunFolder();
  RunFolder(const RunFolder&) = delete;
  RunFolder& operator=(const RunFolder&) = delete;

  const std::filesystem::path& path() const { return m_path; }
  // Makes the folder `name` in this one (one level only, so that a run folder removed by a
  // signal is never made again); returns its path.
  std::filesystem::path MakeSubfolder(const std::string& name) const;
  // Leaves the folder in place when its owner goes, for the user to look into; a signal
  // before then still removes it.
  void Keep() { m_kept = true; }

 private:
  explicit RunFolder(std::filesystem::path path);

  std::filesystem::path m_path;
  bool m_kept = false;
};

// Removes every RunFolder that still exists before an event ends the process. On posix:
// blocks SIGINT, SIGTERM and SIGHUP (those not ignored already) in the calling thread, and so
// in every thread it starts afterwards, and starts a thread that waits for them, then ends the
// process as the signal would have; SIGPIPE is ignored, so that a closed output fails a write
// rather than ending the process. On Windows: a console control handler (Ctrl-C, Ctrl-Break,
// the console closed, log-off, shut-down). Call it at the start of main, before any other
// thread is started.
void RemoveRunFoldersOnSignals();

}  // namespace tp::tool
