// The installed add-in, as Outlook meets it: run by install-under-wine.sh after regsvr32 has
// registered TidepostOutlookAddin.dll per machine (the script names its path in
// TIDEPOST_INSTALLED_DLL). The add-in is created by its ProgID through CoCreateInstance and
// connected to the fake Outlook; the registered type library is loaded and read; the form
// region manifest and icons are asked for through _FormRegionStartup with a real .ico file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <fstream>

#include "addin/com/addin_interfaces.h"
#include "base/text.h"
#include "fake_accounts.h"
#include "fake_outlook.h"
#include "host/win32/com_ptr.h"
#include "host/win32/outlook/outlook_ids.h"
#include "host/win32/scoped_bstr.h"
#include "host/win32/scoped_variant.h"
#include "host/win32/unique_resource.h"
#include "platform/log.h"
#include "standin/builtin_icon.h"
#include "win32_test_support.h"

namespace tp::testing {
namespace {

using addin::FormRegionStartup;
using addin::IDTExtensibility2;
using host::win32::ComPtr;
using host::win32::ScopedBstr;
using host::win32::ScopedVariant;

constexpr GUID kLibraryId = {
    0x3A9C7E52, 0xD14B, 0x4F6E, {0x8B, 0x07, 0x91, 0xE2, 0xC5, 0xD4, 0xA6, 0xF8}};
constexpr GUID kClsidBriskletItem = {
    0xE5C93B27, 0x8A41, 0x4D6F, {0xB2, 0xE0, 0x6F, 0x1D, 0x4A, 0x9C, 0x3B, 0x75}};
constexpr GUID kClsidFormRegions = {
    0x8E2D4C61, 0x0F3B, 0x47A8, {0xB6, 0xD5, 0x2C, 0x9E, 0x1A, 0x7F, 0x4B, 0x30}};
constexpr GUID kIidBriskletItem = {
    0x91B0AD06, 0x0AD7, 0x4F9C, {0x85, 0x1B, 0x9D, 0x4D, 0xD9, 0x96, 0xBC, 0xC8}};
constexpr GUID kIidFormRegions = {
    0x03BECBD9, 0xB45E, 0x42A7, {0x87, 0x3B, 0xD4, 0xD0, 0x84, 0xC5, 0xAA, 0x37}};

constexpr int kConnectStartup = 1;  // ext_cm_Startup
constexpr int kDisconnectHostShutdown = 0;
constexpr int kIconDefault = 1;  // olFormRegionIconDefault

std::wstring InstalledDll() {
  const char* path = std::getenv("TIDEPOST_INSTALLED_DLL");
  return path != nullptr ? Utf8ToWide(path) : std::wstring();
}

std::wstring IconFolder() {
  return RealDataFolder() + L"provider_icons\\";
}

void WriteFile(const std::wstring& path, const std::string& bytes) {
  ::CreateDirectoryW(RealDataFolder().c_str(), nullptr);
  ::CreateDirectoryW(IconFolder().c_str(), nullptr);
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  out << bytes;
}

class InstalledAddinTest : public ComTest {
 protected:
  void SetUp() override { ASSERT_FALSE(InstalledDll().empty()) << "TIDEPOST_INSTALLED_DLL"; }

  // As Outlook does: the class of the ProgID in its add-in entry, then an in-process object.
  static ComPtr<IDTExtensibility2> CreateByProgId(HRESULT* result) {
    ComPtr<IDTExtensibility2> connect;
    CLSID clsid{};
    *result = ::CLSIDFromProgID(L"TidepostOutlookAddin.Connect", &clsid);
    if (FAILED(*result))
      return connect;
    *result = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, addin::kIidDTExtensibility2,
                                 connect.ReceiveVoid());
    return connect;
  }

