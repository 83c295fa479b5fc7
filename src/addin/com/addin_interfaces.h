// The identifiers and interfaces of the add-in's COM server: the Connect class, Office's
// _IDTExtensibility2 and Outlook's _FormRegionStartup (declared here in their published vtable
// order) and the add-in's own dual IConnect, which has no methods of its own.
#pragma once

#include "host/win32/win32_api.h"

namespace tp::addin {

// Connect: {6B1F20D4-3C7A-4E59-9D21-5A7C0E4B8F13}.
extern const CLSID kClsidConnect;
// IConnect: {0DCB784F-D38C-40C0-86BD-352DB1F76872}.
extern const IID kIidConnect;
// _IDTExtensibility2: {B65AD801-ABAF-11D0-BB8B-00A0C90F2744}.
extern const IID kIidDTExtensibility2;
// _FormRegionStartup (Outlook 2007 and later): {00063059-0000-0000-C000-000000000046}.
extern const IID kIidFormRegionStartup;

// The DISPIDs of _IDTExtensibility2's methods, for hosts that call it late-bound.
enum ExtensibilityDispid : DISPID {
  kDispidOnConnection = 1,
  kDispidOnDisconnection = 2,
  kDispidOnAddInsUpdate = 3,
  kDispidOnStartupComplete = 4,
  kDispidOnBeginShutdown = 5,
};

// The DISPIDs of _FormRegionStartup's methods, as Outlook's type library gives them.
enum FormRegionStartupDispid : DISPID {
  kDispidGetFormRegionStorage = 0xFB36,
  kDispidBeforeFormRegionShow = 0xFB3D,
  kDispidGetFormRegionManifest = 0xFC33,
  kDispidGetFormRegionIcon = 0xFC34,
};

// COM interfaces have no virtual destructor; objects die by Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// _IDTExtensibility2. The modes are ext_ConnectMode and ext_DisconnectMode values.
struct IDTExtensibility2 : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, int connectMode,
                                                 IDispatch* addInInstance, SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnDisconnection(int removeMode, SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) = 0;
};

// _FormRegionStartup. The mode, size and icon kind are OlFormRegionMode, OlFormRegionSize
// and OlFormRegionIcon values; the form region is a FormRegion object.
struct FormRegionStartup : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE GetFormRegionStorage(BSTR formRegionName, IDispatch* item,
                                                         long locale, int mode, int size,
                                                         VARIANT* storage) = 0;
  virtual HRESULT STDMETHODCALLTYPE BeforeFormRegionShow(IDispatch* formRegion) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFormRegionManifest(BSTR formRegionName, long locale,
                                                          VARIANT* manifest) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFormRegionIcon(BSTR formRegionName, long locale, int icon,
                                                      VARIANT* result) = 0;
};

#pragma GCC diagnostic pop

}  // namespace tp::addin
