// The tree of a parsed JSON text: one heap node per value, each owning its subtree.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "base/text.h"

namespace tp {

enum class JsonType { Null = 0, String = 1, Bool = 2, Number = 3, Array = 4, Object = 5 };

class JsonValue;
using JsonArray = std::vector<std::unique_ptr<JsonValue>>;
// Members ordered by the UTF-16 code units of their names, the same on every platform;
// look-ups accept any string view.
using JsonObject = std::map<std::wstring, std::unique_ptr<JsonValue>, Utf16Less>;

class JsonValue {
 public:
  JsonValue() = default;  // Null
  // A String node, or with `error` set the error node whose text is the message.
  JsonValue(std::wstring text, bool error);
  explicit JsonValue(bool value);
  explicit JsonValue(double value);
  explicit JsonValue(JsonArray elements);
  explicit JsonValue(JsonObject members);
  // A bare literal string would otherwise become a Bool.
  JsonValue(const wchar_t* text) = delete;

  JsonValue(const JsonValue&) = delete;
  JsonValue& operator=(const JsonValue&) = delete;

  JsonType type() const { return m_type; }
  bool IsError() const { return m_error; }

  // Each accessor gives the empty (or false, or 0) value when the node is of another type.
  const std::wstring& AsString() const;
  bool AsBool() const;
  double AsNumber() const;
  const JsonArray& AsArray() const;
  const JsonObject& AsObject() const;

 private:
  JsonType m_type = JsonType::Null;
  bool m_error = false;
  std::variant<std::monostate, std::wstring, bool, double, JsonArray, JsonObject> m_value;
};

}  // namespace tp
