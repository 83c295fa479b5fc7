// The Windows platform host: every port over the real system and Outlook.
#include "host/platform.h"
#include "host/win32/outlook/outlook_runtime.h"
#include "host/win32/win32_browsers.h"
#include "host/win32/win32_clock.h"
#include "host/win32/win32_codec.h"
#include "host/win32/win32_connectivity.h"
#include "host/win32/win32_crypto.h"
#include "host/win32/win32_files.h"
#include "host/win32/win32_html.h"
#include "host/win32/win32_http.h"
#include "host/win32/win32_input.h"
#include "host/win32/win32_pictures.h"
#include "host/win32/win32_registry.h"
#include "host/win32/win32_resources.h"
#include "host/win32/win32_system.h"
#include "host/win32/win32_threads.h"
#include "host/win32/win32_type_libraries.h"
#include "host/win32/win32_ui.h"
#include "host/win32/win32_windows.h"

namespace tp::host {

const Host& PlatformHost() {
  static win32::Win32Clock clock;
  static win32::Win32UiThread ui;
  static win32::Win32Registry registry;
  static win32::Win32FileSystem files;
  static win32::Win32Threads threads;
  static win32::Win32System system;
  static win32::Win32Codec codec;
  static win32::Win32Resources resources;
  static win32::Win32OutlookRuntime outlook;
  static win32::Win32HttpTransport http;
  static win32::Win32TypeLibraries typeLibraries;
  static win32::Win32Pictures pictures;
  static win32::Win32WindowTree windows;
  static win32::Win32Input input;
  static win32::Win32Connectivity connectivity;
  static win32::Win32Browsers browsers;
  static win32::Win32MessageCrypto crypto;
  static win32::MshtmlEngine html;
  static const Host host = [] {
    Host made;
    made.clock = &clock;
    made.ui = &ui;
    made.registry = &registry;
    made.files = &files;
    made.threads = &threads;
    made.system = &system;
    made.codec = &codec;
    made.resources = &resources;
    made.outlook = &outlook;
    made.http = &http;
    made.typeLibraries = &typeLibraries;
    made.pictures = &pictures;
    made.windows = &windows;
    made.input = &input;
    made.connectivity = &connectivity;
    made.browsers = &browsers;
    made.crypto = &crypto;
    made.html = &html;
    return made;
  }();
  return host;
}

std::unique_ptr<TrustingMessageCrypto> NewMessageCrypto() {
  return std::make_unique<win32::Win32MessageCrypto>();
}

}  // namespace tp::host
