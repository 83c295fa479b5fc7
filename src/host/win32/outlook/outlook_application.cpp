// Outlook's application, its "MAPI" namespace, the explorer and the inspectors collection.
#include "host/win32/outlook/mapi_objects.h"
#include "host/win32/outlook/outlook_objects.h"

namespace tp::host::win32 {
namespace {

class DispNamespace final : public OutlookNamespace {
 public:
  explicit DispNamespace(DispatchObject nameSpace) : namespace_(std::move(nameSpace)) {}

  std::shared_ptr<OutlookItem> GetItemFromId(const std::wstring& entryId,
                                             HResult* result) override {
    const ScopedVariant id(entryId);
    const ScopedVariant noStore;
    ScopedVariant item;
    const HRESULT called = namespace_.Call(L"GetItemFromID", {&id.get(), &noStore.get()}, &item);
    *result = ToHResult(called);
    if (FAILED(called))
      return nullptr;
    return MakeItem(DispatchObject(item.AsDispatch(), OutlookKind::kItem));
  }

  std::shared_ptr<Folder> GetDefaultFolder(int folderType) override {
    const ScopedVariant type(folderType);
    return MakeFolder(namespace_.Object(L"GetDefaultFolder", OutlookKind::kFolder, {&type.get()}));
  }

  std::shared_ptr<MapiSession> MapiObject() override {
    const ComPtr<IUnknown> session = namespace_.Unknown(L"MAPIOBJECT");
    return MakeMapiSession(session.get());
  }

  std::wstring CurrentProfileName() override { return namespace_.String(L"CurrentProfileName"); }

 private:
  DispatchObject namespace_;
};

class DispExplorer final : public Explorer, public ComEventSource {
 public:
  explicit DispExplorer(DispatchObject explorer) : explorer_(std::move(explorer)) {}

  std::shared_ptr<Folder> CurrentFolder() override {
    return MakeFolder(explorer_.Object(L"CurrentFolder", OutlookKind::kFolder));
  }
  std::shared_ptr<Selection> GetSelection() override;
  WindowHandle Window() override { return OleWindowOf(explorer_.get()); }
  IUnknown* EventObject() const override { return explorer_.get(); }

 private:
  DispatchObject explorer_;
};

class DispInspectors final : public Inspectors, public ComEventSource {
 public:
  explicit DispInspectors(DispatchObject inspectors) : inspectors_(std::move(inspectors)) {}
  IUnknown* EventObject() const override { return inspectors_.get(); }

 private:
  DispatchObject inspectors_;
};

class DispApplication final : public OutlookApplication, public ComEventSource {
 public:
  explicit DispApplication(DispatchObject application) : application_(std::move(application)) {}

  std::wstring Version() override { return application_.String(L"Version"); }

  std::shared_ptr<OutlookNamespace> GetNamespace(const std::wstring& type,
                                                 HResult* result) override {
    const ScopedVariant name(type);
    ScopedVariant nameSpace;
    const HRESULT called = application_.Call(L"GetNamespace", {&name.get()}, &nameSpace);
    *result = ToHResult(called);
    if (FAILED(called))
      return nullptr;
    ComPtr<IDispatch> object = nameSpace.AsDispatch();
    if (!object)
      return nullptr;
    return std::make_shared<DispNamespace>(DispatchObject(object, OutlookKind::kNamespace));
  }

  std::shared_ptr<Explorer> ActiveExplorer() override {
    DispatchObject explorer = application_.Object(L"ActiveExplorer", OutlookKind::kExplorer);
    if (!explorer)
      return nullptr;
    return std::make_shared<DispExplorer>(std::move(explorer));
  }

  std::shared_ptr<Inspectors> GetInspectors() override {
    DispatchObject inspectors = application_.Object(L"Inspectors", OutlookKind::kInspectors);
    if (!inspectors)
      return nullptr;
    return std::make_shared<DispInspectors>(std::move(inspectors));
  }

  WindowHandle ActiveWindow() override {
    const DispatchObject window = application_.Object(L"ActiveWindow", OutlookKind::kExplorer);
    return OleWindowOf(window.get());
  }

  std::shared_ptr<Inspector> ActiveInspector() override {
    return MakeInspector(application_.Object(L"ActiveInspector", OutlookKind::kInspector));
  }

  IUnknown* EventObject() const override { return application_.get(); }

 private:
  DispatchObject application_;
};

}  // namespace

std::shared_ptr<Selection> DispExplorer::GetSelection() {
  return MakeSelection(explorer_.Object(L"Selection", OutlookKind::kSelection));
}

std::shared_ptr<OutlookApplication> MakeApplication(DispatchObject application) {
  if (!application)
    return nullptr;
  return std::make_shared<DispApplication>(std::move(application));
}

}  // namespace tp::host::win32
