// An owned handle that is closed at the end of its scope, one traits class per kind of handle
// (kernel objects, files, registry keys, find handles, modules, COM task memory). Closing keeps
// the caller's GetLastError intact, so a failure can still be read after the cleanup.
#pragma once

#include <utility>

#include "host/win32/win32_api.h"

namespace tp::host::win32 {

// Traits: `Handle`, `static Handle Invalid()`, `static bool IsValid(Handle)`,
// `static void Close(Handle)`.
template <class Traits>
class UniqueResource {
 public:
  using Handle = typename Traits::Handle;

  UniqueResource() noexcept : m_handle(Traits::Invalid()) {}
  explicit UniqueResource(Handle handle) noexcept : m_handle(handle) {}
  ~UniqueResource() { Close(); }

  UniqueResource(UniqueResource&& other) noexcept : m_handle(other.Take()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other)
      Reset(other.Take());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;

  Handle get() const noexcept { return m_handle; }
  bool valid() const noexcept { return Traits::IsValid(m_handle); }
  explicit operator bool() const noexcept { return valid(); }

  // Closes the current handle and gives the address to receive a new one (out parameters).
  Handle* Receive() noexcept {
    Close();
    m_handle = Traits::Invalid();
    return &m_handle;
  }

  void Reset(Handle handle = Traits::Invalid()) noexcept {
    if (handle == m_handle)
      return;
    Close();
    m_handle = handle;
  }

  // Gives up ownership without closing.
  [[nodiscard]] Handle Take() noexcept { return std::exchange(m_handle, Traits::Invalid()); }

 private:
  void Close() noexcept {
    if (!Traits::IsValid(m_handle))
      return;
    const DWORD error = ::GetLastError();
    Traits::Close(m_handle);
    ::SetLastError(error);
  }

  Handle m_handle;
};

// Events, threads and other kernel objects (null when absent).
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { ::CloseHandle(handle); }
};
using UniqueHandle = UniqueResource<KernelHandleTraits>;

// CreateFileW's handles (INVALID_HANDLE_VALUE when absent).
struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { ::CloseHandle(handle); }
};
using UniqueFile = UniqueResource<FileHandleTraits>;

struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { ::FindClose(handle); }
};
using UniqueFind = UniqueResource<FindHandleTraits>;

// Registry keys; the predefined roots are never owned.
struct RegKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle key) { return key != nullptr; }
  static void Close(Handle key) { ::RegCloseKey(key); }
};
using UniqueRegKey = UniqueResource<RegKeyTraits>;

// A reference on a module (LoadLibraryW, or GetModuleHandleExW without UNCHANGED_REFCOUNT).
struct ModuleTraits {
  using Handle = HMODULE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle module) { return module != nullptr; }
  static void Close(Handle module) { ::FreeLibrary(module); }
};
using UniqueModule = UniqueResource<ModuleTraits>;

// Text that a shell or COM function allocated with the COM task allocator.
struct CoTaskStringTraits {
  using Handle = wchar_t*;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle text) { return text != nullptr; }
  static void Close(Handle text) { ::CoTaskMemFree(text); }
};
using UniqueCoTaskString = UniqueResource<CoTaskStringTraits>;

}  // namespace tp::host::win32
