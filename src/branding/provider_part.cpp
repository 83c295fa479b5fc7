// The provider layouts and the search for the provider's part of a header block.
#include "branding/provider_part.h"

#include <array>

#include "branding/mail_provider.h"
#include "support/configuration.h"
#include "support/text.h"

namespace tp {
namespace {

struct ProviderLayout {
  ProviderFamily family;
  const wchar_t* name;
  // The provider's own servers: a host equal to one of these or ending in "." + one of them.
  std::array<const wchar_t*, 3> hosts;
  // The trace line is the topmost Received field of the provider's servers (Gmail: its one
  // inbound exchanger); otherwise the lowest one of the provider's chain of hops.
  bool topmostTrace;
  // Fields the provider writes directly below its trace line, in this order.
  std::array<const wchar_t*, 2> belowTrace;
  // The provider folds the last of those only after a clause's semicolon.
  bool foldsAfterSemicolon;
  // The first field of the run the provider appends at the end of the block, if any.
  const wchar_t* appendedRunStart;
};

constexpr ProviderLayout kLayouts[] = {
    {ProviderFamily::kGmail,
     L"Gmail",
     {L"mx.google.com", nullptr, nullptr},
     true,
     {L"Received-SPF", L"Authentication-Results"},
     true,
     nullptr},
    {ProviderFamily::kHotmail,
     L"Hotmail",
     {L"hotmail.com", L"outlook.com", L"live.com"},
     false,
     {nullptr, nullptr},
     false,
     nullptr},
    {ProviderFamily::kYahoo,
     L"Yahoo",
     {L"yahoo.com", nullptr, nullptr},
     false,
     {nullptr, nullptr},
     false,
     nullptr},
    {ProviderFamily::kAol,
     L"AOL",
     {L"aol.com", nullptr, nullptr},
     false,
     {nullptr, nullptr},
     false,
     L"x-aol-global-disposition"},
};

const ProviderLayout* LayoutOf(ProviderFamily family) {
  for (const ProviderLayout& layout : kLayouts) {
    if (layout.family == family)
      return &layout;
  }
  return nullptr;
}

bool MarkerHas(std::wstring_view mailProvider, const wchar_t* domain) {
  return Contains(mailProvider, ProviderMarker(domain));
}

bool IsHostIn(std::wstring_view host, std::wstring_view domain) {
  if (host.size() == domain.size())
    return EqualsIgnoreAsciiCase(host, domain);
  return host.size() > domain.size() && host[host.size() - domain.size() - 1] == L'.' &&
         EqualsIgnoreAsciiCase(host.substr(host.size() - domain.size()), domain);
}

bool IsProviderHost(const ProviderLayout& layout, std::wstring_view host) {
  for (const wchar_t* domain : layout.hosts) {
    if (domain != nullptr && IsHostIn(host, domain))
      return true;
  }
  return false;
}

// An address instead of a name: a provider's internal hop ("by 10.36.109.145",
// "by 2002:a05:7300:d10f:b0:11c", "by [192.0.2.1]").
bool IsAddressLiteral(std::wstring_view host) {
  if (host.empty())
    return false;
  if (host.front() == L'[')
    return true;
  bool colon = false;
  bool hex = false;
  for (wchar_t ch : host) {
    if (ch == L':') {
      colon = true;
    } else if ((ch >= L'a' && ch <= L'f') || (ch >= L'A' && ch <= L'F')) {
      hex = true;
    } else if (!(ch >= L'0' && ch <= L'9') && ch != L'.') {
      return false;
    }
  }
  return colon || !hex;
}

// How many lines of a field folded only after semicolons belong to it: a line continues the
// field only when the line above ends with a semicolon.
size_t LinesFoldedAfterSemicolons(const HeaderBlock& block, const HeaderField& field) {
  const std::vector<std::wstring_view> lines = block.Lines(field);
  size_t taken = 1;
  while (taken < lines.size()) {
    const std::wstring_view above = Trim(lines[taken - 1]);
    if (above.empty() || above.back() != L';')
      break;
    ++taken;
  }
  return taken;
}

}  // namespace

ProviderFamily FamilyOfMarker(std::wstring_view mailProvider) {
  if (MarkerHas(mailProvider, config::kGmailDomain))
    return ProviderFamily::kGmail;
  if (MarkerHas(mailProvider, config::kHotmailDomain) ||
      MarkerHas(mailProvider, config::kHotmailIsraelDomain) ||
      MarkerHas(mailProvider, config::kOutlookWebDomain) ||
      MarkerHas(mailProvider, config::kWindowsLiveDomain)) {
    return ProviderFamily::kHotmail;
  }
  if (MarkerHas(mailProvider, config::kYahooDomain) ||
      MarkerHas(mailProvider, config::kYmailDomain)) {
    return ProviderFamily::kYahoo;
  }
  if (MarkerHas(mailProvider, config::kAolDomain))
    return ProviderFamily::kAol;
  return ProviderFamily::kNone;
}

const wchar_t* FamilyName(ProviderFamily family) {
  const ProviderLayout* layout = LayoutOf(family);
  return layout == nullptr ? L"no provider" : layout->name;
}

std::wstring ReceivedByHost(std::wstring_view value) {
  size_t i = 0;
  bool expectHost = false;
  while (i < value.size()) {
    const wchar_t ch = value[i];
    if (ch == L';')
      break;  // the date follows
    if (ch == L'(') {
      // A comment ("(mail.example. [192.0.2.1])"), nesting by a counter.
      size_t depth = 0;
      do {
        if (value[i] == L'\\') {
          ++i;
        } else if (value[i] == L'(') {
          ++depth;
        } else if (value[i] == L')') {
          --depth;
        }
        ++i;
      } while (i < value.size() && depth > 0);
      continue;
    }
    if (IsSpace(ch)) {
      ++i;
      continue;
    }
    const size_t begin = i;
    while (i < value.size() && !IsSpace(value[i]) && value[i] != L'(' && value[i] != L';')
      ++i;
    std::wstring_view word = value.substr(begin, i - begin);
    if (expectHost) {
      while (!word.empty() && word.back() == L'.')
        word.remove_suffix(1);
      return ToLowerAscii(word);
    }
    expectHost = EqualsIgnoreAsciiCase(word, L"by");
  }
  return {};
}

size_t ProviderPart::Find(const HeaderBlock& block, std::wstring_view name) const {
  const size_t top = block.Find(name, 0, topEnd);
  if (top != std::wstring_view::npos)
    return top;
  return block.Find(name, appendedBegin, appendedEnd);
}

ProviderPart FindProviderPart(const HeaderBlock& block, ProviderFamily family) {
  ProviderPart part;
  const ProviderLayout* layout = LayoutOf(family);
  if (layout == nullptr)
    return part;
  const std::vector<HeaderField>& fields = block.fields();
  for (size_t i = 0; i < fields.size(); ++i) {
    if (!fields[i].Is(L"Received"))
      continue;
    const std::wstring host = ReceivedByHost(block.Value(fields[i]));
    if (IsProviderHost(*layout, host)) {
      part.traced = true;
      part.traceIndex = i;
      if (layout->topmostTrace)
        break;
    } else if (!IsAddressLiteral(host)) {
      break;  // a hop outside the provider: the sender's part has begun
    }
  }
  if (!part.traced)
    return part;
  part.topEnd = part.traceIndex + 1;
  for (const wchar_t* below : layout->belowTrace) {
    if (below != nullptr && part.topEnd < fields.size() && fields[part.topEnd].Is(below))
      ++part.topEnd;
  }
  const HeaderField& last = fields[part.topEnd - 1];
  if (layout->foldsAfterSemicolon && !last.Is(L"Received"))
    part.lastFieldLines = LinesFoldedAfterSemicolons(block, last);
  if (layout->appendedRunStart != nullptr) {
    size_t start = std::wstring_view::npos;
    for (size_t i = part.topEnd; i < fields.size(); ++i) {
      if (fields[i].Is(layout->appendedRunStart))
        start = i;
    }
    if (start != std::wstring_view::npos) {
      part.appendedBegin = start;
      part.appendedEnd = start + 1;
      while (part.appendedEnd < fields.size() &&
             (fields[part.appendedEnd].Is(L"Authentication-Results") ||
              (fields[part.appendedEnd].hasColon &&
               FindIgnoreAsciiCase(fields[part.appendedEnd].name, L"x-aol-") == 0))) {
        ++part.appendedEnd;
      }
    }
  }
  return part;
}

}  // namespace tp
