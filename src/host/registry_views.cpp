// The WOW64 registry table of Windows 7 and later: a key is redirected or shared as its
// nearest listed ancestor (itself included) is; a key with no listed ancestor is shared.
#include "host/registry_views.h"

#include <span>

#include "base/text.h"

namespace tp::host {
namespace {

struct Wow64Rule {
  const wchar_t* path;  // below the root, without a trailing backslash
  bool redirected;
};

// HKEY_LOCAL_MACHINE. "Software" is redirected, with these exceptions.
constexpr Wow64Rule kMachineRules[] = {
    {L"SOFTWARE", true},
    {L"SOFTWARE\\Classes", false},
    {L"SOFTWARE\\Classes\\Appid", false},
    {L"SOFTWARE\\Classes\\CLSID", true},
    {L"SOFTWARE\\Classes\\DirectShow", true},
    {L"SOFTWARE\\Classes\\HCP", false},
    {L"SOFTWARE\\Classes\\Interface", true},
    {L"SOFTWARE\\Classes\\Media Type", true},
    {L"SOFTWARE\\Classes\\MediaFoundation", true},
    {L"SOFTWARE\\Clients", false},
    {L"SOFTWARE\\Microsoft\\COM3", false},
    {L"SOFTWARE\\Microsoft\\Cryptography\\Calais\\Current", false},
    {L"SOFTWARE\\Microsoft\\Cryptography\\Calais\\Readers", false},
    {L"SOFTWARE\\Microsoft\\Cryptography\\Services", false},
    {L"SOFTWARE\\Microsoft\\CTF\\SystemShared", false},
    {L"SOFTWARE\\Microsoft\\CTF\\TIP", false},
    {L"SOFTWARE\\Microsoft\\DFS", false},
    {L"SOFTWARE\\Microsoft\\Driver Signing", false},
    {L"SOFTWARE\\Microsoft\\EnterpriseCertificates", false},
    {L"SOFTWARE\\Microsoft\\EventSystem", false},
    {L"SOFTWARE\\Microsoft\\MSMQ", false},
    {L"SOFTWARE\\Microsoft\\Non-Driver Signing", false},
    {L"SOFTWARE\\Microsoft\\Notepad\\DefaultFonts", false},
    {L"SOFTWARE\\Microsoft\\OLE", false},
    {L"SOFTWARE\\Microsoft\\RAS", false},
    {L"SOFTWARE\\Microsoft\\RPC", false},
    {L"SOFTWARE\\Microsoft\\SOFTWARE\\Microsoft\\Shared Tools\\MSInfo", false},
    {L"SOFTWARE\\Microsoft\\SystemCertificates", false},
    {L"SOFTWARE\\Microsoft\\TermServLicensing", false},
    {L"SOFTWARE\\Microsoft\\TransactionServer", false},
    {L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths", false},
    {L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Control Panel\\Cursors\\Schemes", false},
    {L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers", false},
    {L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons", false},
    {L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\KindMap", false},
    {L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Group Policy", false},
    {L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies", false},
    {L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\PreviewHandlers", false},
    {L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup", false},
    {L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Telephony\\Locations", false},
    {L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Console", false},
    {L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontDpi", false},
    {L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontLink", false},
    {L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontMapper", false},
    {L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", false},
    {L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes", false},
    {L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Gre_Initialize", false},
    {L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options", false},
    {L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Language Pack", false},
    {L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards", false},
    {L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib", false},
    {L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", false},
    {L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Print", false},
    {L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", false},
    {L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones", false},
    {L"SOFTWARE\\Policies", false},
    {L"SOFTWARE\\RegisteredApplications", false},
};

// HKEY_CURRENT_USER: shared but for these classes.
constexpr Wow64Rule kUserRules[] = {
    {L"SOFTWARE\\Classes\\CLSID", true},           {L"SOFTWARE\\Classes\\DirectShow", true},
    {L"SOFTWARE\\Classes\\Interface", true},       {L"SOFTWARE\\Classes\\Media Type", true},
    {L"SOFTWARE\\Classes\\MediaFoundation", true},
};

constexpr wchar_t kClasses[] = L"SOFTWARE\\Classes";
constexpr wchar_t kSoftware[] = L"SOFTWARE";
constexpr wchar_t kWow64Node[] = L"Wow6432Node";

// True when `path` is `ancestor` or lies below it, ignoring case.
bool IsAtOrBelow(std::wstring_view path, std::wstring_view ancestor) {
  if (path.size() < ancestor.size() ||
      !EqualsIgnoreCase(path.substr(0, ancestor.size()), ancestor)) {
    return false;
  }
  return path.size() == ancestor.size() || path[ancestor.size()] == L'\\';
}

std::wstring_view WithoutOuterBackslashes(std::wstring_view path) {
  while (!path.empty() && path.front() == L'\\')
    path.remove_prefix(1);
  while (!path.empty() && path.back() == L'\\')
    path.remove_suffix(1);
  return path;
}

// The path from HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER that the rules are written for.
std::wstring RulePath(RegRoot root, std::wstring_view path) {
  if (root != RegRoot::kClassesRoot)
    return std::wstring(path);
  return path.empty() ? std::wstring(kClasses)
                      : std::wstring(kClasses) + L"\\" + std::wstring(path);
}

// The nearest listed ancestor's rule, or null.
const Wow64Rule* NearestRule(RegRoot root, std::wstring_view rulePath) {
  const std::span<const Wow64Rule> rules = root == RegRoot::kCurrentUser
                                               ? std::span<const Wow64Rule>(kUserRules)
                                               : std::span<const Wow64Rule>(kMachineRules);
  const Wow64Rule* nearest = nullptr;
  size_t nearestLength = 0;
  for (const Wow64Rule& rule : rules) {
    const std::wstring_view rulePrefix = rule.path;
    if (rulePrefix.size() >= nearestLength && IsAtOrBelow(rulePath, rulePrefix)) {
      nearest = &rule;
      nearestLength = rulePrefix.size();
    }
  }
  return nearest;
}

}  // namespace

bool IsRedirectedUnderWow64(RegRoot root, std::wstring_view path) {
  const std::wstring rulePath = RulePath(root, WithoutOuterBackslashes(path));
  const Wow64Rule* rule = NearestRule(root, rulePath);
  return rule != nullptr && rule->redirected;
}

std::wstring PathInWow64View(RegRoot root, std::wstring_view path) {
  path = WithoutOuterBackslashes(path);
  if (!IsRedirectedUnderWow64(root, path))
    return std::wstring(path);
  // Below the classes the node follows "Classes" (HKEY_CLASSES_ROOT's own first level);
  // elsewhere it follows "Software".
  const std::wstring rulePath = RulePath(root, path);
  const bool inClasses = IsAtOrBelow(rulePath, kClasses);
  size_t split = 0;
  if (root != RegRoot::kClassesRoot)
    split = inClasses ? std::wstring_view(kClasses).size() : std::wstring_view(kSoftware).size();
  const std::wstring_view head = path.substr(0, split);
  const std::wstring_view tail = path.substr(std::min(path.size(), split + (split != 0 ? 1 : 0)));
  std::wstring result(head);
  if (!result.empty())
    result += L'\\';
  result += kWow64Node;
  if (!tail.empty()) {
    result += L'\\';
    result += tail;
  }
  return result;
}

}  // namespace tp::host
