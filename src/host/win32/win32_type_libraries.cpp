// Registering the module's type library.
#include "host/win32/win32_type_libraries.h"

#include "host/win32/com_ptr.h"
#include "host/win32/scoped_bstr.h"

namespace tp::host::win32 {
namespace {

using RegisterForUser = HRESULT(WINAPI*)(ITypeLib* library, OLECHAR* path, OLECHAR* helpFolder);
using UnregisterForUser = HRESULT(WINAPI*)(REFGUID library, WORD major, WORD minor, LCID locale,
                                           SYSKIND system);

template <class Function>
Function OleAutomationFunction(const char* name) {
  const HMODULE oleAutomation = ::GetModuleHandleW(L"oleaut32.dll");
  if (oleAutomation == nullptr)
    return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(oleAutomation, name)));
}

// The identity of a library as its registration is keyed.
struct LibraryIdentity {
  GUID guid;
  WORD major;
  WORD minor;
  LCID locale;
  SYSKIND system;
};

HRESULT IdentityOf(ITypeLib& library, LibraryIdentity* identity) {
  TLIBATTR* attributes = nullptr;
  const HRESULT result = library.GetLibAttr(&attributes);
  if (FAILED(result))
    return result;
  *identity = LibraryIdentity{attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                              attributes->lcid, attributes->syskind};
  library.ReleaseTLibAttr(attributes);
  return S_OK;
}

bool IsRegistered(const LibraryIdentity& identity) {
  ScopedBstr path;
  return SUCCEEDED(::QueryPathOfRegTypeLib(identity.guid, identity.major, identity.minor,
                                           identity.locale, path.Receive()));
}

}  // namespace

HResult Win32TypeLibraries::Register(const std::wstring& modulePath, bool forUser) {
  ComPtr<ITypeLib> library;
  const HRESULT loaded = ::LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, library.Receive());
  if (FAILED(loaded))
    return ToHResult(loaded);
  std::wstring path = modulePath;  // the per-user form takes a writable string
  if (forUser) {
    if (const auto registerForUser =
            OleAutomationFunction<RegisterForUser>("RegisterTypeLibForUser"))
      return ToHResult(registerForUser(library.get(), path.data(), nullptr));
  }
  return ToHResult(::RegisterTypeLib(library.get(), path.data(), nullptr));
}

HResult Win32TypeLibraries::Unregister(const std::wstring& modulePath, bool forUser) {
  ComPtr<ITypeLib> library;
  const HRESULT loaded = ::LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, library.Receive());
  if (FAILED(loaded))
    return ToHResult(loaded);
  LibraryIdentity identity{};
  const HRESULT read = IdentityOf(*library.get(), &identity);
  if (FAILED(read))
    return ToHResult(read);
  if (!IsRegistered(identity))
    return hr::kOk;
  if (forUser) {
    if (const auto unregisterForUser =
            OleAutomationFunction<UnregisterForUser>("UnRegisterTypeLibForUser")) {
      return ToHResult(unregisterForUser(identity.guid, identity.major, identity.minor,
                                         identity.locale, identity.system));
    }
  }
  return ToHResult(::UnRegisterTypeLib(identity.guid, identity.major, identity.minor,
                                       identity.locale, identity.system));
}

}  // namespace tp::host::win32
