// The branded message classes: "IPM.Note.Tidepost." + brand name, and the S/MIME variants,
// and the form regions that Outlook asks the add-in for.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tp {

inline constexpr wchar_t kMessageClassPrefix[] = L"IPM.Note.";  // a form region's name drops it

// Starts with "IPM.Note.SMIME" or holds ".MultipartSigned".
bool IsSmimeClass(const std::wstring& messageClass);
// Holds ".Tidepost".
bool IsBrandedClass(const std::wstring& messageClass);

// The class a message of class `oldClass` gets when branded for `brandName`.
std::wstring BrandedClassFor(const std::wstring& oldClass, const std::wstring& brandName);
// The form regions to register for that class, in registration order.
std::vector<std::wstring> FormRegionsFor(const std::wstring& oldClass,
                                         const std::wstring& brandName);
// The form region of an already branded class, with an S/MIME suffix restored when the class
// lost it.
std::wstring FormRegionOfBrandedClass(const std::wstring& brandedClass);
// The brand name inside a branded class: the text after ".Tidepost." up to the next dot.
// Empty when the class holds no ".Tidepost.". This is the sender name the statistics carry.
std::wstring BrandNameOfClass(const std::wstring& brandedClass, bool* found);
// The whole brand name of a class of one of the three branded forms (dots in the name kept,
// the S/MIME suffix dropped, also when the class lost it); nothing for any other class.
std::optional<std::wstring> BrandOfBrandedClass(const std::wstring& brandedClass);
// The class a branded message had before it was branded: "IPM.Note", "IPM.Note.SMIME" or
// "IPM.Note.SMIME.MultipartSigned".
std::wstring UnbrandedClassOf(const std::wstring& brandedClass);

}  // namespace tp
