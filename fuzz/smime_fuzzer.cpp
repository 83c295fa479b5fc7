// libFuzzer target: a signature part as Outlook's store holds it, through the clear-signed
// cutter and both verifications on the OpenSSL message crypto. Besides the sanitizers'
// checks: a cut signed part lies inside the input, every refusal says why, and every
// verdict is one of the result codes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "host/host.h"
#include "host/platform.h"
#include "smime/smime_cutter.h"
#include "smime/smime_verification.h"

namespace {

void Require(bool condition) {
  if (!condition)
    std::abort();
}

void RequireResultCode(const tp::SignatureVerdict& verdict) {
  Require(verdict.result <= tp::kSignatureValid && verdict.result >= tp::kSignerChainError);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // No worker runs in a fuzzer, so nothing refuses the installation.
  (void)tp::host::Install(tp::host::PlatformHost());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::wstring problem;
  if (const auto cut = tp::CutDetachedSignature(bytes, &problem)) {
    Require(cut->signedPart.data() >= bytes.data() &&
            cut->signedPart.data() + cut->signedPart.size() <= bytes.data() + bytes.size());
    Require(cut->signature.size() <= bytes.size());
  } else {
    Require(!problem.empty());
  }
  RequireResultCode(tp::VerifyOpaqueSignature(bytes));
  RequireResultCode(tp::VerifyDetachedSignature(bytes));
  return 0;
}
