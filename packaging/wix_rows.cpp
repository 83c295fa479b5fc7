// WiX source for the package rows. Every component is 64-bit (wixl -a x64), so each row lands
// at the key it names; components of settings have a registry value as their key path.
#include "wix_rows.h"

#include <map>
#include <vector>

#include "addin/package_rows.h"
#include "base/format.h"
#include "base/text.h"

namespace tp::packaging {
namespace {

struct ComponentInfo {
  PackageComponent component;
  const char* id;
  const char* directory;
  const char* file;       // the DLL it installs, or null
  const char* condition;  // installed only when this property is set, or null
};

constexpr ComponentInfo kComponents[] = {
    {PackageComponent::kAddin64, "Addin64", "Folder64", "Dll64", nullptr},
    {PackageComponent::kAddin32, "Addin32", "Folder32", "Dll32", nullptr},
    {PackageComponent::kInstallationId, "InstallationId", "Folder64", nullptr, nullptr},
    {PackageComponent::kSender, "Sender", "Folder64", nullptr, "SENDER"},
    {PackageComponent::kCampaign, "Campaign", "Folder64", nullptr, "CAMPAIGN"},
};

std::string Xml(std::wstring_view text) {
  std::string out;
  for (char ch : WideToUtf8(text)) {
    switch (ch) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += ch;
    }
  }
  return out;
}

// A literal in a Formatted column: square brackets would start a property reference.
std::wstring Literal(std::wstring_view text) {
  std::wstring out;
  for (wchar_t ch : text) {
    if (ch == L'[' || ch == L']') {
      out += L"[\\";
      out += ch;
      out += L']';
    } else {
      out += ch;
    }
  }
  return out;
}

// The Type and Value attributes of a row's RegistryValue.
std::string TypeAndValue(const PackageRow& row, const ComponentInfo& info) {
  const auto text = [](std::wstring_view value) {
    return "Type=\"string\" Value=\"" + Xml(value) + "\"";
  };
  switch (row.kind) {
    case PackageValueKind::kOwnKey:
      return text(L"");
    case PackageValueKind::kText:
      return text(Literal(row.text));
    case PackageValueKind::kDword:
      return "Type=\"integer\" Value=\"" + std::to_string(row.number) + "\"";
    case PackageValueKind::kDllPath:
      return text(L"[#" + Utf8ToWide(info.file) + L"]");
    case PackageValueKind::kDllFolder:
      // The folder's property ends in a backslash; the path from it does not.
      return text(L"[" + Utf8ToWide(info.directory) + L"Path]");
    case PackageValueKind::kProperty:
      return text(L"[" + row.text + L"]");
    case PackageValueKind::kDwordProperty:
      return "Type=\"integer\" Value=\"[" + Xml(row.text) + "]\"";
  }
  return text(L"");
}

const char* RootName(host::RegRoot root) {
  return root == host::RegRoot::kCurrentUser ? "HKCU" : "HKLM";
}

}  // namespace

std::string ComponentTableFixes() {
  // msidbComponentAttributes64bit, with msidbComponentAttributesRegistryKeyPath where the key
  // path is a registry value.
  std::string out;
  for (const ComponentInfo& info : kComponents) {
    out += std::string("UPDATE `Component` SET `Attributes` = ") +
           (info.file != nullptr ? "256" : "260") + " WHERE `Component` = '" + info.id + "'\n";
    if (info.condition != nullptr) {
      out += std::string("UPDATE `Component` SET `Condition` = '") + info.condition +
             "' WHERE `Component` = '" + info.id + "'\n";
    }
  }
  return out;
}

std::string WixRowsFragment(RegistrationScope scope) {
  const std::vector<PackageRow> rows = PackageRows(scope);
  std::string out =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      "<!-- Made by tidepost-package-rows from the add-in's registration table. -->\n"
      "<Include>\n";
  for (const PackageRow& row : rows) {
    if (row.kind == PackageValueKind::kDwordProperty) {
      out += "    <Property Id=\"" + Xml(row.text) + "\" Value=\"" + std::to_string(row.number) +
             "\" />\n";
      break;
    }
  }
  for (const ComponentInfo& info : kComponents) {
    out += std::string("    <DirectoryRef Id=\"") + info.directory + "\">\n";
    out += std::string("      <Component Id=\"") + info.id + "\" Guid=\"*\">\n";
    if (info.file != nullptr) {
      out += std::string("        <File Id=\"") + info.file +
             "\" Name=\"TidepostOutlookAddin.dll\" Source=\"$(var." + info.file +
             ")\" KeyPath=\"yes\" />\n";
    }
    bool keyPathGiven = info.file != nullptr;
    for (const PackageRow& row : rows) {
      if (row.component != info.component)
        continue;
      out += std::string("        <RegistryValue Root=\"") + RootName(row.root) + "\" Key=\"" +
             Xml(Literal(row.key)) + "\"";
      const std::wstring name = row.kind == PackageValueKind::kOwnKey ? L"*" : row.name;
      if (!name.empty())
        out += " Name=\"" + Xml(Literal(name)) + "\"";
      out += ' ';
      out += TypeAndValue(row, info);
      if (!keyPathGiven) {
        out += " KeyPath=\"yes\"";
        keyPathGiven = true;
      }
      out += " />\n";
    }
    out += "      </Component>\n    </DirectoryRef>\n";
  }
  out += "    <Feature Id=\"Addin\" Title=\"Tidepost\" Level=\"1\" Absent=\"disallow\">\n";
  for (const ComponentInfo& info : kComponents)
    out += std::string("      <ComponentRef Id=\"") + info.id + "\" />\n";
  out += "    </Feature>\n</Include>\n";
  return out;
}

}  // namespace tp::packaging
