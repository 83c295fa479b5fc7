// The real registry.
#include "host/win32/win32_registry.h"

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

class Win32Key final : public RegistryKey {
 public:
  // A predefined root, which is never closed.
  explicit Win32Key(HKEY root) : key_(root) {}
  explicit Win32Key(UniqueRegKey owned) : key_(owned.get()), owned_(std::move(owned)) {}

  RegStatus OpenSubKey(const std::wstring& path, RegAccess access,
                       std::unique_ptr<RegistryKey>* key) override {
    UniqueRegKey opened;
    const LSTATUS status = ::RegOpenKeyExW(key_, path.c_str(), 0, Sam(access), opened.Receive());
    if (status != ERROR_SUCCESS)
      return status;
    *key = std::make_unique<Win32Key>(std::move(opened));
    return kRegOk;
  }

  RegStatus CreateSubKey(const std::wstring& path, RegAccess access,
                         std::unique_ptr<RegistryKey>* key) override {
    UniqueRegKey created;
    const LSTATUS status =
        ::RegCreateKeyExW(key_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, Sam(access),
                          nullptr, created.Receive(), nullptr);
    if (status != ERROR_SUCCESS)
      return status;
    *key = std::make_unique<Win32Key>(std::move(created));
    return kRegOk;
  }

  RegStatus QueryValue(const std::wstring& name, RegValue* value) override {
    // The value may grow between asking for its size and reading it: ask again then.
    for (;;) {
      DWORD type = REG_NONE;
      DWORD size = 0;
      LSTATUS status = ::RegQueryValueExW(key_, name.c_str(), nullptr, &type, nullptr, &size);
      if (status != ERROR_SUCCESS)
        return status;
      std::string data(size, '\0');
      status = ::RegQueryValueExW(key_, name.c_str(), nullptr, &type,
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
    return ::RegSetValueExW(key_, name.c_str(), 0, static_cast<DWORD>(value.type),
                            reinterpret_cast<const BYTE*>(value.data.data()),
                            static_cast<DWORD>(value.data.size()));
  }

  RegStatus DeleteValue(const std::wstring& name) override {
    return ::RegDeleteValueW(key_, name.c_str());
  }

  RegStatus EnumSubKey(uint32_t index, std::wstring* name) override {
    // Key names are at most 255 characters.
    std::vector<wchar_t> buffer(256);
    DWORD length = static_cast<DWORD>(buffer.size());
    const LSTATUS status =
        ::RegEnumKeyExW(key_, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS)
      return status;
    name->assign(buffer.data(), length);
    return kRegOk;
  }

  RegStatus DeleteTree(const std::wstring& path) override {
    // RegDeleteTreeW with an empty path would empty this key rather than remove a subkey.
    if (path.empty())
      return ERROR_INVALID_PARAMETER;
    return ::RegDeleteTreeW(key_, path.c_str());
  }

 private:
  HKEY key_;
  UniqueRegKey owned_;
};

}  // namespace

Win32Registry::Win32Registry() {
  roots_[static_cast<int>(RegRoot::kLocalMachine)] = std::make_unique<Win32Key>(HKEY_LOCAL_MACHINE);
  roots_[static_cast<int>(RegRoot::kCurrentUser)] = std::make_unique<Win32Key>(HKEY_CURRENT_USER);
  roots_[static_cast<int>(RegRoot::kClassesRoot)] = std::make_unique<Win32Key>(HKEY_CLASSES_ROOT);
}

Win32Registry::~Win32Registry() = default;

RegistryKey& Win32Registry::Root(RegRoot root) {
  return *roots_[static_cast<int>(root)];
}

}  // namespace tp::host::win32
