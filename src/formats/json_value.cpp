// The tree of a parsed JSON text.
#include "formats/json_value.h"

#include <utility>

namespace tp {

JsonValue::JsonValue(std::wstring text, bool error)
    : type_(JsonType::String), error_(error), value_(std::move(text)) {}

JsonValue::JsonValue(bool value) : type_(JsonType::Bool), value_(value) {}

JsonValue::JsonValue(double value) : type_(JsonType::Number), value_(value) {}

JsonValue::JsonValue(JsonArray elements) : type_(JsonType::Array), value_(std::move(elements)) {}

JsonValue::JsonValue(JsonObject members) : type_(JsonType::Object), value_(std::move(members)) {}

const std::wstring& JsonValue::AsString() const {
  static const std::wstring kEmpty;
  const auto* text = std::get_if<std::wstring>(&value_);
  return text != nullptr ? *text : kEmpty;
}

bool JsonValue::AsBool() const {
  const auto* value = std::get_if<bool>(&value_);
  return value != nullptr && *value;
}

double JsonValue::AsNumber() const {
  const auto* value = std::get_if<double>(&value_);
  return value != nullptr ? *value : 0.0;
}

const JsonArray& JsonValue::AsArray() const {
  static const JsonArray kEmpty;
  const auto* elements = std::get_if<JsonArray>(&value_);
  return elements != nullptr ? *elements : kEmpty;
}

const JsonObject& JsonValue::AsObject() const {
  static const JsonObject kEmpty;
  const auto* members = std::get_if<JsonObject>(&value_);
  return members != nullptr ? *members : kEmpty;
}

}  // namespace tp
