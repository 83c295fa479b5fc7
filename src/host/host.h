// The host: the set of platform ports the core runs on. One is installed per process (the
// Windows module, the posix tool, or a test's simulated host) before any core code runs.
#pragma once

namespace tp::host {

class Clock;
class UiThread;
class Registry;
class FileSystem;
class Threads;
class System;
class TextCodec;
class Resources;
class OutlookRuntime;
class HttpTransport;
class TypeLibraryRegistrar;
class Pictures;
class WindowTree;
class Input;
class Connectivity;
class Browsers;
class MessageCrypto;
class HtmlEngine;

struct Host {
  Clock* clock = nullptr;
  UiThread* ui = nullptr;
  Registry* registry = nullptr;
  FileSystem* files = nullptr;
  Threads* threads = nullptr;
  System* system = nullptr;
  TextCodec* codec = nullptr;
  Resources* resources = nullptr;
  OutlookRuntime* outlook = nullptr;
  HttpTransport* http = nullptr;
  TypeLibraryRegistrar* typeLibraries = nullptr;
  Pictures* pictures = nullptr;
  WindowTree* windows = nullptr;
  Input* input = nullptr;
  Connectivity* connectivity = nullptr;
  Browsers* browsers = nullptr;
  MessageCrypto* crypto = nullptr;
  HtmlEngine* html = nullptr;
};

// The installed host. Installing replaces the whole set; it must not race with core code
// running on other threads (install before starting workers, after stopping them).
const Host& Current();
void Install(const Host& host);
// Changes with every installation, so that values derived from a host can be recomputed.
unsigned long long Generation();

// Installs a host for a scope and puts the previous one back at its end (tests, the tool).
class ScopedHost {
 public:
  explicit ScopedHost(const Host& host);
  ~ScopedHost();
  ScopedHost(const ScopedHost&) = delete;
  ScopedHost& operator=(const ScopedHost&) = delete;

 private:
  Host previous_;
};

// Shorthands for the core.
inline Clock& clock() {
  return *Current().clock;
}
inline UiThread& ui() {
  return *Current().ui;
}
inline Registry& registry() {
  return *Current().registry;
}
inline FileSystem& files() {
  return *Current().files;
}
inline Threads& threads() {
  return *Current().threads;
}
inline System& system() {
  return *Current().system;
}
inline TextCodec& codec() {
  return *Current().codec;
}
inline Resources& resources() {
  return *Current().resources;
}
inline OutlookRuntime& outlook() {
  return *Current().outlook;
}
inline HttpTransport& http() {
  return *Current().http;
}
inline TypeLibraryRegistrar& typeLibraries() {
  return *Current().typeLibraries;
}
inline Pictures& pictures() {
  return *Current().pictures;
}
inline WindowTree& windows() {
  return *Current().windows;
}
inline Input& input() {
  return *Current().input;
}
inline Connectivity& connectivity() {
  return *Current().connectivity;
}
inline Browsers& browsers() {
  return *Current().browsers;
}
inline MessageCrypto& crypto() {
  return *Current().crypto;
}
inline HtmlEngine& html() {
  return *Current().html;
}

}  // namespace tp::host
