// Composing the network layer's exception.
#include "net/win_exception.h"

#include "base/format.h"
#include "host/host.h"
#include "host/http.h"

namespace tp {

WinException::WinException(const wchar_t* location, uint32_t errorCode)
    : m_errorCode(errorCode != 0 ? errorCode : host::http().LastError()), m_location(location) {
  const std::wstring code = Format(L"%xx", m_errorCode);
  if (std::optional<std::wstring> text = host::http().SystemMessage(m_errorCode)) {
    m_message = *text + L"(" + code + L")";
  } else {
    m_message = L"Error " + code;
  }
  if (m_location != nullptr) {
    m_message += L" at ";
    m_message += m_location;
  }
}

}  // namespace tp
