// Which account of the profile received a message and which consumer mail provider stands
// behind it, plus the two item accessors the branding decision needs: the sender's address
// and the message body.
#pragma once

#include <string>

#include "host/outlook.h"

namespace tp {

// The receiving account's type (0: Exchange), its address in lower case and its provider
// marker. When the account is not in g_accountProviderDomains, the address handed back is
// only its "@domain" part.
int GetItemAccountInfo(host::MailItem& item, std::wstring* accountAddress,
                       std::wstring* mailProvider);

// "gmail", "yahoo", "hotmail" or "exchange" for the marker; leaves the name alone otherwise.
void GetProviderName(int accountType, const std::wstring& mailProvider, std::wstring* providerName);

// The sender's address: the sent-representing address when MAPI has one.
void GetSenderAddress(host::MailItem& item, std::wstring* address);

// The body as wide text: the plain text, or the HTML in the item's code page when there is
// no plain body or htmlOnly is set; empty when neither can be read.
void GetMessageBodyText(host::MailItem* item, std::wstring* text, bool htmlOnly);

}  // namespace tp
