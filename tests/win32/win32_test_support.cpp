// Support for the Windows tests.
#include "win32_test_support.h"

#include "base/text.h"
#include "host/win32/unique_resource.h"

namespace tp::testing {
namespace {

constexpr wchar_t kWindowClass[] = L"TidepostTestWindow";

ATOM RegisterTestClass() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = ::DefWindowProcW;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kWindowClass;
  return ::RegisterClassExW(&windowClass);
}

}  // namespace

TestWindow::TestWindow() {
  static const ATOM registered = RegisterTestClass();
  (void)registered;
  m_window = ::CreateWindowExW(0, kWindowClass, L"Tidepost test", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                               100, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

TestWindow::~TestWindow() {
  Destroy();
}

void TestWindow::Destroy() {
  if (m_window != nullptr)
    ::DestroyWindow(m_window);
  m_window = nullptr;
}

void PumpMessages(uint32_t milliseconds, const std::function<bool()>& done, uintptr_t timerId,
                  int* timers) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (timers != nullptr && message.message == WM_TIMER && message.wParam == timerId) {
        ++*timers;
      }
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    if (done && done())
      return;
    const DWORD elapsed = ::GetTickCount() - start;
    if (elapsed >= milliseconds)
      return;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
  }
}

std::wstring ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

std::wstring RealDataFolder() {
  host::win32::UniqueCoTaskString path;
  if (FAILED(::SHGetKnownFolderPath(FOLDERID_LocalAppDataLow, KF_FLAG_CREATE, nullptr,
                                    path.Receive()))) {
    return {};
  }
  return std::wstring(path.get()) + L"\\Tidepost\\";
}

std::vector<std::wstring> ReadLogMessages(const std::wstring& path) {
  std::vector<std::wstring> messages;
  host::win32::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    return messages;
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
    bytes.append(buffer, read);
  }
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE')
    bytes.erase(0, 2);
  const std::wstring text = Utf16LeToWide(bytes);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(L"\r\n", start);
    if (end == std::wstring::npos)
      end = text.size();
    const std::wstring line = text.substr(start, end - start);
    const size_t prefixEnd = line.find(L"] ");
    messages.push_back(prefixEnd == std::wstring::npos ? line : line.substr(prefixEnd + 2));
    start = end + 2;
  }
  return messages;
}

int CountMessage(const std::vector<std::wstring>& messages, const std::wstring& message) {
  int count = 0;
  for (const std::wstring& line : messages) {
    if (line == message)
      ++count;
  }
  return count;
}

}  // namespace tp::testing
