// The S/MIME fixture's roots in the current user's Root store, for the CryptoAPI adapter.
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

// The fixture's roots in the user's Root store while the program runs. Roots of earlier runs
// (which a crashed run may have left) are removed first: one with the same name and another
// key would break the chains.
class TrustedTestRoots {
 public:
  TrustedTestRoots() {
    m_store.Reset(
        ::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root"));
    if (!m_store) {
      ADD_FAILURE() << "cannot open the user's Root store: " << ::GetLastError();
      return;
    }
    // Deleting while enumerating restarts Wine's enumeration: collect first, then delete.
    std::vector<host::win32::UniqueCertContext> earlier;
    PCCERT_CONTEXT found = nullptr;
    while ((found = ::CertEnumCertificatesInStore(m_store.get(), found)) != nullptr) {
      if (IsTestRoot(found))
        earlier.emplace_back(::CertDuplicateCertificateContext(found));
    }
    for (host::win32::UniqueCertContext& root : earlier)
      ::CertDeleteCertificateFromStore(root.Take());
    Add(ReadSmimeFixture("trusted-root.der"), nullptr);
    Add(ReadSmimeFixture("server-root.der"), nullptr);
    // Trusted for server authentication only, as the user's certificate manager sets it.
    LPSTR serverOnly[] = {const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH)};
    CERT_ENHKEY_USAGE usage{1, serverOnly};
    Add(ReadSmimeFixture("restricted-root.der"), &usage);
    Commit();
  }
  ~TrustedTestRoots() {
    for (host::win32::UniqueCertContext& root : m_added)
      ::CertDeleteCertificateFromStore(root.Take());
    Commit();
  }
  TrustedTestRoots(const TrustedTestRoots&) = delete;
  TrustedTestRoots& operator=(const TrustedTestRoots&) = delete;

 private:
  void Add(const std::string& der, CERT_ENHKEY_USAGE* purposes) {
    host::win32::UniqueCertContext added;
    if (!::CertAddEncodedCertificateToStore(
            m_store.get(), X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
            static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, added.Receive())) {
      ADD_FAILURE() << "cannot add a test root: " << std::hex << ::GetLastError();
      return;
    }
    if (purposes != nullptr && !::CertSetEnhancedKeyUsage(added.get(), purposes))
      ADD_FAILURE() << "cannot restrict a test root: " << std::hex << ::GetLastError();
    m_added.push_back(std::move(added));
  }
  // Wine writes a system store's changes to the registry, where the chain engine reads its
  // roots, only when they are committed (or the store is closed).
  void Commit() {
    if (m_store)
      ::CertControlStore(m_store.get(), 0, CERT_STORE_CTRL_COMMIT, nullptr);
  }

  host::win32::UniqueCertStore m_store;
  std::vector<host::win32::UniqueCertContext> m_added;
};

}  // namespace

host::MessageCrypto& TrustingFixtureRoot() {
  static const TrustedTestRoots roots;
  return *host::PlatformHost().crypto;
}

}  // namespace tp::testing
