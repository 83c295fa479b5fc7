// CryptoAPI's handles and allocations as owned resources (unique_resource.h): certificate
// stores, certificate contexts, certificate chains, cryptographic messages, and LocalAlloc'd
// results of CryptDecodeObjectEx.
#pragma once

#include "host/win32/unique_resource.h"
#include "host/win32/win32_api.h"

// clang-format off
#include <wincrypt.h>
// clang-format on

namespace tp::host::win32 {

struct CertStoreTraits {
  using Handle = HCERTSTORE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle store) { return store != nullptr; }
  static void Close(Handle store) { ::CertCloseStore(store, 0); }
};
using UniqueCertStore = UniqueResource<CertStoreTraits>;

struct CertContextTraits {
  using Handle = PCCERT_CONTEXT;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle certificate) { return certificate != nullptr; }
  static void Close(Handle certificate) { ::CertFreeCertificateContext(certificate); }
};
using UniqueCertContext = UniqueResource<CertContextTraits>;

struct CertChainTraits {
  using Handle = PCCERT_CHAIN_CONTEXT;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle chain) { return chain != nullptr; }
  static void Close(Handle chain) { ::CertFreeCertificateChain(chain); }
};
using UniqueCertChain = UniqueResource<CertChainTraits>;

struct CryptMsgTraits {
  using Handle = HCRYPTMSG;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle message) { return message != nullptr; }
  static void Close(Handle message) { ::CryptMsgClose(message); }
};
using UniqueCryptMsg = UniqueResource<CryptMsgTraits>;

// What CryptDecodeObjectEx allocates with CRYPT_DECODE_ALLOC_FLAG (LocalAlloc).
struct LocalMemoryTraits {
  using Handle = void*;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle memory) { return memory != nullptr; }
  static void Close(Handle memory) { ::LocalFree(memory); }
};
using UniqueLocalMemory = UniqueResource<LocalMemoryTraits>;

}  // namespace tp::host::win32
