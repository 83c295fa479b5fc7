// libFuzzer target: the header analysis on any UTF-8 header block, for each provider family.
// Besides the sanitizers' checks: every verdict comes out in lower case, every listed passing
// signer is a passing verdict's, no verdict is read without a layout and an inbound hop, and
// the block's fields and a Received value's hosts are found wherever they are.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/text.h"
#include "branding/auth_headers.h"
#include "branding/auth_results.h"
#include "branding/header_fields.h"
#include "branding/received_hop.h"

namespace {

void Require(bool condition) {
  if (!condition)
    std::abort();
}

bool IsLower(const std::wstring& text) {
  return tp::ToLower(text) == text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring block =
      tp::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));
  for (const wchar_t* marker : {L"@gmail.com", L"@hotmail.com", L"@yahoo.com", L"@aol.com"}) {
    const tp::AuthHeaderResult result = tp::AnalyzeAuthHeaders(marker, block);
    Require(IsLower(result.spfResult) && IsLower(result.spfDomain));
    Require(IsLower(result.dkimResult) && IsLower(result.dkimDomain));
    Require(result.spfResult != L"pass" || result.spfDomain.find(L'@') == std::wstring::npos);
    for (const std::wstring& signer : result.dkimPassDomains) {
      Require(IsLower(signer) && signer.find(L'@') == std::wstring::npos);
    }
    Require(result.dkimPassDomains.empty() || result.dkimResult == L"pass");
    // A verdict is read only in a layout recognised, above an inbound hop found.
    Require(result.layout.empty() || result.inboundLine > 0);
    Require(!result.layout.empty() || (result.spfResult.empty() && result.dkimResult.empty()));
  }
  const tp::ReceivedHop hop = tp::ReadReceivedHop(block);
  Require(tp::ToLowerAscii(hop.byHost) == hop.byHost &&
          tp::ToLowerAscii(hop.fromHost) == hop.fromHost);
  Require(!tp::IsInternalAddress(hop.byHost) || tp::IsAddressLiteral(hop.byHost));
  const tp::HeaderBlock fields(block);
  for (const tp::HeaderField& field : fields.fields()) {
    Require(field.start <= field.valueStart && field.valueStart <= field.end);
    Require(field.end <= block.size());
  }
  const tp::AuthResults results = tp::ReadAuthResults(block);
  Require(!results.segments.empty());
  return 0;
}
