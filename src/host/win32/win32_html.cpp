// MSHTML documents.
#include "host/win32/win32_html.h"

// clang-format off
#include "host/win32/win32_api.h"
#include <mshtml.h>
// clang-format on

#include "host/win32/com_ptr.h"
#include "host/win32/safe_array.h"
#include "host/win32/scoped_bstr.h"
#include "host/win32/scoped_variant.h"

namespace tp::host::win32 {
namespace {

// CLSID_HTMLDocument.
constexpr CLSID kClsidHtmlDocument = {
    0x25336920, 0x03F9, 0x11CF, {0x8F, 0xD0, 0x00, 0xAA, 0x00, 0x68, 0x6F, 0x13}};

HRESULT CollectionOf(IHTMLDocument2& document, HtmlCollection collection,
                     IHTMLElementCollection** elements) {
  switch (collection) {
    case HtmlCollection::kScripts:
      return document.get_scripts(elements);
    case HtmlCollection::kEmbeds:
      return document.get_embeds(elements);
    case HtmlCollection::kForms:
      return document.get_forms(elements);
    case HtmlCollection::kApplets:
      return document.get_applets(elements);
    case HtmlCollection::kPlugins:
      return document.get_plugins(elements);
  }
  return E_INVALIDARG;
}

long LengthOf(IHTMLElementCollection& elements) {
  long length = 0;
  return SUCCEEDED(elements.get_length(&length)) ? length : 0;
}

class MshtmlDocument final : public HtmlDocument {
 public:
  explicit MshtmlDocument(ComPtr<IHTMLDocument2> document) : m_document(std::move(document)) {}

  HResult Write(const std::wstring& html) override {
    const ScopedBstr designMode(L"on");
    (void)m_document->put_designMode(designMode.get());
    // write takes its text as a one-element array of VARIANT holding a BSTR.
    UniqueSafeArray text(::SafeArrayCreateVector(VT_VARIANT, 0, 1));
    if (!text)
      return hr::kOutOfMemory;
    VARIANT* element = nullptr;
    if (FAILED(::SafeArrayAccessData(text.get(), reinterpret_cast<void**>(&element))))
      return hr::kFail;
    element->vt = VT_BSTR;
    element->bstrVal = ::SysAllocStringLen(html.data(), static_cast<UINT>(html.size()));
    ::SafeArrayUnaccessData(text.get());
    if (element->bstrVal == nullptr)
      return hr::kOutOfMemory;
    HRESULT result = m_document->write(text.get());
    if (SUCCEEDED(result))
      result = m_document->close();
    const ScopedBstr charset(L"utf-8");
    (void)m_document->put_charset(charset.get());
    return static_cast<HResult>(result);
  }

  void RemoveAll(HtmlCollection collection) override {
    ComPtr<IHTMLElementCollection> elements;
    if (FAILED(CollectionOf(*m_document.get(), collection, elements.Receive())) || !elements)
      return;
    // Last first, until none is left or one will not go.
    for (long length = LengthOf(*elements.get()); length > 0;) {
      ScopedVariant index(static_cast<int32_t>(length - 1));
      ScopedVariant none(0);
      ComPtr<IDispatch> element;
      if (FAILED(elements->item(index.get(), none.get(), element.Receive())) || !element)
        return;
      ComPtr<IHTMLDOMNode> node;
      ComPtr<IHTMLDOMNode> removed;
      if (FAILED(element.As(IID_IHTMLDOMNode, &node)) ||
          FAILED(node->removeNode(VARIANT_TRUE, removed.Receive()))) {
        return;
      }
      const long left = LengthOf(*elements.get());
      if (left >= length)
        return;
      length = left;
    }
  }

  std::optional<std::wstring> BodyOuterHtml() override {
    ComPtr<IHTMLElement> body;
    if (FAILED(m_document->get_body(body.Receive())) || !body)
      return std::nullopt;
    ScopedBstr markup;
    if (FAILED(body->get_outerHTML(markup.Receive())))
      return std::nullopt;
    return ScopedBstr::ToWide(markup.get());
  }

  // MSHTML writes element names in upper case.
  std::wstring EmptyElementMarkup(std::wstring_view name) override {
    std::wstring upper(name);
    for (wchar_t& ch : upper) {
      if (ch >= L'a' && ch <= L'z')
        ch = static_cast<wchar_t>(ch - 32);
    }
    return L"<" + upper + L"></" + upper + L">";
  }

 private:
  ComPtr<IHTMLDocument2> m_document;
};

}  // namespace

std::unique_ptr<HtmlDocument> MshtmlEngine::CreateDocument() {
  ComPtr<IHTMLDocument2> document;
  if (FAILED(::CoCreateInstance(kClsidHtmlDocument, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IHTMLDocument2, document.ReceiveVoid())) ||
      !document) {
    return nullptr;
  }
  return std::make_unique<MshtmlDocument>(std::move(document));
}

}  // namespace tp::host::win32
