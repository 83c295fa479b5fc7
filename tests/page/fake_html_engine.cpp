// The stand-in HTML engine.
#include "fake_html_engine.h"

#include "base/format.h"

namespace tp::testing {
namespace {

class FakeDocument final : public host::HtmlDocument {
 public:
  explicit FakeDocument(FakeHtmlEngine& engine) : engine_(engine) {}

  HResult Write(const std::wstring& html) override {
    engine_.calls.push_back(L"Write");
    engine_.written = html;
    return engine_.writeResult;
  }
  void RemoveAll(host::HtmlCollection collection) override {
    engine_.calls.push_back(Format(L"RemoveAll %d", static_cast<int>(collection)));
  }
  std::optional<std::wstring> BodyOuterHtml() override {
    engine_.calls.push_back(L"Body");
    if (!engine_.hasBody)
      return std::nullopt;
    return engine_.body.value_or(L"<BODY>" + engine_.written + L"</BODY>");
  }
  std::wstring EmptyElementMarkup(std::wstring_view name) override {
    std::wstring upper(name);
    for (wchar_t& ch : upper)
      ch = static_cast<wchar_t>(ch - 32);
    return L"<" + upper + L"></" + upper + L">";
  }

 private:
  FakeHtmlEngine& engine_;
};

}  // namespace

std::unique_ptr<host::HtmlDocument> FakeHtmlEngine::CreateDocument() {
  calls.push_back(L"CreateDocument");
  if (!available)
    return nullptr;
  return std::make_unique<FakeDocument>(*this);
}

}  // namespace tp::testing
