// The published identifiers of Outlook, Extended MAPI and the account management interfaces.
#include "host/win32/outlook/outlook_ids.h"

namespace tp::host::win32 {
namespace {
// {xxxxxxxx-0000-0000-C000-000000000046}: the OLE range that Outlook and MAPI use.
constexpr IID OleGuid(unsigned long first) {
  return IID{first, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
}
// {xxxxxxxx-xxxx-11D2-8C3B-00104B2A6676}: the account management range.
constexpr IID OlkGuid(unsigned long first, unsigned short second) {
  return IID{first, second, 0x11D2, {0x8C, 0x3B, 0x00, 0x10, 0x4B, 0x2A, 0x66, 0x76}};
}
}  // namespace

const IID kIidOutlookApplication = OleGuid(0x00063001);
const IID kIidOutlookMailItem = OleGuid(0x00063034);
const IID kDiidInspectorsEvents = OleGuid(0x00063079);
const IID kDiidExplorerEvents = OleGuid(0x0006304F);
const IID kDiidApplicationEvents10 = OleGuid(0x0006302C);
const IID kDiidInspectorEvents10 = OleGuid(0x0006302A);

const IID kIidMapiSession = OleGuid(0x00020300);
const IID kIidMessage = OleGuid(0x00020307);
const IID kIidMapiProp = OleGuid(0x00020303);

const CLSID kClsidOlkAccountManager = OlkGuid(0xED475410, 0xB0D6);
const CLSID kClsidOlkMail = OlkGuid(0xED475418, 0xB0D6);
const IID kIidOlkAccountManager = OlkGuid(0x9240A6CD, 0xAF41);
const IID kIidOlkAccountHelper = OlkGuid(0x9240A6CB, 0xAF41);
const IID kIidOlkEnum = OlkGuid(0x9240A6C1, 0xAF41);
const IID kIidOlkAccount = OlkGuid(0x9240A6D2, 0xAF41);

}  // namespace tp::host::win32
