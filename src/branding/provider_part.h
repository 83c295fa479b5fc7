// Which part of a transport-header block the receiving provider wrote. A provider adds its
// fields above everything it received (AOL also appends some at the end), so the fields a
// sender wrote lie below the provider's own trace line: a verdict field counts only inside
// the provider's part. Each provider's layout comes from published header blocks (see
// docs/PROVIDER_HEADERS.md).
#pragma once

#include <string>
#include <string_view>

#include "branding/header_fields.h"

namespace tp {

enum class ProviderFamily { kNone, kGmail, kHotmail, kYahoo, kAol };

// The family of a provider marker, tested in the analysers' order: Gmail, the Hotmail family
// (Hotmail, Hotmail Israel, Outlook web mail, Windows Live), Yahoo (both domains), AOL.
ProviderFamily FamilyOfMarker(std::wstring_view mailProvider);
const wchar_t* FamilyName(ProviderFamily family);

struct ProviderPart {
  // False when the block holds no trace line of the provider's servers at its top: nothing
  // in it can then be told apart from what a sender wrote.
  bool traced = false;
  size_t traceIndex = 0;  // the provider's inbound trace line (a Received field)
  size_t topEnd = 0;      // fields [0, topEnd) are the provider's
  // Fields [appendedBegin, appendedEnd) the provider appended at the end of the block.
  size_t appendedBegin = 0;
  size_t appendedEnd = 0;
  // How many lines of field topEnd - 1 are the provider's: a line that begins with white
  // space at the top of the sender's part would otherwise continue it.
  size_t lastFieldLines = HeaderBlock::kAllLines;

  bool Contains(size_t index) const {
    return index < topEnd || (index >= appendedBegin && index < appendedEnd);
  }
  // The first field `name` of the provider's top part, else of its appended part; npos when
  // there is none.
  size_t Find(const HeaderBlock& block, std::wstring_view name) const;
  // The lines of field `index` that are the provider's.
  size_t LinesOf(size_t index) const {
    return index + 1 == topEnd ? lastFieldLines : HeaderBlock::kAllLines;
  }
};

ProviderPart FindProviderPart(const HeaderBlock& block, ProviderFamily family);

// The host after "by" in a Received field's value (comments skipped), lower case, without a
// final dot; empty when there is none.
std::wstring ReceivedByHost(std::wstring_view value);

}  // namespace tp
