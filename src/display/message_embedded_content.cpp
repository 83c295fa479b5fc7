// Embedded content and the copies of inline attachments.
#include "display/message_embedded_content.h"

#include <memory>
#include <optional>

#include "base/text.h"
#include "branding/account_info.h"
#include "host/files.h"
#include "host/host.h"
#include "host/mapi.h"
#include "page/temp_folder.h"
#include "platform/configuration.h"
#include "platform/log.h"

namespace tp {
namespace {

constexpr wchar_t kAppParameter[] = L"tidepost-app=";

void RemoveFolder(const std::wstring& folder) {
  if (folder.empty())
    return;
  host::files().EmptyDirectory(folder);
  (void)host::files().RemoveDirectory(folder);
}

// A character that is not a hexadecimal digit counts as 255.
int HexValueOr255(wchar_t ch) {
  const int value = HexDigitValue(ch);
  return value < 0 ? 255 : value;
}

}  // namespace

std::wstring MarkerSearchText(std::wstring_view html) {
  std::wstring decoded;
  decoded.reserve(html.size());
  for (size_t i = 0; i < html.size(); ++i) {
    if (html[i] != L'%') {
      decoded.push_back(ToLowerChar(html[i]));
      continue;
    }
    if (html.size() - i < 3)
      break;
    decoded.push_back(ToLowerChar(
        static_cast<wchar_t>(HexValueOr255(html[i + 1]) * 16 + HexValueOr255(html[i + 2]))));
    i += 2;
  }
  return decoded;
}

bool HoldsEmbedMarker(std::wstring_view html) {
  const std::wstring text = MarkerSearchText(html);
  return Contains(text, std::wstring(config::kMakerInstallHost) + L"/install") ||
         Contains(text, kAppParameter);
}

bool MessageEmbeddedContent::CheckTideEmbed(host::MailItem& item, bool /*inInspector*/,
                                            CheckedMessage* message) {
  std::wstring html;
  GetMessageBodyText(&item, &html, true);
  const bool found = HoldsEmbedMarker(html);
  if (found)
    WriteLog(L"Found tide embed in message");
  if (found || message->activeWanted) {
    message->activeWanted = true;
    (void)BuildStaticPage(
        item, std::move(html),
        message->senderBranded ? RemoteContent::kAllowed : RemoteContent::kBlocked, &message->page);
  }
  message->embedFound = found;
  return found;
}

std::wstring MessageEmbeddedContent::BuildStaticPage(host::MailItem& item, std::wstring html,
                                                     RemoteContent remote, std::wstring* page) {
  const MessageCopies& made = CopiesOf(item);
  FixupHtml(&html, made.copies);
  const HtmlSanitizer sanitizer(m_heads, UrlPolicy(TemporaryRootUrl(), remote));
  (void)sanitizer.SanitizeHtml(std::move(html), page);
  return made.folder;
}

const MessageEmbeddedContent::MessageCopies& MessageEmbeddedContent::CopiesOf(
    host::MailItem& item) {
  const std::wstring entryId = item.EntryId();
  MessageCopies& made = m_copies[entryId];
  // Without an entry id nothing tells this message from the last one without: made anew.
  if (!entryId.empty() && !made.folder.empty() && host::files().Exists(made.folder))
    return made;
  RemoveFolder(made.folder);
  made = MessageCopies();
  if (std::optional<std::wstring> folder = CreateMessageFolder()) {
    made.folder = *folder;
    const int count = item.AttachmentCount();
    for (int index = 1; index <= count; ++index) {
      if (std::shared_ptr<host::Attachment> attachment = item.GetAttachment(index))
        CopyAttachment(*attachment, made.folder, &made.copies);
    }
  }
  return made;
}

void MessageEmbeddedContent::ReleaseCopiesExcept(const std::set<std::wstring>& entryIds) {
  for (auto entry = m_copies.begin(); entry != m_copies.end();) {
    if (entryIds.count(entry->first) != 0) {
      ++entry;
      continue;
    }
    RemoveFolder(entry->second.folder);
    entry = m_copies.erase(entry);
  }
}

void MessageEmbeddedContent::CopyAttachment(host::Attachment& attachment,
                                            const std::wstring& folder, ContentMap* copies) {
  std::string bytes;
  if (hr::Failed(attachment.ReadPropStream(host::kPrAttachContentIdW, &bytes)))
    return;
  std::wstring contentId = Utf16LeToWide(bytes);
  if (const size_t zero = contentId.find(L'\0'); zero != std::wstring::npos)
    contentId.resize(zero);
  if (!IsUsableContentId(contentId))
    return;
  const std::wstring path = AttachmentCopyPath(folder, attachment.FileName());
  if (const HResult saved = attachment.SaveAsFile(path); hr::Failed(saved)) {
    WriteLogFormat(L"Failed saving attachment to %s. Result=%xx", path, saved);
    return;
  }
  (*copies)[contentId] = path;
}

void MessageEmbeddedContent::RemoveTemporaryFiles() {
  m_copies.clear();
  CleanTempFolder();
}

}  // namespace tp
