// The in-memory registry tree and its text form.
#include "host/common/registry_tree.h"

#include <map>
#include <vector>

#include "base/text.h"

namespace tp::host {

namespace {
constexpr RegStatus kKeyDeleted = 1018;  // ERROR_KEY_DELETED
constexpr RegStatus kInvalidParameter = 87;

struct NoCaseLess {
  bool operator()(const std::wstring& a, const std::wstring& b) const {
    return ToLower(a) < ToLower(b);
  }
};

std::vector<std::wstring> SplitPath(std::wstring_view path) {
  return SplitSkippingEmpty(path, L'\\');
}

std::wstring JoinPath(std::wstring_view base, std::wstring_view sub) {
  if (base.empty())
    return std::wstring(sub);
  if (sub.empty())
    return std::wstring(base);
  return std::wstring(base) + L"\\" + std::wstring(sub);
}

bool CanWrite(RegAccess access) {
  return access != RegAccess::kRead;
}
bool CanRead(RegAccess access) {
  return access != RegAccess::kWrite;
}

const char* RootName(RegRoot root) {
  switch (root) {
    case RegRoot::kLocalMachine:
      return "HKLM";
    case RegRoot::kCurrentUser:
      return "HKCU";
    case RegRoot::kClassesRoot:
      return "HKCR";
  }
  return "?";
}
}  // namespace

struct RegistryTree::Node {
  std::wstring name;
  std::map<std::wstring, std::shared_ptr<Node>, NoCaseLess> children;
  std::map<std::wstring, RegValue, NoCaseLess> values;
  bool deleted = false;

  void MarkDeleted() {
    deleted = true;
    for (auto& [childName, child] : children)
      child->MarkDeleted();
  }
};

class RegistryTree::Key final : public RegistryKey {
 public:
  Key(RegistryTree& tree, RegRoot root, std::wstring path, std::shared_ptr<Node> node,
      RegAccess access)
      : m_tree(tree),
        m_root(root),
        m_path(std::move(path)),
        m_node(std::move(node)),
        m_access(access) {}

  RegStatus OpenSubKey(const std::wstring& path, RegAccess access,
                       std::unique_ptr<RegistryKey>* key) override {
    std::lock_guard<std::recursive_mutex> lock(m_tree.m_mutex);
    const std::wstring full = JoinPath(m_path, path);
    if (RegStatus status = Before(L"OpenKey", full, {}); status != kRegOk)
      return status;
    if (m_node->deleted)
      return kKeyDeleted;
    std::shared_ptr<Node> node = m_node;
    for (const std::wstring& part : SplitPath(path)) {
      auto child = node->children.find(part);
      if (child == node->children.end())
        return kRegNotFound;
      node = child->second;
    }
    *key = std::make_unique<Key>(m_tree, m_root, full, node, access);
    return kRegOk;
  }

  RegStatus CreateSubKey(const std::wstring& path, RegAccess access,
                         std::unique_ptr<RegistryKey>* key) override {
    std::lock_guard<std::recursive_mutex> lock(m_tree.m_mutex);
    const std::wstring full = JoinPath(m_path, path);
    if (RegStatus status = Before(L"CreateKey", full, {}); status != kRegOk)
      return status;
    if (m_node->deleted)
      return kKeyDeleted;
    const std::vector<std::wstring> parts = SplitPath(path);
    if (parts.empty())
      return kInvalidParameter;
    std::shared_ptr<Node> node = m_node;
    bool created = false;
    for (const std::wstring& part : parts) {
      auto child = node->children.find(part);
      if (child == node->children.end()) {
        if (!CanWrite(m_access))
          return kRegAccessDenied;
        auto fresh = std::make_shared<Node>();
        fresh->name = part;
        child = node->children.emplace(part, fresh).first;
        created = true;
      }
      node = child->second;
    }
    *key = std::make_unique<Key>(m_tree, m_root, full, node, access);
    if (created)
      Changed();
    return kRegOk;
  }

  RegStatus QueryValue(const std::wstring& name, RegValue* value) override {
    std::lock_guard<std::recursive_mutex> lock(m_tree.m_mutex);
    if (RegStatus status = Before(L"QueryValue", m_path, name); status != kRegOk)
      return status;
    if (m_node->deleted)
      return kKeyDeleted;
    if (!CanRead(m_access))
      return kRegAccessDenied;
    auto found = m_node->values.find(name);
    if (found == m_node->values.end())
      return kRegNotFound;
    *value = found->second;
    return kRegOk;
  }

