// What the mail check learned about the message the user looks at, for the display.
#pragma once

#include <string>

namespace tp {

struct CheckedMessage {
  std::wstring entryId;
  bool compose = false;       // an inspector of a message being written
  bool activeWanted = false;  // active content (pointer or embedded) should be shown
  bool pointerFound = false;  // the body holds a valid active-content pointer
  bool messageMode = false;   // the pointer's content goes in the message body
  bool embedFound = false;    // the body holds the maker's embedded content
  // Today's branding decision vouches for the sender (the message is branded, now or
  // before): only then does a page built from the message's own HTML load remote content.
  bool senderBranded = false;
  std::wstring page;  // the HTML to show first
  std::wstring senderAddress;
  std::wstring subject;
  std::wstring account;   // the receiving account's address
  std::wstring provider;  // "gmail", "yahoo", "hotmail", "exchange" or empty
};

}  // namespace tp
