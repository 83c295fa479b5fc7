// OpenSSL objects owned by std::unique_ptr, each freed with its own function, and a guard that
// leaves the thread's OpenSSL error queue empty (libcurl reads the same queue).
#pragma once

#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>

namespace tp::host::posix {

template <class T, void (*Free)(T*)>
struct OpenSslDeleter {
  void operator()(T* object) const { Free(object); }
};

inline void FreeX509Stack(STACK_OF(X509) * stack) {
  sk_X509_pop_free(stack, X509_free);
}
inline void FreeGeneralNames(GENERAL_NAMES* names) {
  GENERAL_NAMES_free(names);
}
inline void FreeBioChain(BIO* bio) {
  BIO_free_all(bio);
}

using UniqueBio = std::unique_ptr<BIO, OpenSslDeleter<BIO, FreeBioChain>>;
using UniqueCms =
    std::unique_ptr<CMS_ContentInfo, OpenSslDeleter<CMS_ContentInfo, CMS_ContentInfo_free>>;
using UniqueX509 = std::unique_ptr<X509, OpenSslDeleter<X509, X509_free>>;
using UniqueX509Stack =
    std::unique_ptr<STACK_OF(X509), OpenSslDeleter<STACK_OF(X509), FreeX509Stack>>;
using UniqueX509Store = std::unique_ptr<X509_STORE, OpenSslDeleter<X509_STORE, X509_STORE_free>>;
using UniqueStoreContext =
    std::unique_ptr<X509_STORE_CTX, OpenSslDeleter<X509_STORE_CTX, X509_STORE_CTX_free>>;
using UniqueGeneralNames =
    std::unique_ptr<GENERAL_NAMES, OpenSslDeleter<GENERAL_NAMES, FreeGeneralNames>>;

class ClearOpenSslErrors {
 public:
  ClearOpenSslErrors() = default;
  ~ClearOpenSslErrors() { ERR_clear_error(); }
  ClearOpenSslErrors(const ClearOpenSslErrors&) = delete;
  ClearOpenSslErrors& operator=(const ClearOpenSslErrors&) = delete;
};

}  // namespace tp::host::posix
