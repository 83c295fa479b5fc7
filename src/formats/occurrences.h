// Every occurrence of a short pattern in a text, overlapping ones included, in time linear in
// the text whatever both hold (Knuth-Morris-Pratt): a boundary of dashes in a body of dashes
// must not cost the boundary's length at every position.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tp::mime {

class Occurrences {
 public:
  // The text and the pattern must outlive the search; the pattern must not be empty.
  Occurrences(std::string_view text, std::string_view pattern);

  // The start of the next occurrence, or npos once there is none.
  size_t Next();

 private:
  std::string_view m_text;
  std::string_view m_pattern;
  std::vector<size_t> m_fallback;  // per matched length: the longest proper border
  size_t m_position = 0;           // the next byte of the text to read
  size_t m_matched = 0;            // pattern bytes matched before it
};

}  // namespace tp::mime
