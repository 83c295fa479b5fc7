// The maker's embedded content in a message and the temporary files its page needs: the part
// of the display that looks into the message itself (message_embedded_content.h; without it,
// as in some tests, a message has no embedded content and there are no temporary files).
#pragma once

#include <set>
#include <string>

#include "branding/checked_message.h"
#include "host/outlook.h"

namespace tp {

class EmbeddedContent {
 public:
  virtual ~EmbeddedContent() = default;
  // Empties the temporary folder (at construction and at quit).
  virtual void RemoveTemporaryFiles() = 0;
  // Looks for the embedded-content markers; may set the message's activeWanted, embedFound
  // and page. True when the message holds an active link.
  virtual bool CheckTideEmbed(host::MailItem& item, bool inInspector, CheckedMessage* message) = 0;
  // Removes the copies made for every message but these (by entry id): their pages are no
  // longer on screen.
  virtual void ReleaseCopiesExcept(const std::set<std::wstring>& entryIds) = 0;
};

class NoEmbeddedContent final : public EmbeddedContent {
 public:
  void RemoveTemporaryFiles() override {}
  bool CheckTideEmbed(host::MailItem&, bool, CheckedMessage*) override { return false; }
  void ReleaseCopiesExcept(const std::set<std::wstring>&) override {}
};

}  // namespace tp
