// Outlook's items: the explorer's selection, any item, mail items, their accounts, and the
// inspectors that show them.
#include "host/win32/outlook/mapi_objects.h"
#include "host/win32/outlook/outlook_ids.h"
#include "host/win32/outlook/outlook_objects.h"

namespace tp::host::win32 {
namespace {

class DispAccount final : public Account {
 public:
  explicit DispAccount(DispatchObject account) : m_account(std::move(account)) {}
  int AccountType() override { return m_account.Int(L"AccountType").value_or(0); }
  std::wstring SmtpAddress() override { return m_account.String(L"SmtpAddress"); }
  std::wstring DisplayName() override { return m_account.String(L"DisplayName"); }

 private:
  DispatchObject m_account;
};

class DispAttachment final : public Attachment {
 public:
  explicit DispAttachment(DispatchObject attachment) : m_attachment(std::move(attachment)) {}
  std::wstring FileName() override { return m_attachment.String(L"FileName"); }
  HResult ReadPropStream(PropTag tag, std::string* bytes) override {
    const ComPtr<IUnknown> object = m_attachment.Unknown(L"MAPIOBJECT");
    ComPtr<IMAPIProp> prop;
    if (!object || FAILED(object.As(kIidMapiProp, &prop)) || !prop)
      return hr::kNoInterface;
    return ReadPropertyStream(prop.get(), tag, bytes);
  }
  HResult SaveAsFile(const std::wstring& path) override {
    const ScopedVariant target(path);
    ScopedVariant result;
    return ToHResult(m_attachment.Call(L"SaveAsFile", {&target.get()}, &result));
  }

 private:
  DispatchObject m_attachment;
};

class DispMailItem final : public MailItem {
 public:
  explicit DispMailItem(DispatchObject mail) : m_mail(std::move(mail)) {}
  int Class() override { return m_mail.Int(L"Class").value_or(0); }
  std::wstring EntryId() override { return m_mail.String(L"EntryID"); }
  std::wstring Subject() override { return m_mail.String(L"Subject"); }
  bool Sent() override { return m_mail.Bool(L"Sent"); }
  int DownloadState() override { return m_mail.Int(L"DownloadState").value_or(0); }
  int Size() override { return m_mail.Int(L"Size").value_or(0); }
  bool UnRead() override { return m_mail.Bool(L"UnRead"); }
  std::wstring SenderEmailAddress() override { return m_mail.String(L"SenderEmailAddress"); }
  int InternetCodepage() override { return m_mail.Int(L"InternetCodepage").value_or(0); }
  std::shared_ptr<Account> SendUsingAccount() override {
    DispatchObject account = m_mail.Object(L"SendUsingAccount", OutlookKind::kAccount);
    if (!account)
      return nullptr;
    return std::make_shared<DispAccount>(std::move(account));
  }
  std::shared_ptr<MapiMessage> MapiObject() override {
    const ComPtr<IUnknown> message = m_mail.Unknown(L"MAPIOBJECT");
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
    return m_mail.Object(L"Attachments", OutlookKind::kAttachments);
  }

  DispatchObject m_mail;
};

class DispItem final : public OutlookItem {
 public:
  explicit DispItem(DispatchObject item) : m_item(std::move(item)) {}
  std::shared_ptr<MailItem> AsMailItem() override {
    ComPtr<IDispatch> mail;
    if (FAILED(m_item.pointer().As(kIidOutlookMailItem, &mail)) || !mail)
      return nullptr;
    return std::make_shared<DispMailItem>(DispatchObject(mail, OutlookKind::kMailItem));
  }

 private:
  DispatchObject m_item;
};

class DispSelection final : public Selection {
 public:
  explicit DispSelection(DispatchObject selection) : m_selection(std::move(selection)) {}
  int Class() override { return m_selection.Int(L"Class").value_or(0); }
  int Count() override { return m_selection.Int(L"Count").value_or(0); }
  std::shared_ptr<OutlookItem> Item(int index) override {
    const ScopedVariant position(index, VT_INT);
    return MakeItem(m_selection.Object(L"Item", OutlookKind::kItem, {&position.get()}));
  }

 private:
  DispatchObject m_selection;
};

class DispInspector final : public Inspector, public ComEventSource {
 public:
  explicit DispInspector(DispatchObject inspector) : m_inspector(std::move(inspector)) {}
  IUnknown* EventObject() const override { return m_inspector.get(); }
  std::shared_ptr<OutlookItem> CurrentItem() override {
    return MakeItem(m_inspector.Object(L"CurrentItem", OutlookKind::kItem));
  }
  uintptr_t Identity() override {
    ComPtr<IUnknown> identity;
    if (FAILED(m_inspector.pointer().As(IID_IUnknown, &identity)))
      return 0;
    return reinterpret_cast<uintptr_t>(identity.get());
  }

 private:
  DispatchObject m_inspector;
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
