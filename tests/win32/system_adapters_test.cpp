// The clock, code-page, system-settings and resources adapters on Windows.
#include <gtest/gtest.h>

#include <ctime>

#include "host/common/embedded_resources.h"
#include "host/common/embedded_resources_port.h"
#include "host/win32/win32_clock.h"
#include "host/win32/win32_codec.h"
#include "host/win32/win32_resources.h"
#include "host/win32/win32_system.h"
#include "win32_test_support.h"

namespace tp::testing {
namespace {

using host::win32::Win32Clock;
using host::win32::Win32Codec;
using host::win32::Win32Resources;
using host::win32::Win32System;

TEST(Win32Clock, AgreesWithTheSystemClocks) {
  Win32Clock clock;
  const uint32_t before = ::GetTickCount();
  const uint32_t tick = clock.TickCount();
  EXPECT_LE(tick - before, 1000u);

  const int64_t unix = clock.UnixTime();
  EXPECT_LE(std::llabs(unix - static_cast<int64_t>(std::time(nullptr))), 2);

  SYSTEMTIME local{};
  ::GetLocalTime(&local);
  const host::LocalTime now = clock.Now();
  EXPECT_EQ(now.year, local.wYear);
  EXPECT_EQ(now.month, local.wMonth);
  EXPECT_GE(now.milliseconds, 0);
  EXPECT_LT(now.milliseconds, 1000);
}

TEST(Win32Codec, ConvertsThroughTheCodePages) {
  Win32Codec codec;
  EXPECT_EQ(codec.ToWide(1252, "caf\xE9 \x80"), L"caf\u00E9 \u20AC");
  EXPECT_EQ(codec.FromWide(1252, L"caf\u00E9 \u20AC"), "caf\xE9 \x80");
  EXPECT_EQ(codec.ToWide(65001, "\xD0\x9F\xD1\x80\xD0\xB8"), L"\u041F\u0440\u0438");
  EXPECT_EQ(codec.ToWide(1251, "\xCF\xF0\xE8"), L"\u041F\u0440\u0438");
  // A character the code page lacks becomes its default character.
  EXPECT_EQ(codec.FromWide(1252, L"a\u4E2Db"), "a?b");
  // The ANSI code page round-trips ASCII; empty stays empty.
  EXPECT_EQ(codec.ToWide(host::kCodePageAnsi, "<html>"), L"<html>");
  EXPECT_EQ(codec.ToWide(1252, ""), L"");
  EXPECT_EQ(codec.FromWide(1252, L""), "");
}

TEST(Win32System, ReadsAndRestoresTheDragSetting) {
  Win32System system;
  const bool original = system.DragFullWindows();
  system.SetDragFullWindows(!original);
  EXPECT_EQ(system.DragFullWindows(), !original);
  system.SetDragFullWindows(original);
  EXPECT_EQ(system.DragFullWindows(), original);

  const std::optional<int> dpi = system.ScreenPixelsPerInchX();
  ASSERT_TRUE(dpi.has_value());
  EXPECT_GT(*dpi, 0);
  system.DisableNavigationSounds();  // must simply not fail the process
}

// This program has the add-in's resource script compiled in, so it serves the same resources
// the DLL does; they must equal the data the other hosts embed.
TEST(Win32Resources, ServeTheModulesOwnResources) {
  Win32Resources resources;
  host::EmbeddedResourcesPort embedded;
  for (int id : {225, 226}) {
    const std::optional<std::string> loaded = resources.Load(L"STYLE", id);
    ASSERT_TRUE(loaded.has_value()) << id;
    EXPECT_EQ(loaded, embedded.Load(L"STYLE", id)) << id;
    EXPECT_EQ(resources.Load(L"style", id), loaded) << "type names ignore case";
  }
  EXPECT_FALSE(resources.Load(L"STYLE", 227).has_value());
  EXPECT_FALSE(resources.Load(L"NOSUCHTYPE", 225).has_value());

  for (int id : {1024, 1025}) {
    const std::optional<std::wstring> text = resources.LoadString(id);
    ASSERT_TRUE(text.has_value()) << id;
    EXPECT_EQ(text, embedded.LoadString(id)) << id;
  }
  EXPECT_FALSE(resources.LoadString(1026).has_value());

  const std::optional<host::FileVersion> version = resources.ModuleVersion();
  ASSERT_TRUE(version.has_value());
  const host::FileVersion expected = host::EmbeddedModuleVersion();
  EXPECT_EQ(version->major, expected.major);
  EXPECT_EQ(version->minor, expected.minor);
  EXPECT_EQ(version->build, expected.build);
  EXPECT_EQ(version->revision, expected.revision);
}

}  // namespace
}  // namespace tp::testing
