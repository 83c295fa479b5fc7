// Which part of a transport-header block the receiving provider wrote. A provider adds its
// fields above everything it received (AOL once also appended some at the end), so its part
// is its own chain of hops from the top of the block, ending at its inbound hop: the Received
// field of its server that took the message from outside. Whatever lies below that line is
// the sender's text, whatever hosts it names. Each provider's layouts come from published
// header blocks (see docs/PROVIDER_HEADERS.md).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "branding/header_fields.h"

namespace tp {

enum class ProviderFamily { kNone, kGmail, kHotmail, kYahoo, kAol };

// The family of a provider marker, tested in the analysers' order: Gmail, the Hotmail family
// (Hotmail, Hotmail Israel, Outlook web mail, Windows Live), Yahoo (both domains), AOL.
ProviderFamily FamilyOfMarker(std::wstring_view mailProvider);
const wchar_t* FamilyName(ProviderFamily family);

struct ProviderPart {
  static constexpr size_t kNone = static_cast<size_t>(-1);

  // False when the block does not start with the provider's chain of hops down to an inbound
  // hop: nothing in it can then be told apart from what a sender wrote.
  bool traced = false;
  size_t inboundIndex = 0;  // the provider's inbound hop (a Received field)
  size_t topEnd = 0;        // fields [0, topEnd) are the provider's
  // Fields [appendedBegin, appendedEnd) the provider appended at the end of the block.
  size_t appendedBegin = 0;
  size_t appendedEnd = 0;
  // How many lines of field topEnd - 1 are the provider's: a line that begins with white
  // space at the top of the sender's part would otherwise continue it.
  size_t lastFieldLines = HeaderBlock::kAllLines;
  // Untraced: the Received field by a host outside the provider that ended its chain before
  // an inbound hop; kNone when the block ran out of Received fields instead.
  size_t foreignHop = kNone;
  // Received fields below the inbound hop that name the provider's receiving servers: the
  // sender's text, which extends nothing.
  std::vector<size_t> imitatedHops;
  // The first of the provider's appended verdict fields found outside its part (the sender
  // wrote it); kNone when there is none.
  size_t imitatedRunField = kNone;

  bool Contains(size_t index) const {
    return index < topEnd || (index >= appendedBegin && index < appendedEnd);
  }
  bool HasAppendedRun() const { return appendedEnd > appendedBegin; }
  // The first field `name` of the provider's top part, else of its appended part; npos when
  // there is none.
  size_t Find(const HeaderBlock& block, std::wstring_view name) const;
  // The lines of field `index` that are the provider's.
  size_t LinesOf(size_t index) const {
    return index + 1 == topEnd ? lastFieldLines : HeaderBlock::kAllLines;
  }
};

ProviderPart FindProviderPart(const HeaderBlock& block, ProviderFamily family);

}  // namespace tp
