// The S/MIME fixture's root in the current user's Root store, for the CryptoAPI adapter.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "host/platform.h"
#include "host/win32/crypt_resources.h"
#include "support/smime_fixtures.h"
#include "support/test_host.h"

namespace tp::testing {
namespace {

constexpr wchar_t kTestRootPrefix[] = L"Tidepost Test Root";

bool IsTestRoot(PCCERT_CONTEXT certificate) {
  wchar_t name[256] = {};
  ::CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name, 256);
  return std::wstring_view(name).starts_with(kTestRootPrefix);
}

// The fixture's root in the user's Root store while the program runs. Roots of earlier runs
// (which a crashed run may have left) are removed first: one with the same name and another
// key would break the chains.
class TrustedTestRoot {
 public:
  explicit TrustedTestRoot(const std::string& der) {
    store_.Reset(
        ::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root"));
    if (!store_) {
      ADD_FAILURE() << "cannot open the user's Root store: " << ::GetLastError();
      return;
    }
    // Deleting while enumerating restarts Wine's enumeration: collect first, then delete.
    std::vector<host::win32::UniqueCertContext> earlier;
    PCCERT_CONTEXT found = nullptr;
    while ((found = ::CertEnumCertificatesInStore(store_.get(), found)) != nullptr) {
      if (IsTestRoot(found))
        earlier.emplace_back(::CertDuplicateCertificateContext(found));
    }
    for (host::win32::UniqueCertContext& root : earlier)
      ::CertDeleteCertificateFromStore(root.Take());
    if (!::CertAddEncodedCertificateToStore(
            store_.get(), X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
            static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, added_.Receive())) {
      ADD_FAILURE() << "cannot add the test root: " << std::hex << ::GetLastError();
    }
    Commit();
  }
  ~TrustedTestRoot() {
    if (added_) {
      ::CertDeleteCertificateFromStore(added_.Take());
      Commit();
    }
  }
  TrustedTestRoot(const TrustedTestRoot&) = delete;
  TrustedTestRoot& operator=(const TrustedTestRoot&) = delete;

 private:
  // Wine writes a system store's changes to the registry, where the chain engine reads its
  // roots, only when they are committed (or the store is closed).
  void Commit() {
    if (store_)
      ::CertControlStore(store_.get(), 0, CERT_STORE_CTRL_COMMIT, nullptr);
  }

  host::win32::UniqueCertStore store_;
  host::win32::UniqueCertContext added_;
};

}  // namespace

host::MessageCrypto& TrustingFixtureRoot() {
  static const TrustedTestRoot root(ReadSmimeFixture("trusted-root.der"));
  return *host::PlatformHost().crypto;
}

}  // namespace tp::testing
