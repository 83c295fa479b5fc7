// Registry port: keys under the three predefined roots, values as Win32 stores them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tp::host {

// Win32 error codes, as RegOpenKeyExW and friends return them.
using RegStatus = int32_t;
constexpr RegStatus kRegOk = 0;
constexpr RegStatus kRegNotFound = 2;       // ERROR_FILE_NOT_FOUND
constexpr RegStatus kRegAccessDenied = 5;   // ERROR_ACCESS_DENIED
constexpr RegStatus kRegMoreData = 234;     // ERROR_MORE_DATA
constexpr RegStatus kRegNoMoreItems = 259;  // ERROR_NO_MORE_ITEMS

enum class RegRoot { kLocalMachine, kCurrentUser, kClassesRoot };
// The two views of the registry on 64-bit Windows: the keys that Windows redirects
// (registry_views.h) exist once for 64-bit and once for 32-bit programs.
enum class RegView { k64, k32 };
enum class RegAccess { kRead, kWrite, kReadWrite };

enum class RegType : uint32_t {
  kNone = 0,
  kString = 1,
  kExpandString = 2,
  kBinary = 3,
  kDword = 4
};

struct RegValue {
  RegType type = RegType::kNone;
  std::string data;  // raw bytes: REG_SZ is UTF-16LE with its terminating zero
};

class RegistryKey {
 public:
  virtual ~RegistryKey() = default;  // closes the key
  virtual RegStatus OpenSubKey(const std::wstring& path, RegAccess access,
                               std::unique_ptr<RegistryKey>* key) = 0;
  // Opens the key, creating it and any missing parents.
  virtual RegStatus CreateSubKey(const std::wstring& path, RegAccess access,
                                 std::unique_ptr<RegistryKey>* key) = 0;
  virtual RegStatus QueryValue(const std::wstring& name, RegValue* value) = 0;
  virtual RegStatus SetValue(const std::wstring& name, const RegValue& value) = 0;
  virtual RegStatus DeleteValue(const std::wstring& name) = 0;
  // Name of the index-th direct subkey; kRegNoMoreItems past the last.
  virtual RegStatus EnumSubKey(uint32_t index, std::wstring* name) = 0;
  // Deletes a direct or deeper subkey with everything below it.
  virtual RegStatus DeleteTree(const std::wstring& path) = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;
  // The predefined key of a root in this program's own view; it lives as long as the
  // registry.
  virtual RegistryKey& Root(RegRoot root) = 0;
  // The view that Root shows.
  virtual RegView OwnView() const = 0;
  // The predefined key of a root in the given view. Where the registry has one view only
  // (32-bit Windows, posix), both are that one.
  virtual RegistryKey& ViewRoot(RegRoot root, RegView view) = 0;
};

}  // namespace tp::host
