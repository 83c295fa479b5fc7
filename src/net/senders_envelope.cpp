// The senders list envelope.
#include "net/senders_envelope.h"

#include <utility>

#include "base/text.h"

namespace tp {

std::wstring DecodeSendersListFile(std::string_view bytes) {
  if (bytes.size() >= 4 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
    bytes.remove_prefix(3);
  return Utf8ToWide(bytes);
}

SendersEnvelope ReadSendersEnvelope(const XmlNode& top) {
  SendersEnvelope envelope;
  const XmlNode content = top.GetChildNode(L"content");
  const XmlNode data = content.GetChildNode(L"data");
  if (content.IsEmpty()) {
    envelope.status = EnvelopeStatus::kNoContent;
  } else if (data.IsEmpty()) {
    envelope.status = EnvelopeStatus::kNoData;
  } else if (data.GetChildNode(L"senders").IsEmpty()) {
    envelope.status = EnvelopeStatus::kNoSenders;
  } else {
    envelope.status = EnvelopeStatus::kAccepted;
    const XmlNode branding = data.GetChildNode(L"branding");
    envelope.hasBranding = !branding.IsEmpty();
    envelope.brandingJson = branding.GetClearText(0);
  }
  return envelope;
}

SendersEnvelope ReadSendersListXml(std::wstring_view text) {
  const size_t skipped = !text.empty() && text.front() == L'\uFEFF' ? 1 : 0;
  text.remove_prefix(skipped);
  if (!text.starts_with(L"<?xml")) {
    SendersEnvelope rejected;
    rejected.status = EnvelopeStatus::kNoXmlDeclaration;
    return rejected;
  }
  XmlError error;
  const XmlNode top = ParseXml(text, &error);
  if (top.IsEmpty()) {
    SendersEnvelope rejected;
    rejected.status = EnvelopeStatus::kMalformedXml;
    rejected.xmlError = std::move(error);
    rejected.xmlError.offset += skipped;  // an index into the caller's text
    return rejected;
  }
  return ReadSendersEnvelope(top);
}

}  // namespace tp
