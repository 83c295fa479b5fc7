// The Authentication-Results reader.
#include "branding/auth_results.h"

#include "base/text.h"

namespace tp {
namespace {

enum class TokenKind { kWord, kQuoted, kEquals };

struct Token {
  TokenKind kind;
  std::wstring text;
};

bool IsWhite(wchar_t ch) {
  return ch == L' ' || ch == L'\t' || ch == L'\r' || ch == L'\n';
}

bool EndsWord(wchar_t ch) {
  return IsWhite(ch) || ch == L'(' || ch == L')' || ch == L'"' || ch == L';' || ch == L'=';
}

// The leading run of letters, digits, underscores and hyphens: a result keyword.
std::wstring Keyword(std::wstring_view word) {
  size_t end = 0;
  while (end < word.size() &&
         ((word[end] >= L'a' && word[end] <= L'z') || (word[end] >= L'A' && word[end] <= L'Z') ||
          (word[end] >= L'0' && word[end] <= L'9') || word[end] == L'_' || word[end] == L'-')) {
    ++end;
  }
  return ToLowerAscii(word.substr(0, end));
}

// Builds one segment from its tokens: "method=result" when it starts with one, then every
// "name=value" that follows.
AuthSegment MakeSegment(const std::vector<Token>& tokens, bool first, bool endsAfterValue,
                        std::wstring comments, std::wstring* authservId) {
  AuthSegment segment;
  segment.comments = std::move(comments);
  size_t i = 0;
  const bool startsWithClause = tokens.size() >= 3 && tokens[0].kind == TokenKind::kWord &&
                                tokens[1].kind == TokenKind::kEquals &&
                                tokens[2].kind == TokenKind::kWord;
  if (first && !startsWithClause) {
    if (i < tokens.size() && tokens[i].kind != TokenKind::kEquals &&
        !(i + 1 < tokens.size() && tokens[i + 1].kind == TokenKind::kEquals)) {
      *authservId = ToLowerAscii(tokens[i].text);
      ++i;
    }
  } else if (startsWithClause) {
    std::wstring method = ToLowerAscii(tokens[0].text);
    const size_t slash = method.find(L'/');
    if (slash != std::wstring::npos)
      method.resize(slash);
    segment.result = Keyword(tokens[2].text);
    if (!method.empty() && !segment.result.empty())
      segment.method = std::move(method);
    i = 3;
  }
  bool lastWasPair = i == 3;
  while (i < tokens.size()) {
    if (i + 2 < tokens.size() && tokens[i].kind == TokenKind::kWord &&
        tokens[i + 1].kind == TokenKind::kEquals && tokens[i + 2].kind != TokenKind::kEquals) {
      segment.properties.push_back({ToLowerAscii(tokens[i].text), tokens[i + 2].text});
      i += 3;
      lastWasPair = true;
    } else {
      ++i;
      lastWasPair = false;
    }
  }
  if (lastWasPair && endsAfterValue && tokens.size() >= 3) {
    segment.trailingName = ToLowerAscii(tokens[tokens.size() - 3].text);
    segment.trailingValue = tokens.back().text;
  }
  return segment;
}

// Reads the comment whose "(" is at `*at`, nesting by a counter; a quoted string inside it
// (an address a provider copied) is opaque, so its parentheses neither open nor close
// anything. Returns the text inside the parentheses (up to the end of `value` when the comment
// is not closed) and leaves `*at` after it.
std::wstring_view ReadComment(std::wstring_view value, size_t* at) {
  size_t i = *at + 1;
  size_t depth = 1;
  bool quoted = false;
  const size_t begin = i;
  size_t end = value.size();
  while (i < value.size()) {
    const wchar_t c = value[i];
    if (c == L'\\') {
      i += 2;
      continue;
    }
    if (quoted) {
      quoted = c != L'"';
    } else if (c == L'"') {
      quoted = true;
    } else if (c == L'(') {
      ++depth;
    } else if (c == L')' && --depth == 0) {
      end = i;
      ++i;
      break;
    }
    ++i;
  }
  *at = i > value.size() ? value.size() : i;
  return value.substr(begin, (end < value.size() ? end : value.size()) - begin);
}

// Reads the quoted string whose opening quote is at `*at`, a backslash taking the character
// after it as it is; leaves `*at` after the closing quote (at the end of `value` when there is
// none).
std::wstring ReadQuoted(std::wstring_view value, size_t* at) {
  size_t i = *at + 1;
  std::wstring text;
  while (i < value.size() && value[i] != L'"') {
    if (value[i] == L'\\' && i + 1 < value.size())
      ++i;
    text += value[i];
    ++i;
  }
  *at = i < value.size() ? i + 1 : i;
  return text;
}

}  // namespace

std::wstring AuthSegment::Property(std::wstring_view name) const {
  for (const AuthProperty& property : properties) {
    if (property.name == name)
      return property.value;
  }
  return {};
}

AuthResults ReadAuthResults(std::wstring_view value) {
  AuthResults results;
  std::vector<Token> tokens;
  std::wstring comments;
  // Whether anything but white space followed the segment's last token (a comment does).
  bool endsAfterValue = true;
  auto finishSegment = [&] {
    // A run of empty segments is kept as one, so that a value of semicolons costs no more
    // memory than its text.
    const bool empty = tokens.empty() && comments.empty();
    if (empty && !results.segments.empty() && results.segments.back().IsEmpty())
      return;
    results.segments.push_back(MakeSegment(tokens, results.segments.empty(), endsAfterValue,
                                           std::move(comments), &results.authservId));
    tokens.clear();
    comments.clear();
    endsAfterValue = true;
  };

  // A word or quoted string that touches the one before ("\"a b\"@x.example") continues it.
  size_t tokenEnd = static_cast<size_t>(-1);
  auto addText = [&](size_t begin, TokenKind kind, std::wstring text) {
    if (begin == tokenEnd && !tokens.empty() && tokens.back().kind != TokenKind::kEquals) {
      tokens.back().text += text;
    } else {
      tokens.push_back({kind, std::move(text)});
    }
  };

  size_t i = 0;
  while (i < value.size()) {
    const wchar_t ch = value[i];
    if (IsWhite(ch)) {
      ++i;
    } else if (ch == L';') {
      finishSegment();
      ++i;
    } else if (ch == L'(') {
      if (!comments.empty())
        comments += L' ';
      comments.append(ReadComment(value, &i));
      endsAfterValue = false;
    } else if (ch == L'"') {
      const size_t begin = i;
      std::wstring text = ReadQuoted(value, &i);
      addText(begin, TokenKind::kQuoted, std::move(text));
      tokenEnd = i;
      endsAfterValue = true;
    } else if (ch == L'=') {
      tokens.push_back({TokenKind::kEquals, std::wstring(L"=")});
      ++i;
      endsAfterValue = true;
    } else if (ch == L')') {
      ++i;  // a stray closing parenthesis closes nothing
    } else {
      const size_t begin = i;
      while (i < value.size() && !EndsWord(value[i]))
        ++i;
      addText(begin, TokenKind::kWord, std::wstring(value.substr(begin, i - begin)));
      tokenEnd = i;
      endsAfterValue = true;
    }
  }
  finishSegment();
  return results;
}

std::wstring DomainOfIdentity(std::wstring_view identity) {
  const size_t at = identity.rfind(L'@');
  return ToLower(at == std::wstring_view::npos ? identity : identity.substr(at + 1));
}

}  // namespace tp
