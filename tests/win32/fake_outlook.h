// A fake Outlook session built from fake dispatch objects: the application with its "MAPI"
// namespace, an explorer with a window, a selection of one mail item, the inspectors, a folder
// with a one-row table, and the MAPI objects behind them. Each event source has its
// connection point.
#pragma once

#include <string>
#include <vector>

#include "fake_dispatch.h"
#include "fake_mapi.h"

namespace tp::testing {

struct FakeOutlookOptions {
  std::wstring version = L"16.0.0.4266";
  bool hasExplorer = true;
  bool answersApplicationInterface = true;  // false: another Office program
};

class FakeOutlook {
 public:
  static constexpr wchar_t kMailEntryId[] = L"00000000A1B2C3D4";
  static constexpr char kMailMapiEntryId[] = "\x01\x02mail";

  explicit FakeOutlook(HWND explorerWindow, FakeOutlookOptions options = {});

  IDispatch* ApplicationArgument() const { return application.get(); }
  FakeConnectionPoint& applicationEvents() const;
  FakeConnectionPoint& explorerEvents() const;
  FakeConnectionPoint& inspectorsEvents() const;
  // The one inspector's own events (InspectorEvents_10).
  FakeConnectionPoint& inspectorEvents() const;
  // Sinks advised on all three event sources.
  size_t AdvisedSinks() const;
  // An attachment of the mail: its content id (empty: none) in PR_ATTACH_CONTENT_ID_W of its
  // MAPI object; SaveAsFile writes its bytes, or fails with `saveResult`.
  void AddAttachment(const std::wstring& fileName, const std::wstring& contentId,
                     const std::string& bytes, HRESULT saveResult = S_OK);

  ComPtr<FakeDispatch> application;
  ComPtr<FakeDispatch> nameSpace;
  ComPtr<FakeDispatch> explorer;
  ComPtr<FakeDispatch> inspectors;
  ComPtr<FakeDispatch> inspector;
  ComPtr<FakeDispatch> selection;
  ComPtr<FakeDispatch> mail;
  ComPtr<FakeDispatch> attachments;  // the mail's Attachments collection
  ComPtr<FakeDispatch> account;
  ComPtr<FakeDispatch> folder;
  ComPtr<FakeDispatch> outbox;
  ComPtr<FakeDispatch> store;
  ComPtr<FakeDispatch> table;
  ComPtr<FakeDispatch> columns;
  ComPtr<FakeDispatch> row;
  ComPtr<FakeMapiSession> session;
  ComPtr<FakeMessage> message;

 private:
  std::vector<ComPtr<FakeDispatch>> m_attachmentList;
};

}  // namespace tp::testing
