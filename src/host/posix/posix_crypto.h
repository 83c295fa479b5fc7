// The message crypto port over OpenSSL's CMS. Trusted roots: the system's CA bundle, read
// when a signature is first verified (parsing it costs tens of milliseconds, which a call
// that verifies nothing should not pay), plus the certificates of PEM files the caller adds.
// OpenSSL's answers are mapped onto CryptoAPI's: an undecodable object, a signature that does
// not verify over the signed attributes (or over the content when there are none), a content
// digest that differs from the signed one, a missing signer or signer certificate each give
// CryptoAPI's code.
#pragma once

#include <atomic>
#include <filesystem>
#include <mutex>
#include <string>

#include "host/crypto.h"
#include "host/posix/openssl_handles.h"

namespace tp::host::posix {

class PosixMessageCrypto final : public TrustingMessageCrypto {
 public:
  PosixMessageCrypto();

  // "TRUSTED CERTIFICATE" blocks keep the purposes OpenSSL trusts them for.
  bool TrustCertificates(const std::filesystem::path& pemFile, std::string* error) override;

  HResult VerifyMessageSignature(std::string_view signedData, VerifiedSignature* verified) override;
  HResult VerifyDetachedMessageSignature(std::string_view signature, std::string_view content,
                                         VerifiedSignature* verified) override;

  // Whether the system's CA bundle has been read (for the tests of when it is).
  bool SystemTrustLoaded() const;

 private:
  HResult Verify(std::string_view signedData, const std::string_view* detachedContent,
                 VerifiedSignature* verified);
  void LoadSystemTrust();

  UniqueX509Store m_trusted;
  std::once_flag m_systemTrust;
  std::atomic<bool> m_systemTrustLoaded{false};
};

}  // namespace tp::host::posix
