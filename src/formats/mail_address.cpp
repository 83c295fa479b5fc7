// Address fields: a lexer for RFC 5322's tokens (comments and folding white space dropped)
// and a reader of the first mailbox of an address list.
#include "formats/mail_address.h"

#include <vector>

#include "formats/encoded_words.h"
#include "formats/mime_charsets.h"

namespace tp::mime {
namespace {

enum class TokenKind { kAtom, kQuoted, kLiteral, kSpecial, kEnd };

struct Token {
  TokenKind kind = TokenKind::kEnd;
  // An atom as written; a quoted string's or domain literal's content with quoted-pairs
  // undone; a special's one character.
  std::string text;
  bool spaceBefore = false;  // white space or a comment separates it from what came before
  bool closed = true;        // false for a quoted string or domain literal the field's end cut
  // Of the comments between the previous token and this one: the first character among
  // @ < > , : ; that they hold (0: none), and whether they hold an angle bracket.
  char commentSpecial = 0;
  bool commentAngle = false;
};

// The first character of `text` that separates addresses or their parts, or 0.
char FirstAddressSpecial(std::string_view text) {
  const size_t found = text.find_first_of("@<>,:;");
  return found == std::string_view::npos ? 0 : text[found];
}

bool HoldsAngle(std::string_view text) {
  return text.find_first_of("<>") != std::string_view::npos;
}

bool IsSpaceByte(char ch) {
  return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
}

// The characters that end an atom. Bytes above 127 are atom text (UTF-8 addresses).
bool EndsAtom(char ch) {
  switch (ch) {
    case '(':
    case ')':
    case '<':
    case '>':
    case '@':
    case ',':
    case ';':
    case ':':
    case '\\':
    case '"':
    case '.':
    case '[':
    case ']':
      return true;
    default:
      // Control characters are no atom text: they end it, and as specials they make the
      // address unreadable rather than part of it.
      return IsSpaceByte(ch) || static_cast<unsigned char>(ch) < 32 || ch == 127;
  }
}

bool IsSpecial(const Token& token, char ch) {
  return token.kind == TokenKind::kSpecial && token.text[0] == ch;
}

bool IsWord(const Token& token) {
  return token.kind == TokenKind::kAtom || token.kind == TokenKind::kQuoted;
}

// RFC 5322 atext (with bytes above 127, as RFC 6532 allows).
bool IsAtext(char ch) {
  return !EndsAtom(ch) && static_cast<unsigned char>(ch) > 32 && ch != 127;
}

// Splits a field into tokens one at a time, skipping folding white space and comments
// (nested comments are counted, not recursed into). The first comment's text is kept: an
// old-style "user@example.com (Name)" names its mailbox that way.
class Lexer {
 public:
  explicit Lexer(std::string_view text) : m_text(text) {}

  Token Next() {
    Token token;
    m_pendingSpecial = 0;
    m_pendingAngle = false;
    token.spaceBefore = SkipSpaceAndComments();
    token.commentSpecial = m_pendingSpecial;
    token.commentAngle = m_pendingAngle;
    if (m_pos >= m_text.size())
      return token;
    const char ch = m_text[m_pos];
    if (ch == '"') {
      token.kind = TokenKind::kQuoted;
      token.closed = ReadDelimited('"', /*keepSpace=*/true, &token.text);
    } else if (ch == '[') {
      token.kind = TokenKind::kLiteral;
      token.closed = ReadDelimited(']', /*keepSpace=*/false, &token.text);
    } else if (EndsAtom(ch)) {
      token.kind = TokenKind::kSpecial;
      token.text = std::string(1, ch);
      ++m_pos;
    } else {
      token.kind = TokenKind::kAtom;
      const size_t start = m_pos;
      while (m_pos < m_text.size() && !EndsAtom(m_text[m_pos]))
        ++m_pos;
      token.text = std::string(m_text.substr(start, m_pos - start));
    }
    return token;
  }

  // The first comment met since the last call to ForgetComment.
  const std::string& comment() const { return m_comment; }
  void ForgetComment() {
    m_comment.clear();
    m_haveComment = false;
  }
  // Whether a comment ran to the end of the field without its closing parenthesis.
  bool unclosedComment() const { return m_unclosedComment; }

 private:
  bool SkipSpaceAndComments() {
    bool skipped = false;
    while (m_pos < m_text.size()) {
      if (IsSpaceByte(m_text[m_pos])) {
        ++m_pos;
      } else if (m_text[m_pos] == '(') {
        ReadComment();
      } else {
        break;
      }
      skipped = true;
    }
    return skipped;
  }

