// The host: the set of platform ports the core runs on. One is installed per process (the
// Windows module, the posix tool, or a test's simulated host) before any core code runs.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

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
class Thread;

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

// The host the calling thread runs on: a worker's own (see StartWorker), else the installed
// one.
const Host& Current();
// Installs a host for every thread but the workers already running. Refused (false) while a
// worker of the installed host still runs: whoever installs another host means to let the
// old one go, and the worker would go on using it.
[[nodiscard]] bool Install(const Host& host);
// Changes with every installation, so that values derived from a host can be recomputed.
unsigned long long Generation();

// Starts a worker thread on the installed host's threads. The worker keeps that host for its
// whole life and counts as running until its body has returned and released what it held.
std::unique_ptr<Thread> StartWorker(std::function<void()> body);
// Waits up to timeoutMs (real time) until no worker runs; true when none does.
bool WaitForWorkers(uint32_t timeoutMs);
int RunningWorkers();

// Installs a host for a scope and puts the previous one back at its end (tests, the tool).
// Either installation being refused is a fault of the caller, which must let the workers of
// a host end before it leaves the host's scope: the process ends with a message.
class ScopedHost {
 public:
  explicit ScopedHost(const Host& host);
  ~ScopedHost();
  ScopedHost(const ScopedHost&) = delete;
  ScopedHost& operator=(const ScopedHost&) = delete;

 private:
  Host m_previous;
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
