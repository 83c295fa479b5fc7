// The published identifiers of the Outlook object model, Extended MAPI and Outlook's account
// management interfaces that the adapters use.
#pragma once

#include "host/win32/win32_api.h"

namespace tp::host::win32 {

// Outlook object model (type library 9.3).
extern const IID kIidOutlookApplication;  // _Application
extern const IID kIidOutlookMailItem;     // _MailItem
extern const IID kDiidInspectorsEvents;
extern const IID kDiidExplorerEvents;
extern const IID kDiidApplicationEvents10;
extern const IID kDiidInspectorEvents10;

// Extended MAPI.
extern const IID kIidMapiSession;  // IMAPISession
extern const IID kIidMessage;      // IMessage
extern const IID kIidMapiProp;     // IMAPIProp

// Account management.
extern const CLSID kClsidOlkAccountManager;
extern const CLSID kClsidOlkMail;
extern const IID kIidOlkAccountManager;
extern const IID kIidOlkAccountHelper;
extern const IID kIidOlkEnum;
extern const IID kIidOlkAccount;

}  // namespace tp::host::win32
