// HTML engine port over gumbo, Google's HTML5 parser: the text is parsed (gumbo runs no
// script) with unknown elements kept empty as MSHTML keeps them, and removed elements are
// left out when the body is written back (gumbo_serializer.h).
#pragma once

#include "host/html.h"

namespace tp::host::posix {

class GumboHtmlEngine final : public HtmlEngine {
 public:
  std::unique_ptr<HtmlDocument> CreateDocument() override;
};

}  // namespace tp::host::posix
