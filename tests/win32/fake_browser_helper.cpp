// The stand-in browser helper object.
#include "fake_browser_helper.h"

#include <new>

#include "host/win32/scoped_bstr.h"

namespace tp::testing {
namespace {

using host::win32::IBrowserHelper;
using host::win32::ScopedBstr;

class FakeBrowserHelper final
    : public ComObject<FakeBrowserHelper, IBrowserHelper, IObjectWithSite> {
 public:
  static ComPtr<FakeBrowserHelper> Create(std::shared_ptr<BrowserHelperRecord> record) {
    return ComPtr<FakeBrowserHelper>::Adopt(new (std::nothrow)
                                                FakeBrowserHelper(std::move(record)));
  }
  void* FindInterface(REFIID iid) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, host::win32::kIidBrowserHelper)) {
      return static_cast<IBrowserHelper*>(this);
    }
    if (IsEqualIID(iid, IID_IObjectWithSite))
      return static_cast<IObjectWithSite*>(this);
    return nullptr;
  }

  // IDispatch: not used by the add-in, which calls the interface early bound.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    return E_NOTIMPL;
  }

  STDMETHODIMP SetHostWindow(LONGLONG window) override {
    m_record->calls.push_back(L"SetHostWindow");
    m_record->hostWindow = window;
    return Answer(L"SetHostWindow");
  }
  STDMETHODIMP SetPageContent(BSTR page) override {
    m_record->calls.push_back(L"SetPageContent");
    m_record->page = ScopedBstr::ToWide(page);
    return Answer(L"SetPageContent");
  }
  STDMETHODIMP SetMessageInfo(BSTR sender, BSTR subject, BSTR entryId, BSTR account,
                              BSTR provider) override {
    m_record->calls.push_back(L"SetMessageInfo");
    m_record->messageInfo = {ScopedBstr::ToWide(sender), ScopedBstr::ToWide(subject),
                             ScopedBstr::ToWide(entryId), ScopedBstr::ToWide(account),
                             ScopedBstr::ToWide(provider)};
    return Answer(L"SetMessageInfo");
  }

  STDMETHODIMP SetSite(IUnknown* site) override {
    m_record->calls.push_back(site != nullptr ? L"SetSite" : L"SetSite null");
    m_record->site = ComPtr<IUnknown>(site);
    return S_OK;
  }
  STDMETHODIMP GetSite(REFIID iid, void** site) override {
    if (!m_record->site) {
      *site = nullptr;
      return E_FAIL;
    }
    return m_record->site->QueryInterface(iid, site);
  }

 private:
  explicit FakeBrowserHelper(std::shared_ptr<BrowserHelperRecord> record)
      : m_record(std::move(record)) {
    ++m_record->alive;
  }
  ~FakeBrowserHelper() override {
    --m_record->alive;
    if (m_record->callsRunning > 0)
      ++m_record->releasedInCall;
  }

  // What the helper does inside its call. The object may be released meanwhile (a fault the
  // record counts), so nothing of it is touched afterwards.
  HRESULT Answer(const wchar_t* call) {
    const std::shared_ptr<BrowserHelperRecord> record = m_record;
    if (record->duringCall) {
      ++record->callsRunning;
      record->duringCall(call);
      --record->callsRunning;
    }
    return S_OK;
  }

  std::shared_ptr<BrowserHelperRecord> m_record;
};

}  // namespace

ComPtr<FakeBrowserHelperFactory> FakeBrowserHelperFactory::Create(
    std::shared_ptr<BrowserHelperRecord> record) {
  return ComPtr<FakeBrowserHelperFactory>::Adopt(new (std::nothrow)
                                                     FakeBrowserHelperFactory(std::move(record)));
}

void* FakeBrowserHelperFactory::FindInterface(REFIID iid) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory))
    return static_cast<IClassFactory*>(this);
  return nullptr;
}

STDMETHODIMP FakeBrowserHelperFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (outer != nullptr)
    return CLASS_E_NOAGGREGATION;
  ComPtr<FakeBrowserHelper> helper = FakeBrowserHelper::Create(m_record);
  if (!helper)
    return E_OUTOFMEMORY;
  ++m_record->made;
  return helper->QueryInterface(iid, object);
}

}  // namespace tp::testing
