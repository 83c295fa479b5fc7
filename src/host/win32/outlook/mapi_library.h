// The Extended MAPI functions the add-in calls, from the MAPI32.dll that Outlook has loaded,
// looked up at run time (by name, else by the ordinal of MAPI32's import library) so that the
// add-in has no static MAPI import and loads where MAPI is absent.
#pragma once

#include "host/win32/outlook/mapi_api.h"

namespace tp::host::win32 {

struct MapiFunctions {
  HRESULT(STDAPICALLTYPE* getOneProp)(LPMAPIPROP object, ULONG tag, LPSPropValue* value);
  HRESULT(STDAPICALLTYPE* setOneProp)(LPMAPIPROP object, LPSPropValue value);
  ULONG(STDAPICALLTYPE* freeBuffer)(LPVOID buffer);
  void(STDAPICALLTYPE* freeProws)(LPSRowSet rows);
};

// Null when MAPI32.dll or one of the functions cannot be found. Loaded on first use, never
// from DllMain, and kept for the life of the process.
const MapiFunctions* Mapi32();

// A MAPI allocation, freed with MAPIFreeBuffer at the end of its scope.
class MapiBuffer {
 public:
  explicit MapiBuffer(const MapiFunctions& mapi) : m_mapi(mapi) {}
  ~MapiBuffer() {
    if (m_value != nullptr)
      m_mapi.freeBuffer(m_value);
  }
  MapiBuffer(const MapiBuffer&) = delete;
  MapiBuffer& operator=(const MapiBuffer&) = delete;
  LPSPropValue* Receive() { return &m_value; }
  const SPropValue* get() const { return m_value; }

 private:
  const MapiFunctions& m_mapi;
  LPSPropValue m_value = nullptr;
};

}  // namespace tp::host::win32
