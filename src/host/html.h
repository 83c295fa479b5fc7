// HTML engine port: a document made in process, into which a message's HTML is written with
// scripting off, from which elements are removed, and which gives back its body's markup.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/hresult.h"

namespace tp::host {

// The document's element collections, by their MSHTML names ("plugins" holds the same
// elements as "embeds").
enum class HtmlCollection { kScripts, kEmbeds, kForms, kApplets, kPlugins };

class HtmlDocument {
 public:
  virtual ~HtmlDocument() = default;
  // Switches design mode on (nothing in the text runs), writes the text, closes the document
  // and sets its charset to utf-8. The result of the write, or of the close when the write
  // succeeded.
  virtual HResult Write(const std::wstring& html) = 0;
  // Removes the elements of a collection with everything inside them, the last first, until
  // the collection is empty or an element cannot be removed.
  virtual void RemoveAll(HtmlCollection collection) = 0;
  // The body element's outer HTML as the engine serializes it; empty without a body.
  virtual std::optional<std::wstring> BodyOuterHtml() = 0;
  // How the engine serializes an element of the (lower-case) name that has no attributes
  // and no content: "<SCRIPT></SCRIPT>" for MSHTML.
  virtual std::wstring EmptyElementMarkup(std::wstring_view name) = 0;
};

class HtmlEngine {
 public:
  virtual ~HtmlEngine() = default;
  // A new empty document; null when the engine is not available.
  virtual std::unique_ptr<HtmlDocument> CreateDocument() = 0;
};

}  // namespace tp::host
