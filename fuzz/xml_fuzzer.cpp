// libFuzzer target: the XML reader and the senders list envelope on any UTF-8 text, then the
// branding JSON of an accepted envelope, as the add-in loads it.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/text.h"
#include "formats/json_parser.h"
#include "formats/xml_reader.h"
#include "net/senders_envelope.h"

namespace {

void Require(bool condition) {
  if (!condition)
    std::abort();
}

// Reads what the accessors offer of a node and of a few children, two levels down.
void Visit(const tp::XmlNode& node, int levels) {
  if (node.IsEmpty())
    return;
  (void)node.GetName();
  (void)node.GetClearText(0);
  (void)node.GetText(0);
  (void)node.GetAttribute(L"a");
  if (levels == 0)
    return;
  for (const wchar_t* name : {L"content", L"data", L"senders", L"branding", L"a", L"b"}) {
    Visit(node.GetChildNode(name), levels - 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::wstring text = tp::DecodeSendersListFile(bytes);

  tp::XmlError error;
  const tp::XmlNode node = tp::ParseXml(text, &error);
  if (node.IsEmpty())
    Require(error.offset <= text.size() && !error.reason.empty());
  Visit(node, 2);

  const tp::SendersEnvelope envelope = tp::ReadSendersListXml(text);
  if (envelope.status == tp::EnvelopeStatus::kMalformedXml) {
    Require(envelope.xmlError.offset <= text.size());
  }
  if (envelope.accepted()) {
    std::wstring json = envelope.brandingJson;
    std::replace(json.begin(), json.end(), L'\'', L'"');
    (void)tp::ParseJson(json);
  }
  return 0;
}
