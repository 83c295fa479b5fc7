// The add-in DLL's registration entry points, which installers call (regsvr32 among them):
// DllRegisterServer, DllUnregisterServer and DllInstall.
#include <new>
#include <optional>
#include <string>

#include "addin/com/windows_host.h"
#include "addin/server_registration.h"
#include "host/win32/module_instance.h"

namespace {

// Registration runs with the system's default locale as the thread's, so that the type
// library is registered alike whatever the installing user's locale.
class SystemThreadLocale {
 public:
  SystemThreadLocale() : m_previous(::GetThreadLocale()) {
    ::SetThreadLocale(LOCALE_SYSTEM_DEFAULT);
  }
  ~SystemThreadLocale() { ::SetThreadLocale(m_previous); }
  SystemThreadLocale(const SystemThreadLocale&) = delete;
  SystemThreadLocale& operator=(const SystemThreadLocale&) = delete;

 private:
  LCID m_previous;
};

// Runs a registration operation with the module's full path.
template <class Operation>
HRESULT RunRegistration(const Operation& operation) {
  try {
    tp::addin::InstallWindowsHost();
    const std::optional<std::wstring> path =
        tp::host::win32::ModuleFileName(tp::host::win32::ModuleInstance());
    if (!path) {
      const DWORD error = ::GetLastError();
      return error != 0 ? HRESULT_FROM_WIN32(error) : E_FAIL;
    }
    const SystemThreadLocale locale;
    return operation(*path);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

}  // namespace

STDAPI DllRegisterServer() {
  return RunRegistration([](const std::wstring& path) {
    return tp::RegisterServer(path, tp::RegistrationScope::kMachine);
  });
}

STDAPI DllUnregisterServer() {
  return RunRegistration([](const std::wstring& path) {
    return tp::UnregisterServer(path, tp::RegistrationScope::kMachine);
  });
}

// "user" as the command line (regsvr32 /i:user) registers for the current user only.
STDAPI DllInstall(BOOL install, LPCWSTR commandLine) {
  return RunRegistration([&](const std::wstring& path) {
    const std::optional<std::wstring_view> command =
        commandLine != nullptr ? std::optional<std::wstring_view>(commandLine) : std::nullopt;
    return tp::InstallServer(install != FALSE, path, tp::ScopeOfInstallCommand(command));
  });
}
