// Outlook's window classes, made real.
#include "outlook_windows.h"

#include <initializer_list>

namespace tp::testing {
namespace {

bool RegisterOutlookClasses() {
  for (const wchar_t* name : {L"rctrl_renwnd32", L"AfxWndW", L"AfxWndA", L"_WwB"}) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = name;
    ::RegisterClassExW(&windowClass);
  }
  return true;
}

HWND Child(const wchar_t* className, HWND parent, int x, int y, int width, int height) {
  return ::CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, y, width,
                           height, parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

OutlookWindowTree::OutlookWindowTree(bool wordBody) {
  static const bool registered = RegisterOutlookClasses();
  (void)registered;
  m_windows.top =
      ::CreateWindowExW(0, L"rctrl_renwnd32", L"Outlook", WS_OVERLAPPEDWINDOW, 0, 0, 900, 700,
                        nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  const HWND frame = Child(L"rctrl_renwnd32", m_windows.top, 0, 0, 880, 660);
  const HWND inner = Child(L"rctrl_renwnd32", frame, 0, 0, 880, 660);
  const HWND pane = Child(L"AfxWndW", inner, 300, 0, 580, 660);
  const HWND paneInner = Child(L"AfxWndW", pane, 0, 0, 580, 660);
  m_windows.dialog = Child(L"#32770", paneInner, 0, 0, 580, 660);
  m_windows.bodyHost = Child(L"AfxWndA", m_windows.dialog, 0, 100, 580, 560);
  m_windows.body = Child(wordBody ? L"_WwB" : L"AfxWndW", m_windows.bodyHost, 0, 0, 580, 560);
}

OutlookWindowTree::~OutlookWindowTree() {
  if (m_windows.top != nullptr)
    ::DestroyWindow(m_windows.top);
}

}  // namespace tp::testing
