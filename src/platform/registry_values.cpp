// Typed registry values.
#include "platform/registry_values.h"

#include "base/text.h"
#include "host/host.h"

namespace tp {

std::wstring StringFromRegData(const std::string& data) {
  std::wstring text = Utf16LeToWide(data);
  const size_t zero = text.find(L'\0');
  if (zero != std::wstring::npos) {
    text.resize(zero);
  }
  return text;
}

std::optional<std::wstring> ReadStringValue(host::RegistryKey& key, const std::wstring& name,
                                            size_t maxBytes) {
  host::RegValue value;
  if (key.QueryValue(name, &value) != host::kRegOk) {
    return std::nullopt;
  }
  if (value.type != host::RegType::kString && value.type != host::RegType::kExpandString) {
    return std::nullopt;
  }
  if (value.data.size() > maxBytes) {
    return std::nullopt;
  }
  return StringFromRegData(value.data);
}

host::RegStatus WriteStringValue(host::RegistryKey& key, const std::wstring& name,
                                 std::wstring_view text) {
  host::RegValue value;
  value.type = host::RegType::kString;
  value.data = WideToUtf16Le(text);
  value.data.append(2, '\0');
  return key.SetValue(name, value);
}

host::RegStatus WriteDwordValue(host::RegistryKey& key, const std::wstring& name, uint32_t number) {
  host::RegValue value;
  value.type = host::RegType::kDword;
  for (int shift = 0; shift < 32; shift += 8) {
    value.data += static_cast<char>((number >> shift) & 0xFF);
  }
  return key.SetValue(name, value);
}

std::unique_ptr<host::RegistryKey> OpenRegistryKey(host::RegRoot root, const std::wstring& path,
                                                   host::RegAccess access) {
  std::unique_ptr<host::RegistryKey> key;
  if (host::registry().Root(root).OpenSubKey(path, access, &key) != host::kRegOk) {
    return nullptr;
  }
  return key;
}

}  // namespace tp