  // From an opening parenthesis to its matching closing one (or the end of the field).
  void ReadComment() {
    std::string content;
    int depth = 0;
    for (; m_pos < m_text.size(); ++m_pos) {
      const char ch = m_text[m_pos];
      if (ch == '\\' && m_pos + 1 < m_text.size()) {
        content += m_text[++m_pos];
        continue;
      }
      if (ch == '(' && depth++ == 0)
        continue;
      if (ch == ')' && --depth == 0) {
        ++m_pos;
        break;
      }
      content += IsSpaceByte(ch) ? ' ' : ch;
    }
    m_unclosedComment = m_unclosedComment || depth > 0;
    if (m_pendingSpecial == 0)
      m_pendingSpecial = FirstAddressSpecial(content);
    m_pendingAngle = m_pendingAngle || HoldsAngle(content);
    if (!m_haveComment) {
      m_comment = std::move(content);
      m_haveComment = true;
    }
  }

  // A quoted string or domain literal from its opening character; false when the field ends
  // first. Quoted-pairs give the character they quote; line ends of folds are dropped.
  bool ReadDelimited(char close, bool keepSpace, std::string* out) {
    for (++m_pos; m_pos < m_text.size(); ++m_pos) {
      const char ch = m_text[m_pos];
      if (ch == close) {
        ++m_pos;
        return true;
      }
      if (ch == '\\' && m_pos + 1 < m_text.size()) {
        out->push_back(m_text[++m_pos]);
      } else if (ch == '\r' || ch == '\n') {
        continue;
      } else if (keepSpace || !IsSpaceByte(ch)) {
        out->push_back(ch);
      }
    }
    return false;
  }

  std::string_view m_text;
  size_t m_pos = 0;
  std::string m_comment;
  bool m_haveComment = false;
  char m_pendingSpecial = 0;
  bool m_pendingAngle = false;
  bool m_unclosedComment = false;
};

// Why the first address is not a readable mailbox.
constexpr wchar_t kNoAt[] = L"the address has no @ and domain";
constexpr wchar_t kNoLocalPart[] = L"the address has nothing before its @";
constexpr wchar_t kNoDomain[] = L"the address has no domain after its @";
constexpr wchar_t kNameWithoutBrackets[] =
    L"a display name without angle brackets around the address";
constexpr wchar_t kTwoAddresses[] = L"two addresses without a comma between them";
constexpr wchar_t kTextAfterAddress[] = L"text after the address";
constexpr wchar_t kEmptyAngle[] = L"nothing between the angle brackets";
constexpr wchar_t kUnclosedQuote[] = L"a quoted string that is never closed";
constexpr wchar_t kUnclosedLiteral[] = L"a domain literal that is never closed";
constexpr wchar_t kStrayClose[] = L"a '>' without its '<'";
constexpr wchar_t kNestedGroup[] = L"a group inside a group";
constexpr wchar_t kEmptyField[] = L"the field is empty";
constexpr wchar_t kOnlyEmptyGroups[] = L"it holds only groups without a mailbox";

const wchar_t* UnclosedProblem(const Token& token) {
  return token.kind == TokenKind::kLiteral ? kUnclosedLiteral : kUnclosedQuote;
}

bool IsDotAtom(std::string_view text) {
  if (text.empty() || text.front() == '.' || text.back() == '.')
    return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '.') {
      if (text[i + 1] == '.')
        return false;
    } else if (!IsAtext(text[i])) {
      return false;
    }
  }
  return true;
}

// The local part of the address spelled by tokens[*at, end), in its current or obsolete form
// (words joined by dots); leaves `*at` past the "@" after it. `quoted` tells whether a quoted
// string was part of it.
bool ReadLocalPart(const std::vector<Token>& tokens, size_t* at, size_t end, std::string* local,
                   bool* quoted, const wchar_t** problem) {
  size_t i = *at;
  bool wantWord = true;
  for (; i < end && !IsSpecial(tokens[i], '@'); ++i) {
    const Token& token = tokens[i];
    if (IsSpecial(token, '.')) {
      // Repeated and trailing dots are not allowed, but some Japanese mobile carriers gave
      // out such addresses ("taro..x.@docomo.example"): they are kept as written.
      *local += '.';
      wantWord = true;
    } else if (IsWord(token) && wantWord) {
      *local += token.text;
      *quoted = *quoted || token.kind == TokenKind::kQuoted;
      wantWord = false;
    } else if (IsWord(token)) {
      // Two words without a dot: the text before an address was meant as its name.
      *problem = kNameWithoutBrackets;
      for (size_t k = i; k < end; ++k) {
        if (IsSpecial(tokens[k], '@'))
          return false;
      }
      *problem = kNoAt;
      return false;
    } else {
      *problem = kTextAfterAddress;
      return false;
    }
  }
  if (i == end) {
    *problem = kNoAt;
    return false;
  }
  if (local->empty() && !*quoted) {
    *problem = kNoLocalPart;
    return false;
  }
  *at = i + 1;  // past the '@'
  return true;
}

