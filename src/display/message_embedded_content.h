// Embedded content: a message that links to the maker's plug-in install page or carries an
// application parameter ("tidepost-app=") is shown from its own HTML in the hosted browser,
// as is a message whose active-content pointer places its content outside the message. Its
// inline attachments are copied to the temporary folder so that the page shows them without
// Outlook, and the page is built (html_sanitizer.h).
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>

#include "branding/checked_message.h"
#include "display/embedded_content.h"
#include "host/outlook.h"
#include "page/html_sanitizer.h"

namespace tp {

// The HTML as the markers are looked for in it: every "%" and the two characters after it
// read as one character (a character that is not a hexadecimal digit counts as 255; a "%"
// without two characters after it ends the text), then in lower case.
std::wstring MarkerSearchText(std::wstring_view html);

// True when the HTML holds the install page's address or "tidepost-app=", however
// percent-encoded or cased.
bool HoldsEmbedMarker(std::wstring_view html);

class MessageEmbeddedContent final : public EmbeddedContent {
 public:
  // `heads` must outlive this object.
  explicit MessageEmbeddedContent(const PageHeads& heads) : m_heads(heads) {}

  // Empties the temporary root (at start and at quit).
  void RemoveTemporaryFiles() override;
  // Looks for the markers in the message's HTML body; when one is found, or active content
  // is wanted already, sets message->activeWanted and builds message->page, with remote
  // content only when message->senderBranded. Sets message->embedFound; true when a marker
  // was found.
  bool CheckTideEmbed(host::MailItem& item, bool inInspector, CheckedMessage* message) override;

  // Copies the message's inline attachments (those with a content id) into a message folder
  // and writes the page for `html` with their references pointing at the copies (the page is
  // left as it was when the HTML engine fails), loading remote content only as `remote`
  // allows. A message shown again keeps its folder and copies. The message folder, empty when
  // none could be made.
  std::wstring BuildStaticPage(host::MailItem& item, std::wstring html, RemoteContent remote,
                               std::wstring* page);
  // Empties and removes the folders of every message but these; at most one folder is kept
  // per message.
  void ReleaseCopiesExcept(const std::set<std::wstring>& entryIds) override;

 private:
  struct MessageCopies {
    std::wstring folder;
    ContentMap copies;  // content id to the path of its copy
  };

  // The message's folder with its copies, made (or made again when it has gone) on demand.
  const MessageCopies& CopiesOf(host::MailItem& item);
  void CopyAttachment(host::Attachment& attachment, const std::wstring& folder, ContentMap* copies);

  const PageHeads& m_heads;
  std::map<std::wstring, MessageCopies> m_copies;  // by entry id
};

}  // namespace tp
