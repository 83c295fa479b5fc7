// Loading MAPI32.dll's functions by ordinal.
#include "host/win32/outlook/mapi_library.h"

#include <mutex>

namespace tp::host::win32 {
namespace {

// The ordinals of MAPI32's import library, and the names of the same functions (decorated in
// 32-bit builds).
constexpr WORD kOrdinalHrGetOneProp = 135;
constexpr WORD kOrdinalHrSetOneProp = 136;
constexpr WORD kOrdinalMapiFreeBuffer = 17;
constexpr WORD kOrdinalFreeProws = 140;
#if defined(_WIN64)
constexpr char kNameHrGetOneProp[] = "HrGetOneProp";
constexpr char kNameHrSetOneProp[] = "HrSetOneProp";
constexpr char kNameMapiFreeBuffer[] = "MAPIFreeBuffer";
constexpr char kNameFreeProws[] = "FreeProws";
#else
constexpr char kNameHrGetOneProp[] = "HrGetOneProp@12";
constexpr char kNameHrSetOneProp[] = "HrSetOneProp@8";
constexpr char kNameMapiFreeBuffer[] = "MAPIFreeBuffer@4";
constexpr char kNameFreeProws[] = "FreeProws@4";
#endif

// Windows' MAPI32 exports each function under both its name and the ordinal; a MAPI32 that is
// numbered differently (Wine's) is still right by name, one without names by the ordinal.
FARPROC Find(HMODULE module, WORD ordinal, const char* name) {
  const FARPROC byName = ::GetProcAddress(module, name);
  return byName != nullptr ? byName : ::GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
}

template <class Function>
Function As(FARPROC procedure) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(procedure));
}

bool Load(MapiFunctions* functions) {
  // Kept loaded for the process: MAPI may not be unloaded from DllMain, and Outlook keeps
  // its MAPI loaded anyway.
  const HMODULE module = ::LoadLibraryW(L"MAPI32.dll");
  if (module == nullptr)
    return false;
  functions->getOneProp =
      As<decltype(functions->getOneProp)>(Find(module, kOrdinalHrGetOneProp, kNameHrGetOneProp));
  functions->setOneProp =
      As<decltype(functions->setOneProp)>(Find(module, kOrdinalHrSetOneProp, kNameHrSetOneProp));
  functions->freeBuffer = As<decltype(functions->freeBuffer)>(
      Find(module, kOrdinalMapiFreeBuffer, kNameMapiFreeBuffer));
  functions->freeProws =
      As<decltype(functions->freeProws)>(Find(module, kOrdinalFreeProws, kNameFreeProws));
  return functions->getOneProp != nullptr && functions->setOneProp != nullptr &&
         functions->freeBuffer != nullptr && functions->freeProws != nullptr;
}

}  // namespace

const MapiFunctions* Mapi32() {
  static MapiFunctions functions{};
  static bool loaded = false;
  static std::once_flag once;
  std::call_once(once, [] { loaded = Load(&functions); });
  return loaded ? &functions : nullptr;
}

}  // namespace tp::host::win32
