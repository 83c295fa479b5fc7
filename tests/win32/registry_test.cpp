// The registry adapter on the real registry, under a key of its own that it removes.
#include <gtest/gtest.h>

#include "base/text.h"
#include "host/win32/win32_registry.h"
#include "win32_test_support.h"

namespace tp::testing {
namespace {

using host::RegAccess;
using host::RegistryKey;
using host::RegRoot;
using host::RegType;
using host::RegValue;

RegValue Text(const std::wstring& text) {
  return RegValue{RegType::kString, WideToUtf16Le(text + std::wstring(1, L'\0'))};
}

class Win32RegistryTest : public ::testing::Test {
 protected:
  Win32RegistryTest()
      : m_path(L"Software\\TidepostTest\\" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
               std::to_wstring(::GetTickCount())) {}
  ~Win32RegistryTest() override {
    (void)m_registry.Root(RegRoot::kCurrentUser).DeleteTree(m_path);
    std::unique_ptr<RegistryKey> parent;
    if (m_registry.Root(RegRoot::kCurrentUser)
            .OpenSubKey(L"Software", RegAccess::kReadWrite, &parent) == host::kRegOk) {
      std::wstring left;
      std::unique_ptr<RegistryKey> test;
      if (parent->OpenSubKey(L"TidepostTest", RegAccess::kRead, &test) == host::kRegOk &&
          test->EnumSubKey(0, &left) == host::kRegNoMoreItems) {
        test.reset();
        (void)parent->DeleteTree(L"TidepostTest");
      }
    }
  }

  std::unique_ptr<RegistryKey> Create(const std::wstring& sub = L"") {
    std::unique_ptr<RegistryKey> key;
    EXPECT_EQ(
        m_registry.Root(RegRoot::kCurrentUser)
            .CreateSubKey(sub.empty() ? m_path : m_path + L"\\" + sub, RegAccess::kReadWrite, &key),
        host::kRegOk);
    return key;
  }

  host::win32::Win32Registry m_registry;
  std::wstring m_path;
};

TEST_F(Win32RegistryTest, StoresReadsAndDeletesValues) {
  std::unique_ptr<RegistryKey> key = Create();
  ASSERT_TRUE(key);
  ASSERT_EQ(key->SetValue(L"AP_accessed_outlook", Text(L"1767225600")), host::kRegOk);
  RegValue read;
  ASSERT_EQ(key->QueryValue(L"ap_accessed_OUTLOOK", &read), host::kRegOk) << "names ignore case";
  EXPECT_EQ(read.type, RegType::kString);
  EXPECT_EQ(read.data, Text(L"1767225600").data);

  const RegValue dword{RegType::kDword, std::string("\x2A\0\0\0", 4)};
  ASSERT_EQ(key->SetValue(L"count", dword), host::kRegOk);
  ASSERT_EQ(key->QueryValue(L"count", &read), host::kRegOk);
  EXPECT_EQ(read.type, RegType::kDword);
  EXPECT_EQ(read.data, dword.data);

  // A long value is read whole.
  const std::wstring longText(5000, L'x');
  ASSERT_EQ(key->SetValue(L"long", Text(longText)), host::kRegOk);
  ASSERT_EQ(key->QueryValue(L"long", &read), host::kRegOk);
  EXPECT_EQ(read.data.size(), (longText.size() + 1) * 2);

  EXPECT_EQ(key->DeleteValue(L"count"), host::kRegOk);
  EXPECT_EQ(key->QueryValue(L"count", &read), host::kRegNotFound);
  EXPECT_EQ(key->DeleteValue(L"count"), host::kRegNotFound);
}

TEST_F(Win32RegistryTest, OpensCreatesEnumeratesAndDeletesKeys) {
  std::unique_ptr<RegistryKey> key;
  EXPECT_EQ(m_registry.Root(RegRoot::kCurrentUser).OpenSubKey(m_path, RegAccess::kRead, &key),
            host::kRegNotFound);
  // Creating a deep key makes its parents.
  ASSERT_TRUE(Create(L"FormRegions\\IPM.Note.Tidepost.Shop"));
  ASSERT_TRUE(Create(L"FormRegions\\IPM.Note.Other"));
  std::unique_ptr<RegistryKey> regions;
  ASSERT_EQ(m_registry.Root(RegRoot::kCurrentUser)
                .OpenSubKey(m_path + L"\\FormRegions", RegAccess::kReadWrite, &regions),
            host::kRegOk);
  std::vector<std::wstring> names;
  std::wstring name;
  for (uint32_t index = 0; regions->EnumSubKey(index, &name) == host::kRegOk; ++index) {
    names.push_back(name);
  }
  EXPECT_EQ(names, (std::vector<std::wstring>{L"IPM.Note.Other", L"IPM.Note.Tidepost.Shop"}));
  EXPECT_EQ(regions->EnumSubKey(2, &name), host::kRegNoMoreItems);

  // A key opened for reading and writing can delete a subkey with everything in it.
  ASSERT_TRUE(Create(L"FormRegions\\IPM.Note.Tidepost.Shop\\Deeper"));
  EXPECT_EQ(regions->DeleteTree(L"IPM.Note.Tidepost.Shop"), host::kRegOk);
  EXPECT_EQ(regions->EnumSubKey(0, &name), host::kRegOk);
  EXPECT_EQ(name, L"IPM.Note.Other");
  EXPECT_EQ(regions->EnumSubKey(1, &name), host::kRegNoMoreItems);
  EXPECT_EQ(regions->DeleteTree(L"IPM.Note.Tidepost.Shop"), host::kRegNotFound);
  EXPECT_NE(regions->DeleteTree(L""), host::kRegOk) << "an empty path names no subkey";
}

TEST_F(Win32RegistryTest, HonoursTheAccessAKeyWasOpenedWith) {
  ASSERT_TRUE(Create());
  std::unique_ptr<RegistryKey> readOnly;
  ASSERT_EQ(m_registry.Root(RegRoot::kCurrentUser).OpenSubKey(m_path, RegAccess::kRead, &readOnly),
            host::kRegOk);
  EXPECT_EQ(readOnly->SetValue(L"name", Text(L"value")), host::kRegAccessDenied);

  std::unique_ptr<RegistryKey> writeOnly;
  ASSERT_EQ(
      m_registry.Root(RegRoot::kCurrentUser).OpenSubKey(m_path, RegAccess::kWrite, &writeOnly),
      host::kRegOk);
  EXPECT_EQ(writeOnly->SetValue(L"name", Text(L"value")), host::kRegOk);
  RegValue read;
  EXPECT_EQ(writeOnly->QueryValue(L"name", &read), host::kRegAccessDenied);
}

}  // namespace
}  // namespace tp::testing
