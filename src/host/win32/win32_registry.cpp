// The real registry.
#include "host/win32/win32_registry.h"

#include <utility>
#include <vector>

#include "host/win32/unique_resource.h"

namespace tp::host::win32 {
namespace {

REGSAM Sam(RegAccess access) {
  switch (access) {
    case RegAccess::kRead:
      return KEY_READ;
    case RegAccess::kWrite:
      return KEY_WRITE;
    case RegAccess::kReadWrite:
      return KEY_READ | KEY_WRITE;
  }
  return KEY_READ;
}

// The DELETE access right (win32_api.h takes the macro away).
constexpr REGSAM kDeleteAccess = 0x00010000;

// This program's own view of the registry, and the access flag that reaches the other one.
constexpr RegView kOwnView = sizeof(void*) == 8 ? RegView::k64 : RegView::k32;

REGSAM ViewFlag(RegView view) {
  if (view == kOwnView)
    return 0;
  return view == RegView::k64 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
}

// A key in one view: `viewFlag` (0 for the program's own view) goes with every key opened or
// created through it, as WOW64 asks.
class Win32Key final : public RegistryKey {
 public:
  // A predefined root, which is never closed.
  Win32Key(HKEY root, REGSAM viewFlag) : m_key(root), m_viewFlag(viewFlag) {}
  Win32Key(UniqueRegKey owned, REGSAM viewFlag)
      : m_key(owned.get()), m_owned(std::move(owned)), m_viewFlag(viewFlag) {}

  RegStatus OpenSubKey(const std::wstring& path, RegAccess access,
                       std::unique_ptr<RegistryKey>* key) override {
    UniqueRegKey opened;
    const LSTATUS status =
        ::RegOpenKeyExW(m_key, path.c_str(), 0, Sam(access) | m_viewFlag, opened.Receive());
    if (status != ERROR_SUCCESS)
      return status;
    *key = std::make_unique<Win32Key>(std::move(opened), m_viewFlag);
    return kRegOk;
  }

  RegStatus CreateSubKey(const std::wstring& path, RegAccess access,
                         std::unique_ptr<RegistryKey>* key) override {
    UniqueRegKey created;
    const LSTATUS status =
        ::RegCreateKeyExW(m_key, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          Sam(access) | m_viewFlag, nullptr, created.Receive(), nullptr);
    if (status != ERROR_SUCCESS)
      return status;
    *key = std::make_unique<Win32Key>(std::move(created), m_viewFlag);
    return kRegOk;
  }

  RegStatus QueryValue(const std::wstring& name, RegValue* value) override {
    // The value may grow between asking for its size and reading it: ask again then.
    for (;;) {
      DWORD type = REG_NONE;
      DWORD size = 0;
      LSTATUS status = ::RegQueryValueExW(m_key, name.c_str(), nullptr, &type, nullptr, &size);
      if (status != ERROR_SUCCESS)
        return status;
      std::string data(size, '\0');
      status = ::RegQueryValueExW(m_key, name.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(data.data()), &size);
      if (status == ERROR_MORE_DATA)
        continue;
      if (status != ERROR_SUCCESS)
        return status;
      data.resize(size);
      value->type = static_cast<RegType>(type);
      value->data = std::move(data);
      return kRegOk;
    }
  }

  RegStatus SetValue(const std::wstring& name, const RegValue& value) override {
    return ::RegSetValueExW(m_key, name.c_str(), 0, static_cast<DWORD>(value.type),
                            reinterpret_cast<const BYTE*>(value.data.data()),
                            static_cast<DWORD>(value.data.size()));
  }

  RegStatus DeleteValue(const std::wstring& name) override {
    return ::RegDeleteValueW(m_key, name.c_str());
  }

  RegStatus EnumSubKey(uint32_t index, std::wstring* name) override {
    // Key names are at most 255 characters.
    std::vector<wchar_t> buffer(256);
    DWORD length = static_cast<DWORD>(buffer.size());
    const LSTATUS status =
        ::RegEnumKeyExW(m_key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS)
      return status;
    name->assign(buffer.data(), length);
    return kRegOk;
  }

  RegStatus DeleteTree(const std::wstring& path) override {
    // RegDeleteTreeW with an empty path would empty this key rather than remove a subkey.
    if (path.empty())
      return ERROR_INVALID_PARAMETER;
    if (m_viewFlag == 0)
      return ::RegDeleteTreeW(m_key, path.c_str());
    // In the other view: empty the key as opened there, then delete it there.
    UniqueRegKey doomed;
    LSTATUS status = ::RegOpenKeyExW(
        m_key, path.c_str(), 0,
        kDeleteAccess | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE | m_viewFlag,
        doomed.Receive());
    if (status != ERROR_SUCCESS)
      return status;
    status = ::RegDeleteTreeW(doomed.get(), nullptr);
    if (status != ERROR_SUCCESS)
      return status;
    return ::RegDeleteKeyExW(m_key, path.c_str(), m_viewFlag, 0);
  }

 private:
  HKEY m_key;
  UniqueRegKey m_owned;
  REGSAM m_viewFlag;
};

}  // namespace

Win32Registry::Win32Registry() {
  const std::pair<RegRoot, HKEY> roots[] = {{RegRoot::kLocalMachine, HKEY_LOCAL_MACHINE},
                                            {RegRoot::kCurrentUser, HKEY_CURRENT_USER},
                                            {RegRoot::kClassesRoot, HKEY_CLASSES_ROOT}};
  for (const auto& [root, handle] : roots) {
    for (RegView view : {RegView::k64, RegView::k32}) {
      m_roots[static_cast<int>(view)][static_cast<int>(root)] =
          std::make_unique<Win32Key>(handle, ViewFlag(view));
    }
  }
}

Win32Registry::~Win32Registry() = default;

RegistryKey& Win32Registry::Root(RegRoot root) {
  return ViewRoot(root, kOwnView);
}

RegView Win32Registry::OwnView() const {
  return kOwnView;
}

RegistryKey& Win32Registry::ViewRoot(RegRoot root, RegView view) {
  return *m_roots[static_cast<int>(view)][static_cast<int>(root)];
}

}  // namespace tp::host::win32
