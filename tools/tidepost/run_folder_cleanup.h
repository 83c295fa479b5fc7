// Between the run folders and each platform's handling of the events that end the process.
#pragma once

namespace tp::tool {

// Removes every run folder that still exists, and keeps any new one from being made: the
// process is about to end.
void RemoveLiveRunFoldersForGood();

// The process' identifier, in the folders' names.
unsigned long CurrentProcessId();

}  // namespace tp::tool