// The domain from tokens[*at, end): a domain literal, or atoms joined by dots; leaves `*at`
// after it. Empty when there is none.
std::string ReadDomain(const std::vector<Token>& tokens, size_t* at, size_t end) {
  size_t i = *at;
  std::string domain;
  if (i < end && tokens[i].kind == TokenKind::kLiteral) {
    domain += '[';
    for (char ch : tokens[i].text) {
      // What the reader would drop or end on unescaped is escaped, so that the address reads
      // back as itself.
      if (ch == '[' || ch == ']' || ch == '\\' || IsSpaceByte(ch))
        domain += '\\';
      domain += ch;
    }
    domain += ']';
    ++i;
  } else {
    bool wantWord = true;
    for (; i < end; ++i) {
      const Token& token = tokens[i];
      if (IsSpecial(token, '.') && !wantWord) {
        domain += '.';
        wantWord = true;
      } else if (token.kind == TokenKind::kAtom && wantWord) {
        domain += token.text;
        wantWord = false;
      } else {
        break;
      }
    }
  }
  *at = i;
  return domain;
}

// A local part as a quoted string, with what a quoted string cannot hold plainly escaped.
std::string Requoted(const std::string& local) {
  std::string requoted = "\"";
  for (char ch : local) {
    if (ch == '"' || ch == '\\' || ch == '\r' || ch == '\n')
      requoted += '\\';
    requoted += ch;
  }
  return requoted + "\"";
}

// The address proper spelled by tokens[begin, end): local part "@" domain, each in its current
// or obsolete form (words and atoms joined by dots, with white space and comments between).
bool ReadAddrSpec(const std::vector<Token>& tokens, size_t begin, size_t end, std::string* address,
                  const wchar_t** problem) {
  std::string local;
  bool quoted = false;
  size_t i = begin;
  if (!ReadLocalPart(tokens, &i, end, &local, &quoted, problem))
    return false;
  const std::string domain = ReadDomain(tokens, &i, end);
  if (domain.empty()) {
    *problem = kNoDomain;
    return false;
  }
  if (i < end) {
    *problem = kTextAfterAddress;
    for (size_t k = i; k < end; ++k) {
      if (IsSpecial(tokens[k], '@'))
        *problem = kTwoAddresses;
    }
    return false;
  }
  if (quoted && !IsDotAtom(local))
    local = Requoted(local);
  *address = local + "@" + domain;
  return true;
}

// A display name from its words: one space where the field had white space or a comment.
std::wstring PhraseText(const std::vector<Token>& tokens, std::string_view rawCharset) {
  std::string text;
  for (const Token& token : tokens) {
    if (token.spaceBefore && !text.empty())
      text += ' ';
    if (token.kind == TokenKind::kLiteral) {
      text += "[" + token.text + "]";
    } else {
      text += token.text;
    }
  }
  return DecodeHeaderText(text, rawCharset);
}

// What the tokens of one mailbox showed about how else it could be read.
struct MailboxMarks {
  bool route = false;
  char specialInComment = 0;
  char specialInQuotes = 0;
  bool encodedWord = false;
  bool angleOutside = false;
  bool unclosedAngle = false;

  // A token of the address proper: its comment before it (when that comment is inside the
  // address too), its quoted text and its atoms.
  void AddAddressToken(const Token& token, bool commentInside) {
    if (commentInside && specialInComment == 0)
      specialInComment = token.commentSpecial;
    if (token.kind == TokenKind::kQuoted && specialInQuotes == 0)
      specialInQuotes = FirstAddressSpecial(token.text);
    encodedWord = encodedWord || token.text.find("=?") != std::string::npos;
  }
  // A token outside the address proper (a display name's word, or what follows the address),
  // or only the comment before a token when just that comment is outside.
  void AddOutsideToken(const Token& token) {
    AddOutsideComment(token);
    angleOutside = angleOutside || (token.kind == TokenKind::kQuoted && HoldsAngle(token.text));
  }
  void AddOutsideComment(const Token& token) { angleOutside = angleOutside || token.commentAngle; }
};

