// Other readers' division of a multipart body.
#include "other_readers.h"

#include <algorithm>
#include <string>

namespace tp::testing {
namespace {

struct Line {
  size_t start = 0;
  size_t end = 0;   // before its line end
  size_t next = 0;  // after its line end
};

std::vector<Line> Lines(std::string_view text) {
  std::vector<Line> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n')
      ++end;
    size_t next = end;
    if (next < text.size() && text[next] == '\r')
      ++next;
    if (next < text.size() && text[next] == '\n' && (next == end || text[next - 1] == '\r'))
      ++next;
    lines.push_back({start, end, next});
    start = next;
  }
  return lines;
}

// 0: not a delimiter line; 1: a delimiter; 2: the closing delimiter.
int Kind(std::string_view line, const std::string& delimiter, DelimiterRule rule) {
  if (line.substr(0, delimiter.size()) != delimiter)
    return 0;
  std::string_view rest = line.substr(delimiter.size());
  const bool closing = rest.substr(0, 2) == "--";
  if (closing)
    rest.remove_prefix(2);
  if (rule == DelimiterRule::kWholeLine &&
      rest.find_first_not_of(" \t") != std::string_view::npos) {
    return 0;
  }
  return closing ? 2 : 1;
}

}  // namespace

OtherReading DivideAsOthersDo(std::string_view body, std::string_view boundary,
                              DelimiterRule rule) {
  const std::string delimiter = "--" + std::string(boundary);
  OtherReading reading;
  bool inPart = false;
  size_t partStart = 0;
  size_t previousEnd = 0;  // where the line end before the current line starts
  for (const Line& line : Lines(body)) {
    const int kind = Kind(body.substr(line.start, line.end - line.start), delimiter, rule);
    if (kind != 0) {
      if (inPart)
        reading.parts.push_back(
            body.substr(partStart, std::max(previousEnd, partStart) - partStart));
      if (kind == 2) {
        reading.closed = true;
        return reading;
      }
      inPart = true;
      partStart = line.next;
    }
    previousEnd = line.end;
  }
  if (inPart)
    reading.parts.push_back(body.substr(partStart));
  return reading;
}

}  // namespace tp::testing
