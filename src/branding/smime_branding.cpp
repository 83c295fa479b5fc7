// The S/MIME branch of the branding decision.
#include "branding/smime_branding.h"

#include "base/text.h"

namespace tp {
namespace {

bool IsHostNameCharacter(wchar_t ch) {
  return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z') || (ch >= L'0' && ch <= L'9') ||
         ch == L'-' || ch == L'.';
}

}  // namespace

bool IsAddressInDomain(std::wstring_view address, std::wstring_view domain) {
  const size_t at = address.rfind(L'@');
  if (at == std::wstring_view::npos || at == 0 || domain.empty())
    return false;
  const std::wstring_view host = address.substr(at + 1);
  for (const wchar_t ch : host) {
    if (!IsHostNameCharacter(ch))
      return false;
  }
  if (host.empty() || host.front() == L'.' || host.find(L"..") != std::wstring_view::npos)
    return false;
  if (EqualsIgnoreAsciiCase(host, domain))
    return true;
  return host.size() > domain.size() + 1 && host[host.size() - domain.size() - 1] == L'.' &&
         EqualsIgnoreAsciiCase(host.substr(host.size() - domain.size()), domain);
}

SignatureRefusal JudgeSignatureForBrand(const SignatureVerdict& verdict, const SenderBrand& brand) {
  if (!verdict.Valid())
    return SignatureRefusal::kNotVerified;
  if (!verdict.ChainsToTrustedRoot())
    return SignatureRefusal::kUntrustedRoot;
  for (const std::wstring& address : verdict.signerAddresses) {
    if (IsAddressInDomain(address, brand.domain))
      return SignatureRefusal::kNone;
  }
  return SignatureRefusal::kSignerOutsideDomain;
}

}  // namespace tp