  RegStatus SetValue(const std::wstring& name, const RegValue& value) override {
    std::lock_guard<std::recursive_mutex> lock(m_tree.m_mutex);
    if (RegStatus status = Before(L"SetValue", m_path, name); status != kRegOk)
      return status;
    if (m_node->deleted)
      return kKeyDeleted;
    if (!CanWrite(m_access))
      return kRegAccessDenied;
    m_node->values.erase(name);  // a new spelling of the name replaces the old one
    m_node->values.emplace(name, value);
    Changed();
    return kRegOk;
  }

  RegStatus DeleteValue(const std::wstring& name) override {
    std::lock_guard<std::recursive_mutex> lock(m_tree.m_mutex);
    if (RegStatus status = Before(L"DeleteValue", m_path, name); status != kRegOk)
      return status;
    if (m_node->deleted)
      return kKeyDeleted;
    if (!CanWrite(m_access))
      return kRegAccessDenied;
    if (m_node->values.erase(name) == 0)
      return kRegNotFound;
    Changed();
    return kRegOk;
  }

  RegStatus EnumSubKey(uint32_t index, std::wstring* name) override {
    std::lock_guard<std::recursive_mutex> lock(m_tree.m_mutex);
    if (RegStatus status = Before(L"EnumKey", m_path, {}); status != kRegOk)
      return status;
    if (m_node->deleted)
      return kKeyDeleted;
    if (index >= m_node->children.size())
      return kRegNoMoreItems;
    auto child = m_node->children.begin();
    std::advance(child, index);
    *name = child->second->name;
    return kRegOk;
  }

  RegStatus DeleteTree(const std::wstring& path) override {
    std::lock_guard<std::recursive_mutex> lock(m_tree.m_mutex);
    const std::wstring full = JoinPath(m_path, path);
    if (RegStatus status = Before(L"DeleteTree", full, {}); status != kRegOk)
      return status;
    if (m_node->deleted)
      return kKeyDeleted;
    if (!CanWrite(m_access))
      return kRegAccessDenied;
    const std::vector<std::wstring> parts = SplitPath(path);
    if (parts.empty())
      return kInvalidParameter;
    std::shared_ptr<Node> parent = m_node;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
      auto child = parent->children.find(parts[i]);
      if (child == parent->children.end())
        return kRegNotFound;
      parent = child->second;
    }
    auto victim = parent->children.find(parts.back());
    if (victim == parent->children.end())
      return kRegNotFound;
    victim->second->MarkDeleted();
    parent->children.erase(victim);
    Changed();
    return kRegOk;
  }

 private:
  RegStatus Before(std::wstring_view operation, std::wstring_view keyPath,
                   std::wstring_view valueName) {
    if (!m_tree.m_hooks.before)
      return kRegOk;
    return m_tree.m_hooks.before(RegOperation{operation, m_root, keyPath, valueName});
  }

  void Changed() {
    if (m_tree.m_hooks.changed)
      m_tree.m_hooks.changed();
  }

  RegistryTree& m_tree;
  RegRoot m_root;
  std::wstring m_path;
  std::shared_ptr<Node> m_node;
  RegAccess m_access;
};

RegistryTree::RegistryTree(Hooks hooks) : m_hooks(std::move(hooks)) {
  for (int i = 0; i < 3; ++i) {
    m_roots[i] = std::make_shared<Node>();
    m_rootKeys[i] = std::make_unique<Key>(*this, static_cast<RegRoot>(i), std::wstring(),
                                          m_roots[i], RegAccess::kReadWrite);
  }
}

RegistryTree::~RegistryTree() = default;

RegistryKey& RegistryTree::Root(RegRoot root) {
  return *m_rootKeys[static_cast<int>(root)];
}

// Text form: one line per key ("K <root> <path>") followed by its values
// ("V <name> <type> <hex data>"). Names and paths are percent-encoded UTF-8, so that every
// line splits cleanly at its spaces whatever the names hold.
namespace {

std::string Encode(std::wstring_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char byte : WideToUtf8(text)) {
    if (byte > 0x20 && byte < 0x7F && byte != '%') {
      out += static_cast<char>(byte);
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    }
  }
  return out.empty() ? std::string("%") : out;  // a lone % stands for the empty name
}

