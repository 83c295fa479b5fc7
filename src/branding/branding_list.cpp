// Loading the branding document and looking senders up in it.
#include "branding/branding_list.h"

#include <algorithm>
#include <memory>

#include "base/format.h"
#include "base/host_name.h"
#include "formats/json_parser.h"
#include "net/brand_names.h"
#include "platform/log.h"

namespace tp {
namespace {

const JsonValue* Member(const JsonValue& object, std::wstring_view name) {
  const auto& members = object.AsObject();
  auto found = members.find(name);
  return found == members.end() ? nullptr : found->second.get();
}

// The text of a string member; empty when it is missing or not a string.
std::wstring_view StringMember(const JsonValue& object, std::wstring_view name) {
  const JsonValue* value = Member(object, name);
  if (value == nullptr || value->type() != JsonType::String)
    return {};
  return value->AsString();
}

// A value that reads as "no": false, null, 0, or such a word as a string.
bool ReadsAsNo(const JsonValue& value) {
  switch (value.type()) {
    case JsonType::Null:
      return true;
    case JsonType::Bool:
      return !value.AsBool();
    case JsonType::Number:
      return value.AsNumber() == 0;
    case JsonType::String: {
      const std::wstring text = ToLowerAscii(Trim(value.AsString()));
      return text.empty() || text == L"false" || text == L"no" || text == L"0";
    }
    default:
      return false;
  }
}

void LogSkipped(const BrandingEntryNote& note) {
  if (note.name.empty()) {
    WriteLogFormat(L"Skipping branding entry %d: %s", note.index, note.text);
  } else {
    WriteLogFormat(L"Skipping branding entry %d (%s): %s", note.index, note.name, note.text);
  }
}

}  // namespace

void BrandingList::Clear() {
  m_senders.clear();
  m_byDomain.clear();
  m_names.clear();
  m_records = 0;
}

void BrandingList::Swap(BrandingList& other) noexcept {
  // Swapping the containers moves no element, so the index's views stay valid.
  m_senders.swap(other.m_senders);
  m_byDomain.swap(other.m_byDomain);
  m_names.swap(other.m_names);
  std::swap(m_records, other.m_records);
}

void BrandingList::BuildIndex() {
  m_byDomain.clear();
  size_t count = 0;
  for (const auto& entry : m_senders)
    count += entry.second.size();
  m_byDomain.reserve(count);
  size_t order = 0;
  for (const auto& [name, records] : m_senders) {
    for (const SenderBrand& record : records) {
      m_byDomain.try_emplace(record.domain, IndexEntry{order++, Match{&name, &record}});
    }
  }
}

BrandingList::Match BrandingList::FindDomain(std::wstring_view senderDomain) const {
  const std::wstring domain = ToLower(senderDomain);
  const IndexEntry* best = nullptr;
  const std::wstring_view whole(domain);
  for (size_t start = 0; start < whole.size();) {
    const auto found = m_byDomain.find(whole.substr(start));
    if (found != m_byDomain.end() && (best == nullptr || found->second.order < best->order))
      best = &found->second;
    const size_t dot = whole.find(L'.', start);
    if (dot == std::wstring_view::npos)
      break;
    start = dot + 1;
  }
  return best == nullptr ? Match{} : best->match;
}

BrandingLoadReport BrandingList::Load(std::wstring document) {
  BrandingLoadReport report;
  // Apostrophes may stand for double quotes anywhere in the document.
  std::replace(document.begin(), document.end(), L'\'', L'"');
  std::unique_ptr<JsonValue> root = ParseJson(document);
  if (!root) {
    WriteLog(L"Could not parse JSON");
    return report;
  }
  if (root->IsError()) {
    WriteLogFormat(L"Error parsing branding JSON: %s", root->AsString());
    return report;
  }
  const JsonValue* branding =
      root->type() == JsonType::Object ? Member(*root, L"branding") : nullptr;
  if (branding == nullptr) {
    WriteLog(L"could not locate branding in JSON");
    return report;
  }
  if (branding->type() != JsonType::Array)
    return report;

  report.documentRead = true;
  int index = 0;
  for (const auto& element : branding->AsArray()) {
    ++index;
    BrandingEntryNote note{index, std::wstring(), std::wstring()};
    if (element->type() != JsonType::Object) {
      note.text = L"not an object";
      LogSkipped(note);
      report.refused.push_back(std::move(note));
      continue;
    }
    note.name = StringMember(*element, L"name");
    SenderBrand brand;
    brand.domain = ToLower(StringMember(*element, L"domain"));
    if (note.name.empty() || brand.domain.empty()) {
      note.text = L"no name or no domain";
    } else if (!IsUsableBrandName(note.name)) {
      note.text = L"the name cannot name a message class";
    } else if (const wchar_t* problem = HostNameProblem(brand.domain)) {
      // A domain that is not one ("*", an address, a pattern) would let the entry's signers
      // vouch for senders that are no one's.
      note.text = Format(L"the domain \"%s\" is not a host name: %s", brand.domain, problem);
    }
    if (!note.text.empty()) {
      LogSkipped(note);
      report.refused.push_back(std::move(note));
      continue;
    }
    const JsonValue* spf = Member(*element, L"spf");
    brand.spf = spf != nullptr;
    if (spf != nullptr && ReadsAsNo(*spf)) {
      report.warnings.push_back(
          {index, note.name,
           L"\"spf\" is present with a value that reads as no, yet SPF may vouch for this "
           L"sender: the key's presence counts, not its value"});
    }
    brand.spfIfNoDKIM = Member(*element, L"spfIfNoDKIM") != nullptr;
    brand.dkimSigners = ToLower(StringMember(*element, L"dkimSigners"));
    auto [entry, isNew] = m_senders.try_emplace(note.name);
    if (isNew)
      m_names.push_back(note.name);
    entry->second.push_back(std::move(brand));
    ++m_records;
  }
  BuildIndex();
  return report;
}

bool AcceptsDomain(const SenderBrand& brand, const std::wstring& domain) {
  if (!IsHostName(domain))
    return false;
  if (EqualsIgnoreCase(domain, brand.domain))
    return true;
  const std::wstring dotted = L"." + brand.domain;
  const size_t first = domain.find(dotted);
  if (first != std::wstring::npos && first + dotted.size() == domain.size())
    return true;
  for (const std::wstring& signer : SplitSkippingEmpty(brand.dkimSigners, L',')) {
    if (signer == domain)
      return true;
  }
  return false;
}

}  // namespace tp
