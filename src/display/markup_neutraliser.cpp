// Neutralising the danger patterns in linear time.
//
// Applied literally, each pattern's search starts again at the beginning of the text after
// every edit, which takes time proportional to the number of edits times the length. The
// passes here give the same text in one sweep each:
// - An inserted "x" never creates an occurrence of any pattern (no pattern holds an "x"), and
//   text before an edit does not change, so a pattern's next occurrence is searched for from
//   the edit onwards.
// - Cutting a neutralised element out can join the text before and after it into a new
//   opening mark, so after each cut the next search starts up to one mark's length before
//   the cut; everything further back was searched already.
#include "display/markup_neutraliser.h"

#include "support/text.h"

namespace tp {
namespace {

constexpr std::wstring_view kStylePattern = L"<style";

wchar_t FoldAscii(wchar_t ch) {
  return (ch >= L'A' && ch <= L'Z') ? static_cast<wchar_t>(ch + 32) : ch;
}

// True when `text` holds the lower-case ASCII `pattern` at `at`, letters in either case. No
// other character folds to an ASCII letter, so this is the lower-case copy's comparison.
bool MatchesAt(std::wstring_view text, size_t at, std::wstring_view pattern) {
  if (at > text.size() || text.size() - at < pattern.size())
    return false;
  for (size_t j = 0; j < pattern.size(); ++j) {
    if (FoldAscii(text[at + j]) != pattern[j])
      return false;
  }
  return true;
}

size_t FindFolded(std::wstring_view text, size_t from, std::wstring_view pattern) {
  const wchar_t first = pattern[0];
  const wchar_t upper = (first >= L'a' && first <= L'z') ? static_cast<wchar_t>(first - 32) : first;
  if (pattern.size() > text.size())
    return std::wstring_view::npos;
  const size_t last = text.size() - pattern.size();
  for (size_t at = from; at <= last; ++at) {
    if (first == upper) {
      at = text.find(first, at);
      if (at == std::wstring_view::npos || at > last)
        return std::wstring_view::npos;
    } else if (text[at] != first && text[at] != upper) {
      continue;
    }
    if (MatchesAt(text, at, pattern))
      return at;
  }
  return std::wstring_view::npos;
}

bool IsClosing(std::wstring_view pattern) {
  return pattern[1] == L'/';
}

// Inserts "x" after the first character of every occurrence (the first two of a closing
// pattern).
void InsertMarks(std::wstring* html, std::wstring_view pattern) {
  size_t at = FindFolded(*html, 0, pattern);
  if (at == std::wstring::npos)
    return;
  const size_t offset = IsClosing(pattern) ? 2 : 1;
  std::wstring out;
  out.reserve(html->size() + html->size() / 16);
  size_t from = 0;
  while (at != std::wstring::npos) {
    out.append(*html, from, at + offset - from);
    out.push_back(L'x');
    from = at + offset;
    at = FindFolded(*html, from, pattern);
  }
  out.append(*html, from, std::wstring::npos);
  html->swap(out);
}

// Whether the text `done` + `rest[restFrom..]` holds `pattern` at position `at` of `done`.
bool MatchesAcross(std::wstring_view done, size_t at, std::wstring_view rest, size_t restFrom,
                   std::wstring_view pattern) {
  for (size_t j = 0; j < pattern.size(); ++j) {
    const size_t position = at + j;
    wchar_t ch;
    if (position < done.size()) {
      ch = done[position];
    } else {
      const size_t inRest = restFrom + (position - done.size());
      if (inRest >= rest.size())
        return false;
      ch = rest[inRest];
    }
    if (FoldAscii(ch) != pattern[j])
      return false;
  }
  return true;
}

// A style element's text qualifies for the head when, lower-cased and without its spaces,
// it holds neither "script", nor "url", nor "=".
bool IsPlainStyle(std::wstring_view text) {
  std::wstring squeezed;
  squeezed.reserve(text.size());
  for (wchar_t ch : text) {
    if (ch != L' ')
      squeezed.push_back(ToLowerChar(ch));
  }
  return !Contains(squeezed, L"script") && !Contains(squeezed, L"url") &&
         squeezed.find(L'=') == std::wstring::npos;
}

// Repeatedly cuts out, from the first opening mark through the first ">" at or after the
// first closing mark after it, until one of the three is missing.
void CutElements(std::wstring* html, std::wstring_view open, std::wstring_view close,
                 std::vector<std::wstring>* styles) {
  if (FindFolded(*html, 0, open) == std::wstring::npos)
    return;
  const std::wstring_view source = *html;
  std::wstring done;  // the text before `next`, after the cuts so far
  done.reserve(html->size());
  size_t next = 0;  // where the rest of `source` starts
  for (;;) {
    // The first opening mark of done + source[next..]: done holds none whole, so it either
    // starts in done's last characters and runs on into the rest, or lies in the rest.
    size_t markStart = std::wstring::npos;  // in done
    const size_t tail = done.size() >= open.size() - 1 ? done.size() - (open.size() - 1) : 0;
    for (size_t at = tail; at < done.size(); ++at) {
      if (MatchesAcross(done, at, source, next, open)) {
        markStart = at;
        break;
      }
    }
    if (markStart == std::wstring::npos) {
      const size_t found = FindFolded(source, next, open);
      if (found == std::wstring::npos)
        break;
      done.append(source, next, found - next);
      next = found;
      markStart = done.size();
    }
    // The mark's '<' is its only one, so the closing mark ("</...") starts after the mark.
    const size_t markEnd = next + (open.size() - (done.size() - markStart));
    const size_t closeAt = FindFolded(source, markEnd, close);
    if (closeAt == std::wstring::npos)
      break;
    const size_t greater = source.find(L'>', closeAt);
    if (greater == std::wstring::npos)
      break;
    if (styles) {
      std::wstring element = done.substr(markStart);
      element.append(source, next, closeAt - next);
      if (IsPlainStyle(element)) {
        styles->push_back(L"<" + element.substr(2) + L"</style>");
      }
    }
    done.resize(markStart);
    next = greater + 1;
  }
  done.append(source, next, std::wstring::npos);
  html->swap(done);
}

}  // namespace

void NeutraliseMarkup(std::wstring* html, std::vector<std::wstring>* styles) {
  for (size_t k = 0; k < kDangerPatterns.size(); ++k) {
    const std::wstring_view pattern = kDangerPatterns[k];
    InsertMarks(html, pattern);
    if (!IsClosing(pattern))
      continue;
    // "<x" + the opening pattern after its '<', "</x" + this one after its "</".
    const std::wstring open = L"<x" + std::wstring(kDangerPatterns[k - 1].substr(1));
    const std::wstring close = L"</x" + std::wstring(pattern.substr(2));
    CutElements(html, open, close, kDangerPatterns[k - 1] == kStylePattern ? styles : nullptr);
  }
}

}  // namespace tp
