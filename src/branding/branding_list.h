// The branded senders: the branding document turned into a list, and the two questions
// asked of it — which branded sender sent a message, and may an authenticated domain vouch
// for that sender.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/text.h"
#include "host/outlook.h"

namespace tp {

struct SenderBrand {
  bool spf = false;          // SPF evidence may vouch for the sender (the key is present)
  bool spfIfNoDKIM = false;  // carried along; no decision reads it
  std::wstring domain;       // lower case
  std::wstring dkimSigners;  // lower case, comma-separated further vouching domains
};

// Brand name (case kept) to its records in document order, names in UTF-16 order.
using SenderBrandList = std::map<std::wstring, std::vector<SenderBrand>, Utf16Less>;

// What loading a branding document made of its entries, for the log and for a list author.
struct BrandingEntryNote {
  int index = 0;      // the entry's position in "branding", from 1
  std::wstring name;  // the brand name as written; empty when it has none
  std::wstring text;  // why the entry was refused, or what its author should know
};
struct BrandingLoadReport {
  bool documentRead = false;  // the document parsed and its "branding" array was read
  std::vector<BrandingEntryNote> refused;
  std::vector<BrandingEntryNote> warnings;
};

class BrandingList {
 public:
  BrandingList() = default;
  BrandingList(const BrandingList&) = delete;  // the index points into the list
  BrandingList& operator=(const BrandingList&) = delete;

  // Reads a non-empty branding document into the list. Logs why a document or an entry cannot
  // be used; an entry whose domain is not a host name is refused. The document is taken over
  // (it is rewritten in place), so a caller that no longer needs it moves it in.
  BrandingLoadReport Load(std::wstring document);
  void Clear();
  // Exchanges the two lists whole; what either list handed out still points into a live list.
  void Swap(BrandingList& other) noexcept;

  const SenderBrandList& senders() const { return m_senders; }
  // Every brand name once, in the order of first occurrence in the document.
  const std::vector<std::wstring>& names() const { return m_names; }
  size_t RecordCount() const { return m_records; }

  // The first record, in look-up order (names in UTF-16 order, records in document order),
  // whose domain is `senderDomain` or a domain it is a sub-domain of, letter case ignored.
  struct Match {
    const std::wstring* name = nullptr;
    const SenderBrand* record = nullptr;
  };
  Match FindDomain(std::wstring_view senderDomain) const;

 private:
  void BuildIndex();

  struct ViewHash {
    using is_transparent = void;
    size_t operator()(std::wstring_view text) const { return std::hash<std::wstring_view>()(text); }
  };
  struct IndexEntry {
    size_t order;  // position in look-up order
    Match match;
  };

  SenderBrandList m_senders;
  std::vector<std::wstring> m_names;
  size_t m_records = 0;
  // Each record domain (a view of the record's own string) to its first record in look-up
  // order: a look-up costs one probe per label of the sender's domain, whatever the size of
  // the list.
  std::unordered_map<std::wstring_view, IndexEntry, ViewHash> m_byDomain;
};

// May an authentication result for `domain` (lower case) vouch for the sender of `brand`:
// its own domain, a sub-domain ending in it, or one of its signer domains. A domain that is
// not a host name vouches for no one.
bool AcceptsDomain(const SenderBrand& brand, const std::wstring& domain);

}  // namespace tp
