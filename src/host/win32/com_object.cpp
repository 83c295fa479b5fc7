// QueryInterface tables.
#include "host/win32/com_object.h"

namespace tp::host::win32 {

void* FindInTable(void* object, std::span<const QueryEntry> table, REFIID iid) {
  if (table.empty())
    return nullptr;
  if (IsEqualIID(iid, IID_IUnknown))
    return table.front().cast(object);
  for (const QueryEntry& entry : table) {
    if (IsEqualIID(iid, *entry.iid))
      return entry.cast(object);
  }
  return nullptr;
}

}  // namespace tp::host::win32
