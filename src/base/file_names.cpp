// File name rules.
#include "base/file_names.h"

#include "base/text.h"

namespace tp {

bool IsReservedDeviceName(std::wstring_view name) {
  // Windows compares the part before the first dot, without trailing spaces.
  std::wstring_view base = name.substr(0, name.find(L'.'));
  while (!base.empty() && base.back() == L' ')
    base.remove_suffix(1);
  for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
    if (EqualsIgnoreAsciiCase(base, device))
      return true;
  }
  if (base.size() != 4)
    return false;
  const std::wstring_view port = base.substr(0, 3);
  const wchar_t number = base[3];
  const bool isPort = EqualsIgnoreAsciiCase(port, L"COM") || EqualsIgnoreAsciiCase(port, L"LPT");
  const bool isNumber = (number >= L'0' && number <= L'9') || number == L'\u00B9' ||
                        number == L'\u00B2' || number == L'\u00B3';
  return isPort && isNumber;
}

}  // namespace tp
