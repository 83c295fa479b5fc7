// The temporary folder of embedded content: "Tidepost" + "outlook_temp" under the user's
// temporary folder, one folder in it per message whose page is built, holding the copies of
// the message's inline attachments. Emptied at start and at quit.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tp {

// "<temp>Tidepost<sep>outlook_temp"; empty without a temporary folder.
std::optional<std::wstring> TemporaryRoot();

// The root with forward slashes and a trailing one, as the page's URLs name the copies;
// empty without a temporary folder.
std::wstring TemporaryRootUrl();

// Makes "<temp>Tidepost", its "outlook_temp" and in it "<counter>_<tick count>" (a folder
// that exists already is no error); that folder's path, empty without a temporary folder.
std::optional<std::wstring> CreateMessageFolder();

// The path of an attachment's copy in a message folder: "<folder><sep><counter>_<name>",
// with the name made safe.
std::wstring AttachmentCopyPath(const std::wstring& folder, std::wstring_view fileName);

// A file name from a message made safe to create in a folder of ours and to stand in a URL
// in an HTML attribute: no path separators, drive or stream colons, wildcards, quotes,
// control characters, URL delimiters ('%', '#', '&'), no dots or spaces at its end, no
// device name, at most 80 characters (keeping a short extension); "attachment" when nothing
// is left.
std::wstring SafeFileName(std::wstring_view name);

// Deletes everything in the root.
void CleanTempFolder();

}  // namespace tp
