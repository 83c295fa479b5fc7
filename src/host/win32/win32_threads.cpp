// Events and module-pinning threads on Windows.
#include "host/win32/win32_threads.h"

#include <system_error>

#include "host/win32/unique_resource.h"

namespace tp::host::win32 {
namespace {

class Win32Event final : public Event {
 public:
  explicit Win32Event(UniqueHandle event) : m_event(std::move(event)) {}

  void Set() override { ::SetEvent(m_event.get()); }
  void Reset() override { ::ResetEvent(m_event.get()); }
  WaitResult Wait(uint32_t timeoutMs) override {
    switch (::WaitForSingleObject(m_event.get(), timeoutMs)) {
      case WAIT_OBJECT_0:
        return WaitResult::kSignaled;
      case WAIT_TIMEOUT:
        return WaitResult::kTimeout;
      default:
        return WaitResult::kFailed;
    }
  }

 private:
  UniqueHandle m_event;
};

// What a started thread owns: its body and the module reference it drops as it exits.
struct ThreadStart {
  std::function<void()> body;
  HMODULE module = nullptr;
};

void RunBody(ThreadStart* start) {
  try {
    start->body();
  } catch (...) {
    // No exception leaves a thread; the body has logged what it knows.
  }
  delete start;
}

DWORD WINAPI ThreadMain(void* parameter) {
  auto* start = static_cast<ThreadStart*>(parameter);
  const HMODULE module = start->module;
  RunBody(start);  // everything the body owned is gone before the module may go
  if (module != nullptr)
    ::FreeLibraryAndExitThread(module, 0);
  return 0;
}

class Win32Thread final : public Thread {
 public:
  explicit Win32Thread(UniqueHandle thread) : m_thread(std::move(thread)) {}
  // Closing the handle of a running thread detaches it; it runs on to its end.
  ~Win32Thread() override = default;

  bool Join(uint32_t timeoutMs) override {
    return ::WaitForSingleObject(m_thread.get(), timeoutMs) == WAIT_OBJECT_0;
  }

 private:
  UniqueHandle m_thread;
};

// A reference on the module that holds this code (the add-in DLL); null in a program, whose
// module never unloads.
HMODULE PinThisModule() {
  HMODULE module = nullptr;
  if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(&ThreadMain), &module)) {
    return nullptr;
  }
  if (module == ::GetModuleHandleW(nullptr)) {
    ::FreeLibrary(module);
    return nullptr;
  }
  return module;
}

}  // namespace

std::shared_ptr<Event> Win32Threads::CreateEvent(bool manualReset) {
  UniqueHandle event(::CreateEventW(nullptr, manualReset ? TRUE : FALSE, FALSE, nullptr));
  if (!event) {
    throw std::system_error(static_cast<int>(LastError()), std::system_category(), "CreateEventW");
  }
  return std::make_shared<Win32Event>(std::move(event));
}

std::unique_ptr<Thread> Win32Threads::StartThread(std::function<void()> body) {
  auto* start = new ThreadStart{std::move(body), PinThisModule()};
  UniqueHandle thread(::CreateThread(nullptr, 0, &ThreadMain, start, 0, nullptr));
  if (!thread) {
    const uint32_t error = LastError();
    if (start->module != nullptr)
      ::FreeLibrary(start->module);
    delete start;
    throw std::system_error(static_cast<int>(error), std::system_category(), "CreateThread");
  }
  return std::make_unique<Win32Thread>(std::move(thread));
}

uint32_t Win32Threads::CurrentThreadId() {
  return static_cast<uint32_t>(::GetCurrentThreadId());
}

}  // namespace tp::host::win32
