// Neutralising the danger patterns in linear time.
//
// Applied literally, each pattern's search starts again at the beginning of the text after
// every edit: time grows with the number of edits times the length. The same text comes out
// of a few sweeps, because of what the edits can and cannot do:
// - An inserted "x" never makes an occurrence of a pattern (no pattern holds an "x"). Two
//   patterns' occurrences never overlap, except "</frame" and "</frameset" at one place,
//   where the earlier pattern takes it. A cut never takes part of an occurrence: a cut runs
//   from a "<x" mark to a '>', and a pattern holds a '<' only as its first character and no
//   '>'. Nor does an inserted "x" make or break the marks of an earlier pair, or a '>'.
//   So all insertions can be made at once, first, in one sweep.
// - A cut joins the text around it, which can make a new occurrence across the joint. The
//   patterns that come after the cutting pair would have been neutralised later: they are
//   neutralised at the joint after the pass. Earlier patterns stay as they are.
// - The cut loop restarts at the beginning after each cut; but everything before the cut was
//   searched already, so the next search starts up to one mark's length before the joint.
#include "page/markup_neutraliser.h"

#include <algorithm>
#include <cstdint>

#include "base/text.h"

namespace tp {
namespace {

constexpr size_t kPatterns = kDangerPatterns.size();

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

// The first occurrence at or after `from` of a pattern that begins with '<'.
size_t FindFolded(std::wstring_view text, size_t from, std::wstring_view pattern) {
  for (size_t at = from; at < text.size(); ++at) {
    if (text[at] == L'<' && MatchesAt(text, at, pattern))
      return at;
  }
  return std::wstring_view::npos;
}

// Whether a pattern can begin with this character.
bool CanStartPattern(wchar_t ch) {
  return ch == L'<' || (ch | 0x20) == L'j' || (ch | 0x20) == L'v';
}

bool IsClosing(std::wstring_view pattern) {
  return pattern[1] == L'/';
}

// The patterns by the character that tells them apart: the one after "<", "</", "j" or "v".
class PatternIndex {
 public:
  PatternIndex() {
    for (size_t k = 0; k < kPatterns; ++k) {
      const std::wstring_view pattern = kDangerPatterns[k];
      const bool closing = pattern[0] == L'<' && IsClosing(pattern);
      Bucket(pattern[0], closing, pattern[closing ? 2 : 1]).push_back(static_cast<uint8_t>(k));
    }
  }
  // In index order.
  const std::vector<uint8_t>& Candidates(std::wstring_view text, size_t at) const {
    static const std::vector<uint8_t> kNone;
    const wchar_t start = FoldAscii(text[at]);
    if ((start != L'<' && start != L'j' && start != L'v') || at + 2 >= text.size())
      return kNone;
    const bool closing = start == L'<' && text[at + 1] == L'/';
    const wchar_t key = FoldAscii(text[at + (closing ? 2 : 1)]);
    if (key < L'a' || key > L'z')
      return kNone;
    return m_buckets[Slot(start, closing)][key - L'a'];
  }

 private:
  static size_t Slot(wchar_t start, bool closing) {
    return start == L'j' ? 2 : start == L'v' ? 3 : closing ? 1 : 0;
  }
  std::vector<uint8_t>& Bucket(wchar_t start, bool closing, wchar_t key) {
    return m_buckets[Slot(start, closing)][key - L'a'];
  }

