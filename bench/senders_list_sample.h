// A generated senders list of realistic shape, for the benchmarks.
#pragma once

#include <cstddef>
#include <string>

namespace tp::bench {

// The branding JSON document with `senders` entries, written with double quotes.
std::wstring MakeBrandingJson(size_t senders);
// The whole envelope as the service sends it: declaration, one "sender" element per sender,
// and the branding JSON, written with apostrophes, in a CDATA section.
std::wstring MakeSendersListXml(size_t senders);

}  // namespace tp::bench
