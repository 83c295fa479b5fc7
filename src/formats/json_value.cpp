// The tree of a parsed JSON text.
#include "formats/json_value.h"

#include <utility>

namespace tp {

JsonValue::JsonValue(std::wstring text, bool error)
    : m_type(JsonType::String), m_error(error), m_value(std::move(text)) {}

JsonValue::JsonValue(bool value) : m_type(JsonType::Bool), m_value(value) {}

JsonValue::JsonValue(double value) : m_type(JsonType::Number), m_value(value) {}

JsonValue::JsonValue(JsonArray elements) : m_type(JsonType::Array), m_value(std::move(elements)) {}

JsonValue::JsonValue(JsonObject members) : m_type(JsonType::Object), m_value(std::move(members)) {}

const std::wstring& JsonValue::AsString() const {
  static const std::wstring kEmpty;
  const auto* text = std::get_if<std::wstring>(&m_value);
  return text != nullptr ? *text : kEmpty;
}

bool JsonValue::AsBool() const {
  const auto* value = std::get_if<bool>(&m_value);
  return value != nullptr && *value;
}

double JsonValue::AsNumber() const {
  const auto* value = std::get_if<double>(&m_value);
  return value != nullptr ? *value : 0.0;
}

const JsonArray& JsonValue::AsArray() const {
  static const JsonArray kEmpty;
  const auto* elements = std::get_if<JsonArray>(&m_value);
  return elements != nullptr ? *elements : kEmpty;
}

const JsonObject& JsonValue::AsObject() const {
  static const JsonObject kEmpty;
  const auto* members = std::get_if<JsonObject>(&m_value);
  return members != nullptr ? *members : kEmpty;
}

}  // namespace tp