// Reads the address list one element at a time: to the first mailbox, or to its end.
class AddressListReader {
 public:
  AddressListReader(std::string_view text, std::string_view rawCharset)
      : m_lexer(text), m_rawCharset(rawCharset) {
    Advance();
  }

  // Fills `shape`; with `firstOnly` it stops at the first mailbox, with no problem then.
  void Read(bool firstOnly, AddressListShape* shape) {
    bool inGroup = false;
    bool afterElement = false;  // a list element ended just before the current token
    bool separatorLast = false;
    while (m_current.kind != TokenKind::kEnd) {
      if (IsSpecial(m_current, ',') || IsSpecial(m_current, ';')) {
        // A separator, the end of a group, or an empty element of an obsolete list.
        const bool closesGroup = inGroup && IsSpecial(m_current, ';');
        if (closesGroup) {
          inGroup = false;
        } else if (!afterElement || IsSpecial(m_current, ';')) {
          ++shape->emptyElements;
        }
        afterElement = closesGroup;
        separatorLast = IsSpecial(m_current, ',');
        NextElement();
        continue;
      }
      separatorLast = false;
      const std::vector<Token> words = ReadWords();
      if (IsSpecial(m_current, ':')) {
        // "display-name:" opens a group; its mailboxes follow.
        if (inGroup)
          return Fail(kNestedGroup, shape);
        if (const wchar_t* problem = GroupNameProblem(words))
          return Fail(problem, shape);
        inGroup = true;
        afterElement = false;
        ++shape->groups;
        NextElement();
        continue;
      }
      if (!ReadMailbox(words, shape))
        return;
      if (firstOnly)
        return;
      afterElement = true;
    }
    shape->unclosedComment = m_lexer.unclosedComment();
    if (separatorLast)
      ++shape->emptyElements;  // "a@x.example," ends with an empty element
    if (shape->mailboxes == 0)
      Fail(shape->groups > 0 ? kOnlyEmptyGroups : kEmptyField, shape);
  }

 private:
  void Advance() { m_current = m_lexer.Next(); }
  // The tokens before the next '<', ':', ',', ';' or the end.
  std::vector<Token> ReadWords() {
    std::vector<Token> words;
    while (m_current.kind != TokenKind::kEnd && !IsSpecial(m_current, '<') &&
           !IsSpecial(m_current, ':') && !IsSpecial(m_current, ',') && !IsSpecial(m_current, ';')) {
      words.push_back(m_current);
      Advance();
    }
    return words;
  }
  // Why the words before a ':' are not a group's display name, or nullptr when they are.
  static const wchar_t* GroupNameProblem(const std::vector<Token>& words) {
    for (const Token& word : words) {
      if (!word.closed)
        return UnclosedProblem(word);
      if (!IsWord(word) && !IsSpecial(word, '.'))
        return kTextAfterAddress;
    }
    return nullptr;
  }
  // One mailbox, "name <address>" or a bare address, from `words` and what follows them; adds
  // it to `shape`, or fails `shape` and returns false.
  bool ReadMailbox(const std::vector<Token>& words, AddressListShape* shape) {
    for (const Token& word : words) {
      if (!word.closed)
        return FailMailbox(UnclosedProblem(word), shape);
      if (IsSpecial(word, '>'))
        return FailMailbox(kStrayClose, shape);
    }
    Mailbox mailbox;
    std::string address;
    MailboxMarks marks;
    const wchar_t* failure = nullptr;
    if (IsSpecial(m_current, '<')) {
      for (const Token& word : words)
        marks.AddOutsideToken(word);
      marks.AddOutsideToken(m_current);
      Advance();
      if (!ReadAngleAddress(&address, &failure, &marks))
        return FailMailbox(failure, shape);
      // Some mailers write the address itself, unquoted, as the display name
      // ("news@x.example <news@x.example>"); the address in brackets is the mailbox.
      mailbox.displayName = PhraseText(words, m_rawCharset);
    } else {
      if (!ReadAddrSpec(words, 0, words.size(), &address, &failure))
        return FailMailbox(failure, shape);
      // A comment before the first word, or after the last, is outside the address.
      for (size_t i = 0; i < words.size(); ++i)
        marks.AddAddressToken(words[i], i > 0);
      marks.AddOutsideComment(words.front());
      mailbox.displayName = DecodeHeaderText(m_lexer.comment(), m_rawCharset);
    }
    marks.AddOutsideToken(m_current);
    mailbox.address = DecodeUnlabelled(address);
    Record(mailbox, marks, shape);
    return true;
  }
  // Past a separator: the comments that belong to the next element start here.
  void NextElement() {
    m_lexer.ForgetComment();
    Advance();
  }

