// Outlook's application, its "MAPI" namespace, the explorer and the inspectors collection.
#include "host/win32/outlook/mapi_objects.h"
#include "host/win32/outlook/outlook_objects.h"

namespace tp::host::win32 {
namespace {

class DispNamespace final : public OutlookNamespace {
 public:
  explicit DispNamespace(DispatchObject nameSpace) : m_namespace(std::move(nameSpace)) {}

  std::shared_ptr<OutlookItem> GetItemFromId(const std::wstring& entryId,
                                             HResult* result) override {
    const ScopedVariant id(entryId);
    const ScopedVariant noStore;
    ScopedVariant item;
    const HRESULT called = m_namespace.Call(L"GetItemFromID", {&id.get(), &noStore.get()}, &item);
    *result = ToHResult(called);
    if (FAILED(called))
      return nullptr;
    return MakeItem(DispatchObject(item.AsDispatch(), OutlookKind::kItem));
  }

  std::shared_ptr<Folder> GetDefaultFolder(int folderType) override {
    const ScopedVariant type(folderType);
    return MakeFolder(m_namespace.Object(L"GetDefaultFolder", OutlookKind::kFolder, {&type.get()}));
  }

  std::shared_ptr<MapiSession> MapiObject() override {
    const ComPtr<IUnknown> session = m_namespace.Unknown(L"MAPIOBJECT");
    return MakeMapiSession(session.get());
  }

  std::wstring CurrentProfileName() override { return m_namespace.String(L"CurrentProfileName"); }

 private:
  DispatchObject m_namespace;
};

class DispExplorer final : public Explorer, public ComEventSource {
 public:
  explicit DispExplorer(DispatchObject explorer) : m_explorer(std::move(explorer)) {}

  std::shared_ptr<Folder> CurrentFolder() override {
    return MakeFolder(m_explorer.Object(L"CurrentFolder", OutlookKind::kFolder));
  }
  std::shared_ptr<Selection> GetSelection() override;
  WindowHandle Window() override { return OleWindowOf(m_explorer.get()); }
  IUnknown* EventObject() const override { return m_explorer.get(); }

 private:
  DispatchObject m_explorer;
};

class DispInspectors final : public Inspectors, public ComEventSource {
 public:
  explicit DispInspectors(DispatchObject inspectors) : m_inspectors(std::move(inspectors)) {}
  IUnknown* EventObject() const override { return m_inspectors.get(); }

 private:
  DispatchObject m_inspectors;
};

class DispApplication final : public OutlookApplication, public ComEventSource {
 public:
  explicit DispApplication(DispatchObject application) : m_application(std::move(application)) {}

  std::wstring Version() override { return m_application.String(L"Version"); }

  std::shared_ptr<OutlookNamespace> GetNamespace(const std::wstring& type,
                                                 HResult* result) override {
    const ScopedVariant name(type);
    ScopedVariant nameSpace;
    const HRESULT called = m_application.Call(L"GetNamespace", {&name.get()}, &nameSpace);
    *result = ToHResult(called);
    if (FAILED(called))
      return nullptr;
    ComPtr<IDispatch> object = nameSpace.AsDispatch();
    if (!object)
      return nullptr;
    return std::make_shared<DispNamespace>(DispatchObject(object, OutlookKind::kNamespace));
  }

  std::shared_ptr<Explorer> ActiveExplorer() override {
    DispatchObject explorer = m_application.Object(L"ActiveExplorer", OutlookKind::kExplorer);
    if (!explorer)
      return nullptr;
    return std::make_shared<DispExplorer>(std::move(explorer));
  }

  std::shared_ptr<Inspectors> GetInspectors() override {
    DispatchObject inspectors = m_application.Object(L"Inspectors", OutlookKind::kInspectors);
    if (!inspectors)
      return nullptr;
    return std::make_shared<DispInspectors>(std::move(inspectors));
  }

  WindowHandle ActiveWindow() override {
    const DispatchObject window = m_application.Object(L"ActiveWindow", OutlookKind::kExplorer);
    return OleWindowOf(window.get());
  }

  std::shared_ptr<Inspector> ActiveInspector() override {
    return MakeInspector(m_application.Object(L"ActiveInspector", OutlookKind::kInspector));
  }

  IUnknown* EventObject() const override { return m_application.get(); }

 private:
  DispatchObject m_application;
};

}  // namespace

std::shared_ptr<Selection> DispExplorer::GetSelection() {
  return MakeSelection(m_explorer.Object(L"Selection", OutlookKind::kSelection));
}

std::shared_ptr<OutlookApplication> MakeApplication(DispatchObject application) {
  if (!application)
    return nullptr;
  return std::make_shared<DispApplication>(std::move(application));
}

}  // namespace tp::host::win32
