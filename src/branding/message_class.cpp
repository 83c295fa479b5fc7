// Branded message classes and their form regions.
#include "branding/message_class.h"

#include "base/format.h"
#include "base/text.h"

namespace tp {
namespace {
constexpr size_t kPrefixLength = 9;  // "IPM.Note."

bool StartsWith(const std::wstring& text, std::wstring_view prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}
}  // namespace

bool IsSmimeClass(const std::wstring& messageClass) {
  return StartsWith(messageClass, L"IPM.Note.SMIME") || Contains(messageClass, L".MultipartSigned");
}

bool IsBrandedClass(const std::wstring& messageClass) {
  return Contains(messageClass, L".Tidepost");
}

std::wstring BrandedClassFor(const std::wstring& oldClass, const std::wstring& brandName) {
  if (!IsSmimeClass(oldClass))
    return Format(L"IPM.Note.Tidepost.%s", brandName);
  if (Contains(oldClass, L".MultipartSigned")) {
    return Format(L"IPM.Note.SMIME.MultipartSigned.Tidepost.%s.SMIME.MultipartSigned", brandName);
  }
  return Format(L"IPM.Note.SMIME.Tidepost.%s.SMIME", brandName);
}

std::vector<std::wstring> FormRegionsFor(const std::wstring& oldClass,
                                         const std::wstring& brandName) {
  std::vector<std::wstring> regions{Format(L"Tidepost.%s", brandName)};
  if (IsSmimeClass(oldClass)) {
    regions.push_back(
        Format(L"SMIME.MultipartSigned.Tidepost.%s.SMIME.MultipartSigned", brandName));
    regions.push_back(Format(L"SMIME.Tidepost.%s.SMIME", brandName));
  }
  return regions;
}

std::wstring FormRegionOfBrandedClass(const std::wstring& brandedClass) {
  std::wstring name =
      brandedClass.size() > kPrefixLength ? brandedClass.substr(kPrefixLength) : std::wstring();
  if (!Contains(name, L".SMIME")) {
    if (StartsWith(name, L"SMIME.MultipartSigned.")) {
      name += L".SMIME.MultipartSigned";
    } else if (StartsWith(name, L"SMIME.")) {
      name += L".SMIME";
    }
  }
  return name;
}

std::wstring BrandNameOfClass(const std::wstring& brandedClass, bool* found) {
  constexpr std::wstring_view kMarker = L".Tidepost.";
  const size_t at = brandedClass.find(kMarker);
  *found = at != std::wstring::npos;
  if (!*found)
    return {};
  std::wstring name = brandedClass.substr(at + kMarker.size());
  const size_t dot = name.find(L'.');
  if (dot != std::wstring::npos && dot != 0)
    name.resize(dot);
  return name;
}

std::optional<std::wstring> BrandOfBrandedClass(const std::wstring& brandedClass) {
  constexpr struct {
    std::wstring_view prefix;
    std::wstring_view suffix;
  } kForms[] = {
      {L"IPM.Note.SMIME.MultipartSigned.Tidepost.", L".SMIME.MultipartSigned"},
      {L"IPM.Note.SMIME.Tidepost.", L".SMIME"},
      {L"IPM.Note.Tidepost.", L""},
  };
  for (const auto& form : kForms) {
    if (!StartsWith(brandedClass, form.prefix))
      continue;
    std::wstring name = brandedClass.substr(form.prefix.size());
    if (!form.suffix.empty() && name.size() >= form.suffix.size() &&
        name.compare(name.size() - form.suffix.size(), form.suffix.size(), form.suffix) == 0) {
      name.resize(name.size() - form.suffix.size());
    }
    return name;
  }
  return std::nullopt;
}

std::wstring UnbrandedClassOf(const std::wstring& brandedClass) {
  if (StartsWith(brandedClass, L"IPM.Note.SMIME.MultipartSigned") ||
      Contains(brandedClass, L".MultipartSigned")) {
    return L"IPM.Note.SMIME.MultipartSigned";
  }
  if (StartsWith(brandedClass, L"IPM.Note.SMIME"))
    return L"IPM.Note.SMIME";
  return L"IPM.Note";
}

}  // namespace tp
