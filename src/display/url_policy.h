// Which URLs a page built from a message's HTML may hold: links that open the web or write
// mail, and resources (images, backgrounds) from the web, the message's own parts, inline
// image data, or the copies of the message's attachments (as paths or file URLs). Script URLs,
// other schemes (shell protocol handlers), other local files and network shares are refused.
#pragma once

#include <string>
#include <string_view>

namespace tp {

enum class UrlUse {
  kLink,      // followed when clicked: href, action
  kResource,  // loaded with the page: src, background
};

class UrlPolicy {
 public:
  // `localFiles`: the folder (with forward slashes and a trailing one) under which local
  // files may be loaded; empty allows none.
  explicit UrlPolicy(std::wstring localFiles = {}) : m_localFiles(std::move(localFiles)) {}

  // `url` as the page holds it, character references already replaced.
  bool Allows(std::wstring_view url, UrlUse use) const;

 private:
  // A path below the folder of local files, without ".." or escapes.
  bool IsOwnCopy(std::wstring_view path) const;

  std::wstring m_localFiles;
};

// True when a value names a script URL ("javascript:", "vbscript:" and their kin), however
// spaced or cased: no attribute may hold one, URL or not.
bool IsScriptUrl(std::wstring_view value);

}  // namespace tp
