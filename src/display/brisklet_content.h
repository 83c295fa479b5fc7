// What a display is asked to show: the content of the last checked message.
#pragma once

#include <string>

namespace tp {

struct BriskletContent {
  std::wstring page;  // the HTML page handed to the browser helper object
  std::wstring senderAddress;
  std::wstring subject;
  std::wstring entryId;
  std::wstring account;
  std::wstring provider;
  bool showActive = false;   // show the active content (else Outlook's own view)
  bool messageMode = false;  // the pointer's content goes in the message body
  bool pointerFound = false;
};

}  // namespace tp
