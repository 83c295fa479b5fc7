// HTML engine port over MSHTML: an HTMLDocument made in process (IHTMLDocument2), written in
// design mode so that nothing in it runs.
#pragma once

#include "host/html.h"

namespace tp::host::win32 {

class MshtmlEngine final : public HtmlEngine {
 public:
  // Null when the HTMLDocument class cannot be made (no MSHTML, or no HTML engine behind it).
  std::unique_ptr<HtmlDocument> CreateDocument() override;
};

}  // namespace tp::host::win32
