// The senders list envelope: an XML document whose "content"/"data" element holds the senders
// and, optionally, the branding JSON text in the first clear section of "branding".
#pragma once

#include <string>
#include <string_view>

#include "formats/xml_node.h"
#include "formats/xml_reader.h"

namespace tp {

enum class EnvelopeStatus {
  kAccepted,
  kNoXmlDeclaration,  // the text does not begin with "<?xml"
  kMalformedXml,      // ParseXml gave the empty node
  kNoContent,         // no "content" element at the top
  kNoData,            // no "data" inside "content"
  kNoSenders,         // no "senders" inside "data"
};

struct SendersEnvelope {
  EnvelopeStatus status = EnvelopeStatus::kMalformedXml;
  bool hasBranding = false;   // "data" holds a "branding" element
  std::wstring brandingJson;  // its first clear section; empty when absent or without one
  XmlError xmlError;          // why the XML did not parse, for kMalformedXml

  bool accepted() const { return status == EnvelopeStatus::kAccepted; }
};

// The text of a senders list file: UTF-8, its byte-order mark skipped when the file holds at
// least 4 bytes.
std::wstring DecodeSendersListFile(std::string_view bytes);

// Finds content/data/senders and the branding text under a parsed document's top node.
[[nodiscard]] SendersEnvelope ReadSendersEnvelope(const XmlNode& top);

// The whole envelope check on a text: an optional leading U+FEFF, "<?xml" (exact case) at its
// very start, a document that parses, then ReadSendersEnvelope. A pure function: the caller
// publishes brandingJson when the envelope is accepted.
[[nodiscard]] SendersEnvelope ReadSendersListXml(std::wstring_view text);

}  // namespace tp
