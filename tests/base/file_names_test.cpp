// Device names that no file in our folders may take.
#include "base/file_names.h"

#include <gtest/gtest.h>

namespace tp {
namespace {

TEST(FileNamesTest, DeviceNamesAloneOrBeforeAnExtensionInAnyCase) {
  const struct {
    const wchar_t* name;
    bool device;
  } cases[] = {
      {L"CON", true},      {L"con", true},         {L"CON.ico", true},   {L"Nul  ", true},
      {L"nul .ico", true}, {L"AUX.a.b", true},     {L"prn", true},       {L"COM1", true},
      {L"com9.ico", true}, {L"LPT0", true},        {L"LPT\u00B9", true}, {L"COM\u00B3", true},
      {L"CONIN$", true},   {L"conout$.ico", true}, {L"CONSOLE", false},  {L"COM10", false},
      {L"COM", false},     {L"LPTX", false},       {L"XCON", false},     {L" CON", false},
      {L"Acme", false},    {L"Acme.CON", false},   {L"", false},         {L"COM\u00B4", false},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(IsReservedDeviceName(test.name), test.device) << test.name;
  }
}

}  // namespace
}  // namespace tp
