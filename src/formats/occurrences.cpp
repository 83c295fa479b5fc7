// Linear pattern search.
#include "formats/occurrences.h"

namespace tp::mime {

Occurrences::Occurrences(std::string_view text, std::string_view pattern)
    : m_text(text), m_pattern(pattern), m_fallback(pattern.size(), 0) {
  size_t matched = 0;
  for (size_t i = 1; i < m_pattern.size(); ++i) {
    while (matched > 0 && m_pattern[i] != m_pattern[matched])
      matched = m_fallback[matched - 1];
    if (m_pattern[i] == m_pattern[matched])
      ++matched;
    m_fallback[i] = matched;
  }
}

size_t Occurrences::Next() {
  while (m_position < m_text.size()) {
    const char ch = m_text[m_position++];
    while (m_matched > 0 && ch != m_pattern[m_matched])
      m_matched = m_fallback[m_matched - 1];
    if (ch == m_pattern[m_matched])
      ++m_matched;
    if (m_matched == m_pattern.size()) {
      m_matched = m_fallback[m_matched - 1];
      return m_position - m_pattern.size();
    }
  }
  return std::string_view::npos;
}

}  // namespace tp::mime
