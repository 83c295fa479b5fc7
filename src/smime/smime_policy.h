// The rules a signature that verified must still meet before it counts, the same whatever
// platform verified it: nothing signed with a broken digest (MD2, MD4, MD5), the signed
// content-type attribute equal to the content's type, a signer's certificate issued for
// signing mail, every certificate of its chain allowed to vouch for that, no RSA key shorter
// than 2048 bits, and no SHA-1 signature on a certificate below its root.
#pragma once

#include <string>

#include "host/crypto.h"

namespace tp {

inline constexpr uint32_t kMinimumRsaModulusBits = 2048;

// Why a verified signer's signed data is refused; empty when it is not.
std::wstring RefusalOfSignedData(const host::SignerInfo& signer);

// Why a signer's chain (the signer's certificate first) does not vouch for signing mail,
// whatever the platform's own trust said of it; empty when it does.
std::wstring RefusalOfChain(const host::ChainReport& chain);

}  // namespace tp
