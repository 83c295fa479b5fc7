// JSON text of a recorded request.
#include "standin/request_log.h"

namespace tp::standin {
namespace {

void AppendString(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (const char ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (byte < 0x20 || byte >= 0x7F) {
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    } else {
      out += ch;
    }
  }
  out += '"';
}

}  // namespace

std::string RequestJson(const Request& request) {
  std::string line = "{\"method\":";
  AppendString(line, request.method);
  line += ",\"target\":";
  AppendString(line, request.target);
  line += ",\"headers\":[";
  for (size_t i = 0; i < request.headers.size(); ++i) {
    if (i > 0)
      line += ',';
    line += '[';
    AppendString(line, request.headers[i].first);
    line += ',';
    AppendString(line, request.headers[i].second);
    line += ']';
  }
  line += "],\"body\":";
  AppendString(line, request.body);
  line += '}';
  return line;
}

}  // namespace tp::standin
