// An Outlook object reached through IDispatch by member name. The DISPID of a member is asked
// for once per member name and kind of object and then kept, so that every Outlook version,
// and a test's fake objects, answer with their own ids.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>

#include "host/win32/com_ptr.h"
#include "host/win32/scoped_variant.h"

namespace tp::host::win32 {

enum class OutlookKind {
  kApplication,
  kInspectors,
  kNamespace,
  kExplorer,
  kInspector,
  kSelection,
  kItem,
  kMailItem,
  kAttachments,
  kAttachment,
  kAccount,
  kFolder,
  kStore,
  kTable,
  kColumns,
  kRow,
};

class DispatchObject {
 public:
  DispatchObject() = default;
  DispatchObject(ComPtr<IDispatch> object, OutlookKind kind)
      : m_object(std::move(object)), m_kind(kind) {}

  IDispatch* get() const { return m_object.get(); }
  const ComPtr<IDispatch>& pointer() const { return m_object; }
  explicit operator bool() const { return static_cast<bool>(m_object); }

  // Reads a property or calls a method (DISPATCH_METHOD | DISPATCH_PROPERTYGET, as late-bound
  // callers do); `arguments` in declaration order.
  HRESULT Call(const wchar_t* member, std::initializer_list<const VARIANT*> arguments,
               ScopedVariant* result) const;

  // Typed reads; a failed call or a value that does not convert gives the empty value.
  std::wstring String(const wchar_t* member) const;
  std::optional<int32_t> Int(const wchar_t* member) const;
  bool Bool(const wchar_t* member) const;
  DispatchObject Object(const wchar_t* member, OutlookKind kind,
                        std::initializer_list<const VARIANT*> arguments = {}) const;
  ComPtr<IUnknown> Unknown(const wchar_t* member) const;

 private:
  ComPtr<IDispatch> m_object;
  OutlookKind m_kind = OutlookKind::kItem;
};

// The window of an object that answers IOleWindow; 0 when it does not.
uintptr_t OleWindowOf(IUnknown* object);

}  // namespace tp::host::win32
