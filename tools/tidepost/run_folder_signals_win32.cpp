// Run folders removed before Ctrl-C, Ctrl-Break, closing the console, logging off or shutting
// down ends the process (Windows).
#include "host/win32/win32_api.h"
#include "run_folder.h"
#include "run_folder_cleanup.h"

namespace tp::tool {
namespace {

// Runs on a thread of its own; the process ends when it returns FALSE (the default handler
// then ends it as the event would have).
BOOL WINAPI RemoveFoldersBeforeTheEnd(DWORD /*event*/) {
  RemoveLiveRunFoldersForGood();
  return FALSE;
}

}  // namespace

unsigned long CurrentProcessId() {
  return ::GetCurrentProcessId();
}

void RemoveRunFoldersOnSignals() {
  ::SetConsoleCtrlHandler(RemoveFoldersBeforeTheEnd, TRUE);
}

}  // namespace tp::tool
