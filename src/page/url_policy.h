// Which URLs a page built from a message's HTML may hold: links that open the web or write
// mail, and resources (images, backgrounds) from the message's own parts, inline image data,
// the copies of the message's attachments (as paths or file URLs) and, for a sender we vouch
// for, the web. Script URLs, other schemes (shell protocol handlers), other local files,
// network shares and protocol-relative URLs (a network share where the page has a file base)
// are refused.
#pragma once

#include <string>
#include <string_view>

namespace tp {

enum class UrlUse {
  kLink,      // followed when clicked: href, action
  kResource,  // loaded with the page: src, background
};

// Whether the page may load resources from the web: only for a sender whose mail the branding
// decision vouches for. Otherwise, as Outlook does for unknown senders, nothing is fetched
// (a remote image tells the sender that the message was read).
enum class RemoteContent { kBlocked, kAllowed };

class UrlPolicy {
 public:
  // `localFiles`: the folder (with forward slashes and a trailing one) under which local
  // files may be loaded; empty allows none.
  explicit UrlPolicy(std::wstring localFiles = {}, RemoteContent remote = RemoteContent::kBlocked)
      : m_localFiles(std::move(localFiles)), m_remote(remote) {}

  // `url` as the page holds it, character references already replaced.
  bool Allows(std::wstring_view url, UrlUse use) const;
  bool remoteAllowed() const { return m_remote == RemoteContent::kAllowed; }

 private:
  // A path below the folder of local files, without ".." or escapes.
  bool IsOwnCopy(std::wstring_view path) const;

  std::wstring m_localFiles;
  RemoteContent m_remote;
};

}  // namespace tp
