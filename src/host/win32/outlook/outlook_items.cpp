// Outlook's items: the explorer's selection, any item, mail items, their accounts, and the
// inspectors that show them.
#include "host/win32/outlook/mapi_objects.h"
#include "host/win32/outlook/outlook_ids.h"
#include "host/win32/outlook/outlook_objects.h"

namespace tp::host::win32 {
namespace {

class DispAccount final : public Account {
 public:
  explicit DispAccount(DispatchObject account) : account_(std::move(account)) {}
  int AccountType() override { return account_.Int(L"AccountType").value_or(0); }
  std::wstring SmtpAddress() override { return account_.String(L"SmtpAddress"); }
  std::wstring DisplayName() override { return account_.String(L"DisplayName"); }

 private:
  DispatchObject account_;
};

class DispAttachment final : public Attachment {
 public:
  explicit DispAttachment(DispatchObject attachment) : attachment_(std::move(attachment)) {}
  std::wstring FileName() override { return attachment_.String(L"FileName"); }
  HResult ReadPropStream(PropTag tag, std::string* bytes) override {
    const ComPtr<IUnknown> object = attachment_.Unknown(L"MAPIOBJECT");
    ComPtr<IMAPIProp> prop;
    if (!object || FAILED(object.As(kIidMapiProp, &prop)) || !prop)
      return hr::kNoInterface;
    return ReadPropertyStream(prop.get(), tag, bytes);
  }
  HResult SaveAsFile(const std::wstring& path) override {
    const ScopedVariant target(path);
    ScopedVariant result;
    return ToHResult(attachment_.Call(L"SaveAsFile", {&target.get()}, &result));
  }

 private:
  DispatchObject attachment_;
};

class DispMailItem final : public MailItem {
 public:
  explicit DispMailItem(DispatchObject mail) : mail_(std::move(mail)) {}
  int Class() override { return mail_.Int(L"Class").value_or(0); }
  std::wstring EntryId() override { return mail_.String(L"EntryID"); }
  std::wstring Subject() override { return mail_.String(L"Subject"); }
  bool Sent() override { return mail_.Bool(L"Sent"); }
  int DownloadState() override { return mail_.Int(L"DownloadState").value_or(0); }
  int Size() override { return mail_.Int(L"Size").value_or(0); }
  bool UnRead() override { return mail_.Bool(L"UnRead"); }
  std::wstring SenderEmailAddress() override { return mail_.String(L"SenderEmailAddress"); }
  int InternetCodepage() override { return mail_.Int(L"InternetCodepage").value_or(0); }
  std::shared_ptr<Account> SendUsingAccount() override {
    DispatchObject account = mail_.Object(L"SendUsingAccount", OutlookKind::kAccount);
    if (!account)
      return nullptr;
    return std::make_shared<DispAccount>(std::move(account));
  }
  std::shared_ptr<MapiMessage> MapiObject() override {
    const ComPtr<IUnknown> message = mail_.Unknown(L"MAPIOBJECT");
    return MakeMapiMessage(message.get());
  }
  int AttachmentCount() override { return Attachments().Int(L"Count").value_or(0); }
  std::shared_ptr<Attachment> GetAttachment(int index) override {
    const ScopedVariant position(index);
    DispatchObject attachment =
        Attachments().Object(L"Item", OutlookKind::kAttachment, {&position.get()});
    if (!attachment)
      return nullptr;
    return std::make_shared<DispAttachment>(std::move(attachment));
  }

 private:
  DispatchObject Attachments() const {
    return mail_.Object(L"Attachments", OutlookKind::kAttachments);
  }

  DispatchObject mail_;
};

class DispItem final : public OutlookItem {
 public:
  explicit DispItem(DispatchObject item) : item_(std::move(item)) {}
  std::shared_ptr<MailItem> AsMailItem() override {
    ComPtr<IDispatch> mail;
    if (FAILED(item_.pointer().As(kIidOutlookMailItem, &mail)) || !mail)
      return nullptr;
    return std::make_shared<DispMailItem>(DispatchObject(mail, OutlookKind::kMailItem));
  }

 private:
  DispatchObject item_;
};

class DispSelection final : public Selection {
 public:
  explicit DispSelection(DispatchObject selection) : selection_(std::move(selection)) {}
  int Class() override { return selection_.Int(L"Class").value_or(0); }
  int Count() override { return selection_.Int(L"Count").value_or(0); }
  std::shared_ptr<OutlookItem> Item(int index) override {
    const ScopedVariant position(index, VT_INT);
    return MakeItem(selection_.Object(L"Item", OutlookKind::kItem, {&position.get()}));
  }

 private:
  DispatchObject selection_;
};

class DispInspector final : public Inspector, public ComEventSource {
 public:
  explicit DispInspector(DispatchObject inspector) : inspector_(std::move(inspector)) {}
  IUnknown* EventObject() const override { return inspector_.get(); }
  std::shared_ptr<OutlookItem> CurrentItem() override {
    return MakeItem(inspector_.Object(L"CurrentItem", OutlookKind::kItem));
  }
  uintptr_t Identity() override {
    ComPtr<IUnknown> identity;
    if (FAILED(inspector_.pointer().As(IID_IUnknown, &identity)))
      return 0;
    return reinterpret_cast<uintptr_t>(identity.get());
  }

 private:
  DispatchObject inspector_;
};

}  // namespace

std::shared_ptr<OutlookItem> MakeItem(DispatchObject item) {
  if (!item)
    return nullptr;
  return std::make_shared<DispItem>(std::move(item));
}

std::shared_ptr<Inspector> MakeInspector(DispatchObject inspector) {
  if (!inspector)
    return nullptr;
  return std::make_shared<DispInspector>(std::move(inspector));
}

std::shared_ptr<Selection> MakeSelection(DispatchObject selection) {
  if (!selection)
    return nullptr;
  return std::make_shared<DispSelection>(std::move(selection));
}

}  // namespace tp::host::win32
