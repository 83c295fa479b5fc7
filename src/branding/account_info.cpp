// The receiving account of a message, its provider, the sender and the body.
#include "branding/account_info.h"

#include "base/text.h"
#include "branding/mail_provider.h"
#include "branding/mapi_text.h"
#include "formats/code_pages.h"
#include "platform/configuration.h"
#include "platform/log.h"

namespace tp {
namespace {

// The Hotmail domain without its last letter also covers the Hotmail country domains.
std::wstring HotmailStem() {
  const std::wstring domain = config::kHotmailDomain;
  return domain.substr(0, domain.size() - 1);
}

int ReadReceivingAddress(host::MailItem& item, std::wstring* address) {
  WriteLog(L"Failed to get account of mail item");
  std::shared_ptr<host::MapiMessage> message = item.MapiObject();
  if (!message)
    return host::kOlExchangeAccount;
  std::wstring addressType;
  if (!ReadTextProp(*message, host::kPrReceivedByAddrTypeW, &addressType)) {
    return host::kOlExchangeAccount;
  }
  // Without an account object only the delivery address type is known: SMTP means an
  // internet account of some kind, anything else Exchange.
  const int type = EqualsIgnoreCase(addressType, L"SMTP") ? 1 : host::kOlExchangeAccount;
  if (!ReadTextProp(*message, host::kPrReceivedByEmailAddressW, address))
    address->clear();
  return type;
}

}  // namespace

int GetItemAccountInfo(host::MailItem& item, std::wstring* accountAddress,
                       std::wstring* mailProvider) {
  int type = host::kOlExchangeAccount;
  std::wstring address;
  if (std::shared_ptr<host::Account> account = item.SendUsingAccount()) {
    type = account->AccountType();
    address = account->SmtpAddress();
    if (!Contains(address, L"@"))
      address = account->DisplayName();
  } else {
    type = ReadReceivingAddress(item, &address);
  }
  if (!Contains(address, L"@"))
    address.clear();
  address = ToLower(address);
  WriteLogFormat(L"Message item account is %d and account is %s", type, address);

  mailProvider->clear();
  if (!address.empty()) {
    auto mapped = g_accountProviderDomains.find(address);
    if (mapped != g_accountProviderDomains.end()) {
      *mailProvider = mapped->second;
    } else {
      address = address.substr(address.rfind(L'@'));
      if (Contains(KnownProviderList(), address))
        *mailProvider = address;
    }
  }
  *accountAddress = address;
  return type;
}

void GetProviderName(int accountType, const std::wstring& mailProvider,
                     std::wstring* providerName) {
  const std::wstring marker = ToLower(mailProvider);
  if (Contains(marker, config::kGmailDomain)) {
    *providerName = L"gmail";
  } else if (Contains(marker, config::kYahooDomain) || Contains(marker, config::kYmailDomain)) {
    *providerName = L"yahoo";
  } else if (Contains(marker, HotmailStem()) || Contains(marker, config::kOutlookWebDomain)) {
    *providerName = L"hotmail";
  } else if (accountType == host::kOlExchangeAccount) {
    *providerName = L"exchange";
  }
}

void GetSenderAddress(host::MailItem& item, std::wstring* address) {
  *address = item.SenderEmailAddress();
  std::shared_ptr<host::MapiMessage> message = item.MapiObject();
  if (!message)
    return;
  host::PropValue value;
  if (hr::Succeeded(message->GetProp(host::kPrSentRepresentingEmailAddressW, &value)) &&
      value.tag == host::kPrSentRepresentingEmailAddressW) {
    *address = value.text;
  }
}

void GetMessageBodyText(host::MailItem* item, std::wstring* text, bool htmlOnly) {
  text->clear();
  if (item == nullptr)
    return;
  std::shared_ptr<host::MapiMessage> message = item->MapiObject();
  if (!message)
    return;
  std::string bytes;
  if (!htmlOnly && hr::Succeeded(message->ReadStream(host::kPrBodyW, &bytes))) {
    *text = Utf16LeToWide(bytes);
  } else {
    if (hr::Failed(message->ReadStream(host::kPrHtml, &bytes)))
      return;
    // The stream is read as a zero-terminated string.
    const size_t zero = bytes.find('\0');
    if (zero != std::string::npos)
      bytes.resize(zero);
    *text = CodePageToWide(static_cast<uint32_t>(item->InternetCodepage()), bytes);
  }
  const size_t zero = text->find(L'\0');
  if (zero != std::wstring::npos)
    text->resize(zero);
}

}  // namespace tp
