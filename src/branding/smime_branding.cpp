// The S/MIME branch of the branding decision.
#include "branding/smime_branding.h"

#include "base/text.h"
#include "branding/mapi_text.h"
#include "branding/message_class.h"
#include "platform/log.h"
#include "smime/certificate_names.h"
#include "smime/smime_message.h"

namespace tp {
namespace {

bool IsHostNameCharacter(wchar_t ch) {
  return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z') || (ch >= L'0' && ch <= L'9') ||
         ch == L'-' || ch == L'.';
}

}  // namespace

bool IsSmimeMessage(host::MailItem& item) {
  std::shared_ptr<host::MapiMessage> message = item.MapiObject();
  std::wstring messageClass;
  return message && ReadTextProp(*message, host::kPrMessageClassW, &messageClass) &&
         IsSmimeClass(messageClass);
}

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

bool SmimeSignatureVouches(host::MapiMessage& message, const std::wstring& messageClass,
                           const std::wstring& brandName, const SenderBrand& brand) {
  WriteLog(L"Message is from an exchange account");
  if (!IsSmimeClass(messageClass)) {
    WriteLog(L"Message is not SMIME signed");
    return false;
  }
  const SmimeMessageCheck check = VerifySMimeMessage(message);
  const SignatureVerdict& verdict = check.verdict;
  WriteLogFormat(L"SMIME signature result=%d (%s), signer=%s, addresses=%s", verdict.result,
                 DescribeVerdict(verdict), EscapeForDiagnostics(verdict.signerSubject),
                 DescribeSignerAddresses(verdict));
  switch (JudgeSignatureForBrand(verdict, brand)) {
    case SignatureRefusal::kNotVerified:
      WriteLogFormat(L"Message failed SMIME verification: result %d, %s", verdict.result,
                     DescribeVerdict(verdict));
      return false;
    case SignatureRefusal::kUntrustedRoot:
      WriteLog(
          L"Message failed SMIME verification: the signer's chain does not reach a trusted root");
      return false;
    case SignatureRefusal::kSignerOutsideDomain:
      WriteLogFormat(
          L"Message failed SMIME verification: no address of the signer is in the domain %s",
          brand.domain);
      return false;
    case SignatureRefusal::kNone:
      break;
  }
  WriteLogFormat(L"Branding SMIME message for sender %s", brandName);
  return true;
}

}  // namespace tp
