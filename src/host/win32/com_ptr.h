// A counted reference to a COM interface: AddRef on copy, Release at the end of its scope.
#pragma once

#include <type_traits>
#include <utility>

#include "host/win32/win32_api.h"

namespace tp::host::win32 {

template <class T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ComPtr(std::nullptr_t) noexcept {}  // NOLINT: a null pointer converts implicitly
  // Takes a new reference on `pointer`.
  explicit ComPtr(T* pointer) noexcept : m_pointer(pointer) { AddRef(); }
  ComPtr(const ComPtr& other) noexcept : m_pointer(other.m_pointer) { AddRef(); }
  ComPtr(ComPtr&& other) noexcept : m_pointer(std::exchange(other.m_pointer, nullptr)) {}
  // From a pointer to a class that derives from T (a COM class to one of its interfaces).
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  ComPtr(const ComPtr<U>& other) noexcept : m_pointer(other.get()) {  // NOLINT: implicit
    AddRef();
  }
  ~ComPtr() { Release(); }

  ComPtr& operator=(const ComPtr& other) noexcept {
    ComPtr(other).Swap(*this);
    return *this;
  }
  ComPtr& operator=(ComPtr&& other) noexcept {
    ComPtr(std::move(other)).Swap(*this);
    return *this;
  }
  ComPtr& operator=(std::nullptr_t) noexcept {
    Reset();
    return *this;
  }

  // Adopts a reference the caller already owns (no AddRef).
  static ComPtr Adopt(T* pointer) noexcept {
    ComPtr result;
    result.m_pointer = pointer;
    return result;
  }

  T* get() const noexcept { return m_pointer; }
  T* operator->() const noexcept { return m_pointer; }
  explicit operator bool() const noexcept { return m_pointer != nullptr; }

  // Releases the current reference and gives the address to receive a new one.
  T** Receive() noexcept {
    Reset();
    return &m_pointer;
  }
  void** ReceiveVoid() noexcept { return reinterpret_cast<void**>(Receive()); }

  void Reset() noexcept {
    Release();
    m_pointer = nullptr;
  }

  // Hands the reference to the caller (an out parameter of a COM method).
  [[nodiscard]] T* Detach() noexcept { return std::exchange(m_pointer, nullptr); }

  // QueryInterface into another smart pointer.
  template <class U>
  HRESULT As(REFIID iid, ComPtr<U>* result) const noexcept {
    if (m_pointer == nullptr)
      return E_POINTER;
    return m_pointer->QueryInterface(iid, result->ReceiveVoid());
  }

  void Swap(ComPtr& other) noexcept { std::swap(m_pointer, other.m_pointer); }

 private:
  void AddRef() noexcept {
    if (m_pointer != nullptr)
      m_pointer->AddRef();
  }
  void Release() noexcept {
    if (m_pointer != nullptr)
      m_pointer->Release();
  }

  T* m_pointer = nullptr;
};

// The same COM object: their IUnknown pointers are equal.
bool SameObject(IUnknown* a, IUnknown* b);

}  // namespace tp::host::win32
