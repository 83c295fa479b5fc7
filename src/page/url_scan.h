// What a value names wherever a browser could read a URL in it. A value is read item by item
// whatever separates the items (the ';' of an animation's values, the ',' of a srcset, the
// spaces of an archive list, the '=' of a query, the '(' of a style function), so a scheme or
// a network path after any separator counts as much as one at the start.
#pragma once

#include <string_view>

namespace tp {

struct UrlScan {
  // "javascript:", "vbscript:" and their kin, however spaced or cased.
  bool scriptUrl = false;
  // What makes Windows connect to another host with the user's credentials: a file URL that
  // does not name a drive ("file://host/share"), a UNC path ("\\host\share", "//host/share"
  // read with a file base, and their mixes of slashes) or an Internet Explorer filter
  // ("progid:"), which loads what it names.
  bool networkPath = false;
  // An absolute URL of a scheme that may fetch something (http, https, ftp, unknown schemes),
  // or a protocol-relative one. Inline parts ("cid:"), inline data, mail and telephone links,
  // names ("urn:"), drive paths and local file URLs are not remote.
  bool remote = false;
};

// Reads the value (character references already replaced) in one pass. A value that is one
// data URL names no network path and nothing remote: its payload is data (a policy decides
// which data may be shown).
UrlScan ScanUrls(std::wstring_view value);

}  // namespace tp
