// The simulated window tree.
#include "host/sim/sim_windows.h"

#include <algorithm>

#include "base/format.h"
#include "host/sim/sim_input.h"

namespace tp::host::sim {
namespace {
constexpr int kLongestParentChain = 64;
}  // namespace

WindowHandle SimWindowTree::Create(const std::wstring& className, WindowHandle parent,
                                   const Rect& rect, bool visible, const std::wstring& text) {
  if (parent != 0 && Use(parent, L"CreateWindow") == nullptr)
    return 0;
  const WindowHandle window = m_next;
  m_next += 0x10;
  m_windows[window] = Window{className, text, parent, visible, rect};
  Send(window, kWmCreate);
  return window;
}

bool SimWindowTree::Destroy(WindowHandle window) {
  if (Use(window, L"DestroyWindow") == nullptr)
    return false;
  DestroyTree(window);
  return true;
}

void SimWindowTree::DestroyTree(WindowHandle window) {
  if (InCallFrom(window))
    releasedInCall.push_back(Format(L"DestroyWindow %x", window));
  for (WindowHandle child : Children(window))
    DestroyTree(child);
  Send(window, kWmNcDestroy);
  m_windows.erase(window);
  destroyed.push_back(window);
  if (focus == window)
    focus = 0;
}

void SimWindowTree::LeaveCallFrom(WindowHandle browserWindow) {
  auto found = m_callsFrom.find(browserWindow);
  if (found != m_callsFrom.end())
    m_callsFrom.erase(found);
}

const SimWindowTree::Window* SimWindowTree::Find(WindowHandle window) const {
  auto found = m_windows.find(window);
  return found == m_windows.end() ? nullptr : &found->second;
}

void SimWindowTree::Send(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  m_input.DeliverMessage(WindowMessage{window, message, wParam, lParam});
}

std::vector<WindowHandle> SimWindowTree::Children(WindowHandle parent) const {
  std::vector<WindowHandle> children;
  for (const auto& [handle, window] : m_windows) {
    if (window.parent == parent && parent != 0)
      children.push_back(handle);
  }
  return children;
}

SimWindowTree::Window* SimWindowTree::Use(WindowHandle window, const wchar_t* call) {
  auto found = m_windows.find(window);
  if (found != m_windows.end())
    return &found->second;
  if (std::find(destroyed.begin(), destroyed.end(), window) != destroyed.end()) {
    staleUses.push_back(Format(L"%s %x", call, window));
  }
  return nullptr;
}

WindowHandle SimWindowTree::FindChild(WindowHandle parent, const std::wstring& className) {
  if (Use(parent, L"FindWindowEx") == nullptr)
    return 0;
  for (WindowHandle child : Children(parent)) {
    if (m_windows[child].className == className)
      return child;
  }
  return 0;
}

WindowHandle SimWindowTree::Parent(WindowHandle window) {
  const Window* found = Use(window, L"GetParent");
  return found == nullptr ? 0 : found->parent;
}

WindowHandle SimWindowTree::Root(WindowHandle window) {
  if (Use(window, L"GetAncestor") == nullptr)
    return 0;
  for (int step = 0; step < kLongestParentChain; ++step) {
    const WindowHandle parent = m_windows[window].parent;
    if (parent == 0)
      break;
    window = parent;
  }
  return window;
}

bool SimWindowTree::IsVisible(WindowHandle window) {
  if (Use(window, L"IsWindowVisible") == nullptr)
    return false;
  for (int step = 0; step < kLongestParentChain && window != 0; ++step) {
    const Window& state = m_windows[window];
    if (!state.visible)
      return false;
    window = state.parent;
  }
  return true;
}

std::optional<Rect> SimWindowTree::ClientRect(WindowHandle window) {
  const Window* found = Use(window, L"GetClientRect");
  if (found == nullptr)
    return std::nullopt;
  return Rect{0, 0, found->rect.width(), found->rect.height()};
}

std::optional<Rect> SimWindowTree::ScreenRect(WindowHandle window) {
  const Window* found = Use(window, L"GetWindowRect");
  if (found == nullptr)
    return std::nullopt;
  Rect rect = found->rect;
  WindowHandle parent = found->parent;
  for (int step = 0; step < kLongestParentChain && parent != 0; ++step) {
    const Window& state = m_windows[parent];
    rect.left += state.rect.left;
    rect.right += state.rect.left;
    rect.top += state.rect.top;
    rect.bottom += state.rect.top;
    parent = state.parent;
  }
  return rect;
}

bool SimWindowTree::Show(WindowHandle window, bool show) {
  Window* found = Use(window, show ? L"ShowWindow SW_SHOW" : L"ShowWindow SW_HIDE");
  if (found == nullptr)
    return false;
  const bool wasVisible = found->visible;
  if (wasVisible != show) {
    found->visible = show;
    Send(window, kWmShowWindow, show ? 1 : 0);
  }
  return wasVisible;
}

bool SimWindowTree::SetPosition(WindowHandle window, int x, int y, int width, int height,
                                uint32_t flags) {
  Window* found = Use(window, L"SetWindowPos");
  if (found == nullptr)
    return false;
  Rect& rect = found->rect;
  if ((flags & kSwpNoMove) == 0) {
    rect = Rect{x, y, x + rect.width(), y + rect.height()};
  }
  if ((flags & kSwpNoSize) == 0) {
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
  }
  if ((flags & kSwpShowWindow) != 0)
    found->visible = true;
  if ((flags & kSwpHideWindow) != 0)
    found->visible = false;
  Send(window, kWmWindowPosChanged);
  return true;
}

bool SimWindowTree::SetParent(WindowHandle window, WindowHandle parent) {
  Window* found = Use(window, L"SetParent");
  if (found == nullptr || (parent != 0 && Use(parent, L"SetParent") == nullptr))
    return false;
  found->parent = parent;
  return true;
}

bool SimWindowTree::SetText(WindowHandle window, const std::wstring& text) {
  Window* found = Use(window, L"SetWindowText");
  if (found == nullptr)
    return false;
  found->text = text;
  return true;
}

bool SimWindowTree::PostMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                                intptr_t lParam) {
  if (Use(window, L"PostMessage") == nullptr)
    return false;
  posted.push_back(PostedMessage{window, message, wParam, lParam});
  return true;
}

void SimWindowTree::ShowMessageBox(WindowHandle owner, const std::wstring& text,
                                   const std::wstring& caption, uint32_t type) {
  if (owner != 0)
    (void)Use(owner, L"MessageBox");
  messageBoxes.push_back(MessageBoxShown{owner, text, caption, type});
}

}  // namespace tp::host::sim
