// Package rows: each registration entry once for each view it lives in (once where both views
// share its key), then the settings that the add-in's statistics read.
#include "addin/package_rows.h"

#include "addin/registration_table.h"
#include "branding/form_regions.h"
#include "host/registry_views.h"

namespace tp {
namespace {

using host::RegRoot;

// Where an entry's hive lies for a scope, or null when the scope's package leaves it out.
const wchar_t* HivePath(RegistrationHive hive, RegistrationScope scope, RegRoot* root) {
  *root = scope == RegistrationScope::kUser ? RegRoot::kCurrentUser : RegRoot::kLocalMachine;
  switch (hive) {
    case RegistrationHive::kClasses:
    case RegistrationHive::kTypeLibrary:
      return L"Software\\Classes";
    case RegistrationHive::kOutlookAddins:
      return kAddinsKeyPath;
    case RegistrationHive::kMachineFormRegions:
      break;
  }
  return scope == RegistrationScope::kMachine ? kFormRegionsKeyPath : nullptr;
}

// The row of an entry, without its place.
PackageRow RowOf(const RegistrationEntry& entry) {
  PackageRow row{};
  row.name = entry.name != nullptr ? entry.name : L"";
  switch (entry.kind) {
    case RegistrationEntryKind::kOwnKey:
    case RegistrationEntryKind::kOwnKeyReplaced:
    case RegistrationEntryKind::kSubkey:
      row.kind = PackageValueKind::kOwnKey;
      break;
    case RegistrationEntryKind::kText:
      row.kind = PackageValueKind::kText;
      row.text = entry.text;
      break;
    case RegistrationEntryKind::kModulePath:
      row.kind = PackageValueKind::kDllPath;
      break;
    case RegistrationEntryKind::kModuleFolder:
      row.kind = PackageValueKind::kDllFolder;
      break;
    case RegistrationEntryKind::kDword:
      row.kind = PackageValueKind::kDword;
      row.number = entry.number;
      break;
  }
  // An administrator chooses how Outlook loads the add-in.
  if (entry.hive == RegistrationHive::kOutlookAddins && row.name == L"LoadBehavior") {
    row.kind = PackageValueKind::kDwordProperty;
    row.text = kLoadBehaviorProperty;
  }
  return row;
}

void AddEntryRows(RegistrationScope scope, std::vector<PackageRow>* rows) {
  for (const RegistrationEntry& entry : RegistrationEntries()) {
    RegRoot root;
    const wchar_t* hivePath = HivePath(entry.hive, scope, &root);
    if (hivePath == nullptr)
      continue;
    const std::wstring key = std::wstring(hivePath) + L"\\" + entry.key;
    const bool redirected = host::IsRedirectedUnderWow64(root, key);
    PackageRow row = RowOf(entry);
    row.root = root;
    if (entry.bitness != RegistrationBitness::k32) {
      // The 64-bit view; a shared key once, here.
      row.component = PackageComponent::kAddin64;
      row.key = key;
      rows->push_back(row);
    }
    if (entry.bitness == RegistrationBitness::k32 || redirected) {
      row.component = PackageComponent::kAddin32;
      row.key = host::PathInWow64View(root, key);
      rows->push_back(row);
    }
  }
}

// A setting in every view that the add-in of either bitness reads it from.
void AddSetting(RegistrationScope scope, PackageComponent component, const wchar_t* key,
                const wchar_t* name, const wchar_t* property, std::vector<PackageRow>* rows) {
  const RegRoot root =
      scope == RegistrationScope::kUser ? RegRoot::kCurrentUser : RegRoot::kLocalMachine;
  PackageRow row{component, root, key, name, PackageValueKind::kProperty, property, 0};
  rows->push_back(row);
  if (host::IsRedirectedUnderWow64(root, key)) {
    row.key = host::PathInWow64View(root, key);
    rows->push_back(row);
  }
}

}  // namespace

std::vector<PackageRow> PackageRows(RegistrationScope scope) {
  std::vector<PackageRow> rows;
  AddEntryRows(scope, &rows);
  AddSetting(scope, PackageComponent::kInstallationId, L"Software\\Tidepost", L"activeGuid",
             kInstallationIdProperty, &rows);
  AddSetting(scope, PackageComponent::kSender, L"Software\\Tidepost\\Tidepost", L"sender",
             kSenderProperty, &rows);
  AddSetting(scope, PackageComponent::kCampaign, L"Software\\Tidepost\\Tidepost", L"campaign",
             kCampaignProperty, &rows);
  return rows;
}

}  // namespace tp
