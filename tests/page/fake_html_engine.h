// An HTML engine that stands in for MSHTML: its body is the written text between "<BODY>"
// and "</BODY>" (or a body the test sets), it writes empty elements in upper case as MSHTML
// does, and every call is recorded.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/html.h"

namespace tp::testing {

class FakeHtmlEngine final : public host::HtmlEngine {
 public:
  std::unique_ptr<host::HtmlDocument> CreateDocument() override;

  bool available = true;             // false: no document can be made
  HResult writeResult = hr::kOk;     // what Write answers
  std::optional<std::wstring> body;  // the body markup instead of the echoed text
  bool hasBody = true;
  std::wstring written;             // the text last written
  std::vector<std::wstring> calls;  // "Write", "RemoveAll 0", "Body", ...
};

}  // namespace tp::testing
