// The identifiers and interfaces of the browser surface that no SDK header of MinGW declares:
// the maker's browser helper object (IBrowserHelper), and ICustomDoc's interface id.
#pragma once

#include "host/win32/win32_api.h"

namespace tp::host::win32 {

extern const CLSID kClsidBrowserHelper;  // {20D2D1F6-21BB-4B54-A1DA-14D9373E6D70}
extern const IID kIidBrowserHelper;      // {323E3FBF-B612-45FD-93D4-2D8795FDAB4D}
extern const IID kIidCustomDoc;          // {3050F3F0-98B5-11CF-BB82-00AA00BDCE0B}

// The helper object's dual interface: its own methods in slot order after IDispatch's. COM
// interfaces have no virtual destructor; objects die by Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
struct IBrowserHelper : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE SetHostWindow(LONGLONG window) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetPageContent(BSTR page) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetMessageInfo(BSTR senderAddress, BSTR subject, BSTR entryId,
                                                   BSTR account, BSTR provider) = 0;
};
#pragma GCC diagnostic pop

}  // namespace tp::host::win32
