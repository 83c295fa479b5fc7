// The published brand names.
#include "net/brand_names.h"

#include <algorithm>
#include <mutex>

#include "base/file_names.h"

namespace tp {
namespace {

std::mutex g_brandNamesMutex;
std::vector<std::wstring> g_brandNames;
uint64_t g_brandNamesVersion = 0;

}  // namespace

bool IsUsableBrandName(std::wstring_view name) {
  if (name.empty() || name.find(L"..") != std::wstring::npos || IsReservedDeviceName(name))
    return false;
  return std::none_of(name.begin(), name.end(), [](wchar_t ch) {
    return ch < 0x20 || ch == 0x7F ||
           std::wstring_view(L"\\/:*?\"<>|").find(ch) != std::wstring_view::npos;
  });
}

std::vector<std::wstring> BrandNameList() {
  std::lock_guard<std::mutex> lock(g_brandNamesMutex);
  return g_brandNames;
}

void PublishBrandNameList(std::vector<std::wstring> names) {
  std::lock_guard<std::mutex> lock(g_brandNamesMutex);
  g_brandNames = std::move(names);
  ++g_brandNamesVersion;
}

uint64_t BrandNameListVersion() {
  std::lock_guard<std::mutex> lock(g_brandNamesMutex);
  return g_brandNamesVersion;
}

}  // namespace tp