bool DecodeHex(std::string_view hex, std::string* bytes) {
  if (hex.size() % 2 != 0)
    return false;
  bytes->clear();
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexDigitValue(hex[i]);
    const int low = HexDigitValue(hex[i + 1]);
    if (high < 0 || low < 0)
      return false;
    *bytes += static_cast<char>(high * 16 + low);
  }
  return true;
}

bool Decode(std::string_view text, std::wstring* out) {
  if (text == "%") {
    out->clear();
    return true;
  }
  std::string bytes;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      bytes += text[i];
      continue;
    }
    std::string byte;
    if (i + 2 >= text.size() || !DecodeHex(text.substr(i + 1, 2), &byte))
      return false;
    bytes += byte;
    i += 2;
  }
  *out = Utf8ToWide(bytes);
  return true;
}

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  size_t start = 0;
  while (start < line.size()) {
    size_t end = line.find(' ', start);
    if (end == std::string_view::npos)
      end = line.size();
    words.push_back(line.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

void SerializeNode(const RegistryTree::Node& node, const char* root, const std::wstring& path,
                   std::string& out) {
  static const char kHex[] = "0123456789ABCDEF";
  if (!path.empty()) {
    out += "K ";
    out += root;
    out += ' ';
    out += Encode(path);
    out += '\n';
    for (const auto& [name, value] : node.values) {
      out += "V " + Encode(name) + ' ' + std::to_string(static_cast<uint32_t>(value.type)) + ' ';
      for (unsigned char byte : value.data) {
        out += kHex[byte >> 4];
        out += kHex[byte & 15];
      }
      out += '\n';
    }
  }
  for (const auto& [childName, child] : node.children) {
    SerializeNode(*child, root, JoinPath(path, child->name), out);
  }
}

}  // namespace

std::string RegistryTree::Serialize() const {
  std::lock_guard<std::recursive_mutex> lock(m_mutex);
  std::string out = "# Tidepost registry\n";
  for (int i = 0; i < 3; ++i) {
    SerializeNode(*m_roots[i], RootName(static_cast<RegRoot>(i)), std::wstring(), out);
  }
  return out;
}

bool RegistryTree::Deserialize(std::string_view text, std::string* error) {
  std::lock_guard<std::recursive_mutex> lock(m_mutex);
  auto fresh = [this] {
    for (auto& root : m_roots) {
      root->MarkDeleted();
    }
    for (int i = 0; i < 3; ++i) {
      m_roots[i] = std::make_shared<Node>();
      m_rootKeys[i] = std::make_unique<Key>(*this, static_cast<RegRoot>(i), std::wstring(),
                                            m_roots[i], RegAccess::kReadWrite);
    }
  };
  fresh();
  std::shared_ptr<Node> current;
  size_t lineNumber = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos)
      end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    if (line.empty() || line[0] == '#')
      continue;
    const std::vector<std::string_view> words = Words(line);
    bool ok = false;
    if (words.size() == 3 && words[0] == "K") {
      int root = -1;
      for (int i = 0; i < 3; ++i) {
        if (words[1] == RootName(static_cast<RegRoot>(i)))
          root = i;
      }
      std::wstring path;
      if (root >= 0 && Decode(words[2], &path)) {
        current = m_roots[root];
        for (const std::wstring& part : SplitPath(path)) {
          auto child = current->children.find(part);
          if (child == current->children.end()) {
            auto node = std::make_shared<Node>();
            node->name = part;
            child = current->children.emplace(part, node).first;
          }
          current = child->second;
        }
        ok = true;
      }
    } else if ((words.size() == 4 || words.size() == 3) && words[0] == "V" && current) {
      std::wstring name;
      RegValue value;
      const std::string type(words[2]);
      const std::string_view hex = words.size() == 4 ? words[3] : std::string_view();
      if (Decode(words[1], &name) && !type.empty() &&
          type.find_first_not_of("0123456789") == std::string::npos && type.size() < 10 &&
          DecodeHex(hex, &value.data)) {
        value.type = static_cast<RegType>(std::stoul(type));
        current->values[name] = value;
        ok = true;
      }
    }
    if (!ok) {
      fresh();
      if (error)
        *error = "malformed line " + std::to_string(lineNumber);
      return false;
    }
  }
  return true;
}

}  // namespace tp::host
