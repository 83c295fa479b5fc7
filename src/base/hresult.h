// HRESULT values the core returns and compares, without the Windows headers.
#pragma once

#include <cstdint>

namespace tp {

using HResult = int32_t;

namespace hr {
constexpr HResult kOk = 0;
constexpr HResult kFalse = 1;
constexpr HResult kNotImpl = static_cast<HResult>(0x80004001);
constexpr HResult kNoInterface = static_cast<HResult>(0x80004002);
constexpr HResult kPointer = static_cast<HResult>(0x80004003);
constexpr HResult kFail = static_cast<HResult>(0x80004005);
constexpr HResult kUnexpected = static_cast<HResult>(0x8000FFFF);
constexpr HResult kOutOfMemory = static_cast<HResult>(0x8007000E);
constexpr HResult kInvalidArg = static_cast<HResult>(0x80070057);
constexpr HResult kMapiNotFound = static_cast<HResult>(0x8004010F);
constexpr HResult kMapiObjectChanged = static_cast<HResult>(0x80040109);

// HRESULT_FROM_WIN32: a Win32 error code (registry, files) as an HRESULT.
constexpr HResult FromWin32(int32_t error) {
  return error <= 0 ? error
                    : static_cast<HResult>((static_cast<uint32_t>(error) & 0xFFFF) | 0x80070000u);
}

constexpr bool Succeeded(HResult value) {
  return value >= 0;
}
constexpr bool Failed(HResult value) {
  return value < 0;
}
}  // namespace hr

}  // namespace tp