  static ComPtr<FormRegionStartup> FormRegions() {
    HRESULT result = E_FAIL;
    ComPtr<IDTExtensibility2> connect = CreateByProgId(&result);
    ComPtr<FormRegionStartup> startup;
    EXPECT_EQ(result, S_OK);
    if (connect) {
      EXPECT_EQ(connect.As(addin::kIidFormRegionStartup, &startup), S_OK);
    }
    return startup;
  }
};

TEST_F(InstalledAddinTest, OutlookCreatesItByProgIdAndConnectsIt) {
  CLSID clsid{};
  ASSERT_EQ(::CLSIDFromProgID(L"TidepostOutlookAddin.Connect", &clsid), S_OK);
  EXPECT_TRUE(IsEqualCLSID(clsid, addin::kClsidConnect));
  ASSERT_EQ(::CLSIDFromProgID(L"TidepostOutlookAddin.Connect.1", &clsid), S_OK);
  EXPECT_TRUE(IsEqualCLSID(clsid, addin::kClsidConnect));
  host::win32::UniqueCoTaskString progId;
  ASSERT_EQ(::ProgIDFromCLSID(addin::kClsidConnect, progId.Receive()), S_OK);
  EXPECT_EQ(std::wstring(progId.get()), L"TidepostOutlookAddin.Connect.1");
  ComPtr<IUnknown> none;
  EXPECT_EQ(::CoCreateInstance(kClsidBriskletItem, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               none.ReceiveVoid()),
            REGDB_E_CLASSNOTREG)
      << "BriskletItem objects are the add-in's own";

  TestWindow window;
  std::shared_ptr<AccountManagerRecord> accounts = std::make_shared<AccountManagerRecord>();
  ComPtr<FakeAccountManagerFactory> factory = FakeAccountManagerFactory::Create(accounts);
  DWORD cookie = 0;
  ASSERT_EQ(::CoRegisterClassObject(host::win32::kClsidOlkAccountManager,
                                    static_cast<IClassFactory*>(factory.get()),
                                    CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie),
            S_OK);
  {
    FakeOutlook outlook(window.handle());
    HRESULT created = E_FAIL;
    ComPtr<IDTExtensibility2> connect = CreateByProgId(&created);
    ASSERT_EQ(created, S_OK);
    ASSERT_TRUE(connect);
    EXPECT_EQ(
        connect->OnConnection(outlook.ApplicationArgument(), kConnectStartup, nullptr, nullptr),
        S_OK);
    EXPECT_EQ(outlook.AdvisedSinks(), 3u);
    outlook.applicationEvents().Fire(0xFAB5, {StringVariant(L"AAA1")});
    EXPECT_EQ(connect->OnDisconnection(kDisconnectHostShutdown, nullptr), S_OK);
    EXPECT_EQ(outlook.AdvisedSinks(), 0u);
    window.Destroy();  // its timers point into the DLL
  }
  ::CoRevokeClassObject(cookie);
  const std::vector<std::wstring> log = ReadLogMessages(RealDataFolder() + kLogFileName);
  EXPECT_GT(CountMessage(log, L"In OnConnection"), 0);
  EXPECT_GT(CountMessage(log,
                         L"Adding ID AAA1 (obtained from NewMailEx event) to scan in "
                         L"background thread"),
            0);
}

TEST_F(InstalledAddinTest, TheRegisteredTypeLibraryDescribesTheLibrary) {
  ScopedBstr path;
  ASSERT_EQ(::QueryPathOfRegTypeLib(kLibraryId, 1, 0, 0, path.Receive()), S_OK);
  EXPECT_TRUE(EqualsIgnoreCase(ScopedBstr::ToWide(path.get()), InstalledDll()));
  ComPtr<ITypeLib> library;
  ASSERT_EQ(::LoadRegTypeLib(kLibraryId, 1, 0, 0, library.Receive()), S_OK);

  ScopedBstr name;
  ASSERT_EQ(library->GetDocumentation(-1, name.Receive(), nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(ScopedBstr::ToWide(name.get()), L"BriskletOutlookAddinLib");
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->wMajorVerNum, 1);
  EXPECT_EQ(attributes->wMinorVerNum, 0);
  EXPECT_EQ(attributes->syskind, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
  library->ReleaseTLibAttr(attributes);

  const struct {
    const GUID* guid;
    const wchar_t* name;
    TYPEKIND kind;
  } types[] = {
      {&addin::kClsidConnect, L"Connect", TKIND_COCLASS},
      {&kClsidBriskletItem, L"BriskletItem", TKIND_COCLASS},
      {&kClsidFormRegions, L"APFormRegions", TKIND_COCLASS},
      {&addin::kIidConnect, L"IConnect", TKIND_DISPATCH},
      {&kIidBriskletItem, L"IBriskletItem", TKIND_DISPATCH},
      {&kIidFormRegions, L"IFormRegions", TKIND_DISPATCH},
  };
  for (const auto& expected : types) {
    SCOPED_TRACE(expected.name);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(library->GetTypeInfoOfGuid(*expected.guid, info.Receive()), S_OK);
    ScopedBstr typeName;
    ASSERT_EQ(info->GetDocumentation(MEMBERID_NIL, typeName.Receive(), nullptr, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(ScopedBstr::ToWide(typeName.get()), expected.name);
    TYPEATTR* type = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&type), S_OK);
    EXPECT_EQ(type->typekind, expected.kind);
    if (expected.kind == TKIND_DISPATCH) {
      EXPECT_NE(type->wTypeFlags & TYPEFLAG_FDUAL, 0);
    }
    info->ReleaseTypeAttr(type);
  }

  // The interfaces' own methods, in their vtable form, with their parameters.
  const struct {
    const GUID* iid;
    std::vector<std::vector<std::wstring>> methods;  // name, then the parameters
  } interfaces[] = {
      {&addin::kIidConnect, {}},
      {&kIidBriskletItem, {}},
      {&kIidFormRegions,
       {{L"Initialize", L"szFormRegionName"},
        {L"GetManifest", L"pManifest"},
        {L"Show", L"pFormRegion"},
        {L"GetIcon", L"IconType", L"pResult"}}},
  };
  for (const auto& expected : interfaces) {
    ComPtr<ITypeInfo> dispatch;
    ASSERT_EQ(library->GetTypeInfoOfGuid(*expected.iid, dispatch.Receive()), S_OK);
    HREFTYPE vtableType = 0;
    ASSERT_EQ(dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtableType), S_OK);
    ComPtr<ITypeInfo> vtable;
    ASSERT_EQ(dispatch->GetRefTypeInfo(vtableType, vtable.Receive()), S_OK);
    TYPEATTR* type = nullptr;
    ASSERT_EQ(vtable->GetTypeAttr(&type), S_OK);
    EXPECT_EQ(type->typekind, TKIND_INTERFACE);
    const UINT count = type->cFuncs;
    vtable->ReleaseTypeAttr(type);
    std::vector<std::vector<std::wstring>> methods;
    for (UINT index = 0; index < count; ++index) {
      FUNCDESC* function = nullptr;
      ASSERT_EQ(vtable->GetFuncDesc(index, &function), S_OK);
      BSTR names[4] = {};
      UINT named = 0;
      EXPECT_EQ(vtable->GetNames(function->memid, names, 4, &named), S_OK);
      std::vector<std::wstring> method;
      for (UINT i = 0; i < named; ++i) {
        method.push_back(ScopedBstr::ToWide(names[i]));
        ::SysFreeString(names[i]);
      }
      methods.push_back(method);
      vtable->ReleaseFuncDesc(function);
    }
    EXPECT_EQ(methods, expected.methods);
  }
}

TEST_F(InstalledAddinTest, OutlookGetsTheManifestThroughFormRegionStartup) {
  ComPtr<FormRegionStartup> startup = FormRegions();
  ASSERT_TRUE(startup);
  ScopedBstr name(L"SMIME.Tidepost.Acme.SMIME");
  ScopedVariant manifest;
  ASSERT_EQ(startup->GetFormRegionManifest(name.get(), 1033, manifest.Receive()), S_OK);
  ASSERT_EQ(manifest.type(), VT_BSTR);
  const std::wstring text = ScopedBstr::ToWide(manifest.get().bstrVal);
  EXPECT_EQ(text.find(L"<?xml version=\"1.0\" encoding=\"utf-8\" ?><FormRegion xmlns=\"http://"
                      L"schemas.microsoft.com/office/outlook/12/formregion.xsd\"><name>"
                      L"SMIME.Tidepost.Acme.SMIME</name>"),
            0u);
  EXPECT_NE(text.find(L"<page>addin</page></icons></FormRegion>"), std::wstring::npos);
  EXPECT_EQ(startup->GetFormRegionManifest(name.get(), 1033, nullptr), E_INVALIDARG);

  ScopedVariant storage;
  EXPECT_EQ(startup->GetFormRegionStorage(name.get(), nullptr, 1033, 0, 0, storage.Receive()),
            E_NOTIMPL);
  EXPECT_EQ(storage.type(), VT_EMPTY);
  EXPECT_EQ(startup->BeforeFormRegionShow(nullptr), E_NOTIMPL);

  // Late bound, with Outlook's DISPIDs: GetFormRegionManifest(FormRegionName, LCID).
  VARIANT arguments[2];
  arguments[0].vt = VT_I4;
  arguments[0].lVal = 1033;
  arguments[1] = StringVariant(L"Tidepost.Kestrel");
  DISPPARAMS parameters{arguments, nullptr, 2, 0};
  ScopedVariant result;
  ASSERT_EQ(startup->Invoke(addin::kDispidGetFormRegionManifest, IID_NULL, 1033, DISPATCH_METHOD,
                            &parameters, result.Receive(), nullptr, nullptr),
            S_OK);
  ::VariantClear(&arguments[1]);
  ASSERT_EQ(result.type(), VT_BSTR);
  EXPECT_NE(ScopedBstr::ToWide(result.get().bstrVal).find(L"<name>Tidepost.Kestrel</name>"),
            std::wstring::npos);
}

TEST_F(InstalledAddinTest, OutlookGetsTheSendersIconThroughFormRegionStartup) {
  ComPtr<FormRegionStartup> startup = FormRegions();
  ASSERT_TRUE(startup);
  WriteFile(IconFolder() + L"Acme.ico", standin::BuiltinIcon("Acme"));
  ::DeleteFileW((IconFolder() + L"Kestrel.ico").c_str());
  // A file outside the icon folder that a path in the name would reach.
  WriteFile(RealDataFolder() + L"evil.ico", standin::BuiltinIcon("evil"));

  for (const wchar_t* region : {L"Tidepost.Acme", L"SMIME.Tidepost.Acme.SMIME",
                                L"SMIME.MultipartSigned.Tidepost.Acme.SMIME.MultipartSigned"}) {
    SCOPED_TRACE(region);
    ScopedBstr name(region);
    ScopedVariant icon;
    ASSERT_EQ(startup->GetFormRegionIcon(name.get(), 1033, kIconDefault, icon.Receive()), S_OK);
    ASSERT_EQ(icon.type(), VT_DISPATCH);
    ComPtr<IPicture> picture;
    ASSERT_EQ(icon.get().pdispVal->QueryInterface(IID_IPicture, picture.ReceiveVoid()), S_OK);
    SHORT type = PICTYPE_UNINITIALIZED;
    EXPECT_EQ(picture->get_Type(&type), S_OK);
    EXPECT_EQ(type, PICTYPE_ICON);
    OLE_HANDLE handle = 0;
    EXPECT_EQ(picture->get_Handle(&handle), S_OK);
    EXPECT_NE(handle, 0u);
    OLE_XSIZE_HIMETRIC width = 0;
    EXPECT_EQ(picture->get_Width(&width), S_OK);
    EXPECT_EQ(width, ::MulDiv(16, 2540, 96)) << "16 pixels, in hundredths of a millimetre";
  }

  // No picture: the result stays as it was.
  for (const wchar_t* region : {L"Tidepost.Kestrel", L"Tidepost.x\\..\\..\\evil", L"Tidepost."}) {
    SCOPED_TRACE(region);
    ScopedBstr name(region);
    VARIANT untouched;
    untouched.vt = VT_I4;
    untouched.lVal = 42;
    EXPECT_EQ(startup->GetFormRegionIcon(name.get(), 1033, kIconDefault, &untouched), S_OK);
    EXPECT_EQ(untouched.vt, VT_I4);
    EXPECT_EQ(untouched.lVal, 42);
  }
  ScopedBstr acme(L"Tidepost.Acme");
  EXPECT_EQ(startup->GetFormRegionIcon(acme.get(), 1033, kIconDefault, nullptr), E_POINTER);
  ScopedBstr kestrel(L"Tidepost.Kestrel");
  EXPECT_EQ(startup->GetFormRegionIcon(kestrel.get(), 1033, kIconDefault, nullptr), S_OK);

  // A file that is not an icon gives none; the icon that replaces it is shown at once.
  WriteFile(IconFolder() + L"Kestrel.ico", "<html>not found</html>");
  ScopedVariant before;
  EXPECT_EQ(startup->GetFormRegionIcon(kestrel.get(), 1033, kIconDefault, before.Receive()), S_OK);
  EXPECT_EQ(before.type(), VT_EMPTY);
  WriteFile(IconFolder() + L"Kestrel.ico", standin::BuiltinIcon("Kestrel"));
  ScopedVariant after;
  EXPECT_EQ(startup->GetFormRegionIcon(kestrel.get(), 1033, kIconDefault, after.Receive()), S_OK);
  EXPECT_EQ(after.type(), VT_DISPATCH);

  // Late bound: GetFormRegionIcon(FormRegionName, LCID, Icon).
  VARIANT arguments[3];
  arguments[0].vt = VT_I4;
  arguments[0].lVal = kIconDefault;
  arguments[1].vt = VT_I4;
  arguments[1].lVal = 1033;
  arguments[2] = StringVariant(L"Tidepost.Acme");
  DISPPARAMS parameters{arguments, nullptr, 3, 0};
  ScopedVariant result;
  ASSERT_EQ(startup->Invoke(addin::kDispidGetFormRegionIcon, IID_NULL, 1033, DISPATCH_METHOD,
                            &parameters, result.Receive(), nullptr, nullptr),
            S_OK);
  ::VariantClear(&arguments[2]);
  EXPECT_EQ(result.type(), VT_DISPATCH);
}

}  // namespace
}  // namespace tp::testing