  std::vector<uint8_t> m_buckets[4][26];
};

// The first pattern with an index in [first, last) that occurs at `at`; kPatterns when none.
size_t PatternAt(std::wstring_view text, size_t at, size_t first, size_t last = kPatterns) {
  static const PatternIndex index;
  for (const uint8_t k : index.Candidates(text, at)) {
    if (k >= first && k < last && MatchesAt(text, at, kDangerPatterns[k]))
      return k;
  }
  return kPatterns;
}

// Inserts "x" into the occurrences that start at `starts` (ascending): after their first
// character, or their first two for a closing pattern. In place: the text grows once and
// its pieces move up, the last first.
void InsertAt(std::wstring* html, const std::vector<std::pair<size_t, size_t>>& starts) {
  if (starts.empty())
    return;
  std::wstring& text = *html;
  size_t end = text.size();
  text.resize(end + starts.size());
  for (size_t i = starts.size(); i > 0; --i) {
    const auto& [at, pattern] = starts[i - 1];
    const size_t insertAt = at + (IsClosing(kDangerPatterns[pattern]) ? 2 : 1);
    // text[insertAt, end) moves up by i; the "x" goes just before it.
    std::copy_backward(text.begin() + insertAt, text.begin() + end, text.begin() + end + i);
    text[insertAt + i - 1] = L'x';
    end = insertAt;
  }
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
// first closing mark after it, until one of the three is missing. The text is compacted in
// place: what is kept moves down over what was cut. The positions of the joints in the
// result, ascending.
std::vector<size_t> CutElements(std::wstring* html, std::wstring_view open, std::wstring_view close,
                                std::vector<std::wstring>* styles) {
  std::vector<size_t> joints;
  std::wstring& text = *html;
  if (FindFolded(text, 0, open) == std::wstring::npos)
    return joints;
  size_t kept = 0;  // text[0, kept) is the result so far
  size_t next = 0;  // text[next, end) is still to be read; kept <= next
  auto keep = [&](size_t to) {
    if (kept != next)
      std::copy(text.begin() + next, text.begin() + to, text.begin() + kept);
    kept += to - next;
    next = to;
  };
  for (;;) {
    const std::wstring_view done = std::wstring_view(text).substr(0, kept);
    // The first opening mark of the result so far and the rest: the result holds none
    // whole, so it either starts in its last characters and runs on into the rest, or lies
    // in the rest.
    size_t markStart = std::wstring::npos;  // in the result
    const size_t tail = kept >= open.size() - 1 ? kept - (open.size() - 1) : 0;
    for (size_t at = tail; at < kept; ++at) {
      if (MatchesAcross(done, at, text, next, open)) {
        markStart = at;
        break;
      }
    }
    if (markStart == std::wstring::npos) {
      const size_t found = FindFolded(text, next, open);
      if (found == std::wstring::npos)
        break;
      keep(found);
      markStart = kept;
    }
    // The mark's '<' is its only one, so the closing mark ("</...") starts after the mark.
    const size_t markEnd = next + (open.size() - (kept - markStart));
    const size_t closeAt = FindFolded(text, markEnd, close);
    if (closeAt == std::wstring::npos)
      break;
    const size_t greater = text.find(L'>', closeAt);
    if (greater == std::wstring::npos)
      break;
    if (styles) {
      std::wstring element = text.substr(markStart, kept - markStart);
      element.append(text, next, closeAt - next);
      if (IsPlainStyle(element))
        styles->push_back(L"<" + element.substr(2) + L"</style>");
    }
    kept = markStart;
    next = greater + 1;
    if (joints.empty() || joints.back() != markStart)
      joints.push_back(markStart);
  }
  keep(text.size());
  text.resize(kept);
  return joints;
}

// The marks of the thirteen pairs: "<x" + the opening pattern after its '<' and "</x" + the
// closing one after its "</".
struct Pair {
  size_t closing;  // index of the closing pattern; the opening one is just before it
  std::wstring open;
  std::wstring close;
};

const std::vector<Pair>& Pairs() {
  static const std::vector<Pair> pairs = [] {
    std::vector<Pair> made;
    for (size_t k = 1; k < kPatterns; ++k) {
      if (IsClosing(kDangerPatterns[k])) {
        made.push_back(Pair{k, L"<x" + std::wstring(kDangerPatterns[k - 1].substr(1)),
                            L"</x" + std::wstring(kDangerPatterns[k].substr(2))});
      }
    }
    return made;
  }();
  return pairs;
}

constexpr size_t kLongestMark = 12;  // "</xframeset", "<xmarquee" and the like, with room

// Which pairs' marks occur in the text: bit 2p for pair p's opening mark, 2p+1 for its
// closing one.
uint64_t MarksIn(std::wstring_view text, size_t from = 0, size_t to = std::wstring_view::npos) {
  const std::vector<Pair>& pairs = Pairs();
  uint64_t bits = 0;
  to = std::min(to, text.size());
  for (size_t at = text.find(L'<', from); at < to; at = text.find(L'<', at + 1)) {
    if (at + 2 >= text.size())
      break;
    const bool closing = text[at + 1] == L'/';
    if (FoldAscii(text[at + (closing ? 2 : 1)]) != L'x')
      continue;
    for (size_t p = 0; p < pairs.size(); ++p) {
      if (MatchesAt(text, at, closing ? pairs[p].close : pairs[p].open))
        bits |= uint64_t{1} << (2 * p + (closing ? 1 : 0));
    }
  }
  return bits;
}

// Inserts "x" into every occurrence of the patterns with an index in [first, last), in one
// sweep.
void InsertMarks(std::wstring* html, size_t first, size_t last) {
  std::vector<std::pair<size_t, size_t>> starts;  // position, pattern
  const std::wstring_view text = *html;
  for (size_t at = 0; at < text.size(); ++at) {
    if (!CanStartPattern(text[at]))
      continue;
    const size_t pattern = PatternAt(text, at, first, last);
    if (pattern == kPatterns)
      continue;
    starts.emplace_back(at, pattern);
    at += kDangerPatterns[pattern].size() - 1;
  }
  InsertAt(html, starts);
}

}  // namespace

void NeutraliseMarkup(std::wstring* html, std::vector<std::wstring>* styles) {
  const std::vector<Pair>& pairs = Pairs();
  // The style pair first, on its own: the text of the style elements kept for the head is
  // taken as it is then, before any later pattern is neutralised in it.
  InsertMarks(html, 0, pairs[0].closing + 1);
  (void)CutElements(html, pairs[0].open, pairs[0].close, styles);
  // Every occurrence of every later pattern, in one sweep.
  InsertMarks(html, pairs[0].closing + 1, kPatterns);

  // The other pairs' cuts in order, each only where both its marks occur.
  uint64_t marks = MarksIn(*html);
  std::vector<std::pair<size_t, size_t>> starts;
  for (size_t p = 1; p < pairs.size(); ++p) {
    const uint64_t both = uint64_t{3} << (2 * p);
    if ((marks & both) != both)
      continue;
    const std::vector<size_t> joints = CutElements(html, pairs[p].open, pairs[p].close, nullptr);
    // Patterns after this pair that a joint made; and the marks a joint or those made.
    starts.clear();
    size_t checked = 0;
    for (const size_t joint : joints) {
      const size_t from = std::max(checked, joint >= kLongestMark ? joint - kLongestMark : 0);
      for (size_t at = from; at < joint && at < html->size(); ++at) {
        if (!CanStartPattern((*html)[at]))
          continue;
        const size_t pattern = PatternAt(*html, at, pairs[p].closing + 1);
        if (pattern != kPatterns && at + kDangerPatterns[pattern].size() > joint)
          starts.emplace_back(at, pattern);
      }
      checked = joint;
    }
    InsertAt(html, starts);
    size_t shift = 0;
    for (size_t j = 0, s = 0; j < joints.size(); ++j) {
      while (s < starts.size() && starts[s].first < joints[j]) {
        ++shift;
        ++s;
      }
      const size_t joint = joints[j] + shift;
      marks |= MarksIn(*html, joint >= kLongestMark ? joint - kLongestMark : 0, joint + 1);
    }
  }
}

}  // namespace tp
