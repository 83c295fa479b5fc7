// A stand-in for the maker's browser helper object, served from this process under its class
// id: it records the calls the add-in makes on it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fake_dispatch.h"
#include "host/win32/browser/browser_ids.h"

namespace tp::testing {

struct BrowserHelperRecord {
  std::vector<std::wstring> calls;  // "SetHostWindow", "SetPageContent", ...
  LONGLONG hostWindow = 0;
  std::wstring page;
  std::vector<std::wstring> messageInfo;
  ComPtr<IUnknown> site;  // what SetSite attached it to
  int made = 0;
  int alive = 0;           // objects made and not yet released
  int callsRunning = 0;    // duringCall hooks running
  int releasedInCall = 0;  // objects released while one ran: must stay 0
  // Run inside each IBrowserHelper call, given its name, as the maker's helper may send its
  // messages or run a message loop from inside a call.
  std::function<void(const wchar_t* call)> duringCall;
};

class FakeBrowserHelperFactory final : public ComObject<FakeBrowserHelperFactory, IClassFactory> {
 public:
  static ComPtr<FakeBrowserHelperFactory> Create(std::shared_ptr<BrowserHelperRecord> record);
  void* FindInterface(REFIID iid);
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }

 private:
  explicit FakeBrowserHelperFactory(std::shared_ptr<BrowserHelperRecord> record)
      : m_record(std::move(record)) {}
  ~FakeBrowserHelperFactory() override = default;

  std::shared_ptr<BrowserHelperRecord> m_record;
};

}  // namespace tp::testing
