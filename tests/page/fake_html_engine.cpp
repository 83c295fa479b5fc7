// The stand-in HTML engine.
#include "fake_html_engine.h"

#include "base/format.h"

namespace tp::testing {
namespace {

class FakeDocument final : public host::HtmlDocument {
 public:
  explicit FakeDocument(FakeHtmlEngine& engine) : m_engine(engine) {}

  HResult Write(const std::wstring& html) override {
    m_engine.calls.push_back(L"Write");
    m_engine.written = html;
    return m_engine.writeResult;
  }
  void RemoveAll(host::HtmlCollection collection) override {
    m_engine.calls.push_back(Format(L"RemoveAll %d", static_cast<int>(collection)));
  }
  std::optional<std::wstring> BodyOuterHtml() override {
    m_engine.calls.push_back(L"Body");
    if (!m_engine.hasBody)
      return std::nullopt;
    return m_engine.body.value_or(L"<BODY>" + m_engine.written + L"</BODY>");
  }
  std::wstring EmptyElementMarkup(std::wstring_view name) override {
    std::wstring upper(name);
    for (wchar_t& ch : upper)
      ch = static_cast<wchar_t>(ch - 32);
    return L"<" + upper + L"></" + upper + L">";
  }

 private:
  FakeHtmlEngine& m_engine;
};

}  // namespace

std::unique_ptr<host::HtmlDocument> FakeHtmlEngine::CreateDocument() {
  calls.push_back(L"CreateDocument");
  if (!available)
    return nullptr;
  return std::make_unique<FakeDocument>(*this);
}

}  // namespace tp::testing
