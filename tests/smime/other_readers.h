// Two other readings of a multipart body, as mail programs are known to divide one, to hold
// the cutter's cut against: lines end at CR LF, LF or a carriage return alone; a delimiter
// line is either the delimiter alone on its line with blanks after it, or (as RFC 2046's note
// to implementors allows) any line that starts with the delimiter. Written for plainness,
// not speed.
#pragma once

#include <string_view>
#include <vector>

namespace tp::testing {

enum class DelimiterRule { kWholeLine, kLineStart };

struct OtherReading {
  std::vector<std::string_view> parts;  // each without the line end before its delimiter
  bool closed = false;                  // the closing delimiter came
};

OtherReading DivideAsOthersDo(std::string_view body, std::string_view boundary, DelimiterRule rule);

}  // namespace tp::testing