  static void Fail(const wchar_t* why, AddressListShape* shape) { shape->problem = why; }
  static bool FailMailbox(const wchar_t* why, AddressListShape* shape) {
    Fail(why, shape);
    return false;
  }

  static void Record(Mailbox& mailbox, const MailboxMarks& marks, AddressListShape* shape) {
    if (shape->mailboxes++ == 0)
      shape->first = std::move(mailbox);
    shape->sourceRoute = shape->sourceRoute || marks.route;
    if (shape->specialInComment == 0)
      shape->specialInComment = marks.specialInComment;
    if (shape->specialInQuotes == 0)
      shape->specialInQuotes = marks.specialInQuotes;
    shape->encodedWordInAddress = shape->encodedWordInAddress || marks.encodedWord;
    shape->angleOutsideAddress = shape->angleOutsideAddress || marks.angleOutside;
    shape->unclosedAngle = shape->unclosedAngle || marks.unclosedAngle;
  }

  // After '<': an optional obsolete source route ("@relay.example,@other.example:"), the
  // address proper, then '>' (or the field's end: a lone unclosed bracket is read as closed), and
  // nothing more than the end of this list element.
  bool ReadAngleAddress(std::string* address, const wchar_t** problem, MailboxMarks* marks) {
    if (IsSpecial(m_current, '@') || IsSpecial(m_current, ',')) {
      marks->route = true;
      while (m_current.kind != TokenKind::kEnd && !IsSpecial(m_current, ':') &&
             !IsSpecial(m_current, '>')) {
        Advance();
      }
      if (!IsSpecial(m_current, ':')) {
        *problem = kNoLocalPart;  // "<@example.com>"
        return false;
      }
      Advance();
    }
    std::vector<Token> addrSpec;
    while (m_current.kind != TokenKind::kEnd && !IsSpecial(m_current, '>') &&
           !IsSpecial(m_current, '<') && !IsSpecial(m_current, ',') && !IsSpecial(m_current, ';')) {
      addrSpec.push_back(m_current);
      Advance();
    }
    const bool closed = IsSpecial(m_current, '>');
    if (!closed && m_current.kind != TokenKind::kEnd) {
      *problem = IsSpecial(m_current, '<') ? kTwoAddresses : kTextAfterAddress;
      return false;
    }
    if (addrSpec.empty()) {
      *problem = kEmptyAngle;
      return false;
    }
    for (const Token& token : addrSpec) {
      if (!token.closed) {
        *problem = UnclosedProblem(token);
        return false;
      }
    }
    if (!ReadAddrSpec(addrSpec, 0, addrSpec.size(), address, problem))
      return false;
    for (const Token& token : addrSpec)
      marks->AddAddressToken(token, true);
    // Comments just before the '>' (or the field's end) are inside the brackets too.
    marks->AddAddressToken(m_current, true);
    marks->unclosedAngle = !closed;
    if (closed)
      Advance();
    if (m_current.kind != TokenKind::kEnd && !IsSpecial(m_current, ',') &&
        !IsSpecial(m_current, ';')) {
      *problem = IsSpecial(m_current, '<') ? kTwoAddresses : kTextAfterAddress;
      return false;
    }
    return true;
  }

  Lexer m_lexer;
  std::string_view m_rawCharset;
  Token m_current;
};

}  // namespace

Mailbox ParseMailbox(std::string_view unfolded, std::wstring* problem,
                     std::string_view rawCharset) {
  AddressListShape shape;
  AddressListReader(unfolded, rawCharset).Read(/*firstOnly=*/true, &shape);
  if (problem != nullptr)
    *problem = shape.problem;
  return shape.problem.empty() ? std::move(shape.first) : Mailbox();
}

AddressListShape ReadAddressList(std::string_view unfolded, std::string_view rawCharset) {
  AddressListShape shape;
  AddressListReader(unfolded, rawCharset).Read(/*firstOnly=*/false, &shape);
  return shape;
}

}  // namespace tp::mime
