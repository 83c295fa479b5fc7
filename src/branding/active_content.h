// The sender's active-content marker in a message body, "[APPointer:" pointer ":APPointer]",
// and the please-wait page shown while the active content loads.
#pragma once

#include <string>

namespace tp {

struct ActiveContentPointer {
  bool found = false;
  std::wstring pointer;      // with its spaces removed
  bool messageMode = false;  // placed in the message (no "pos=", or "pos=message...")
};

// The first marker whose pointer holds "res=" (any case).
ActiveContentPointer FindActiveContentPointer(const std::wstring& body);

// The one-line HTML page that waits for the active content of `pointer` and, after 7 s
// without it, asks the browser helper to hide the active content.
std::wstring BuildPleaseWaitPage(const std::wstring& pointer);

}  // namespace tp
