// Splits HTML text into tokens the way the HTML standard's tokenizer does: text, start and
// end tags with their attributes, comments, bogus comments ("<!...>", "<?...>") and
// doctypes. After the start tag of an element whose content is not markup (style, script,
// xmp, iframe, noembed, noframes, plaintext, textarea, title) its content up to the
// element's end tag comes as one text token. Runs in one pass, in time linear in the input.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tp {

struct HtmlAttribute {
  std::wstring name;   // ASCII letters in lower case
  std::wstring value;  // character references replaced
};

enum class HtmlTokenKind { kText, kStartTag, kEndTag, kComment, kBogusComment, kDoctype };

struct HtmlToken {
  HtmlTokenKind kind = HtmlTokenKind::kText;
  // kText: the text as written (character references kept). kComment and kBogusComment:
  // the data between the delimiters. kDoctype: what follows "<!".
  std::wstring_view text;
  // kText: the content of an element whose content is not markup.
  bool rawText = false;
  // Tags: the name with ASCII letters in lower case.
  std::wstring name;
  // Start tags: in order; of attributes with the same name only the first is kept.
  std::vector<HtmlAttribute> attributes;
  bool selfClosing = false;
};

class HtmlTokenizer {
 public:
  explicit HtmlTokenizer(std::wstring_view input) : m_input(input) {}

  // The next token; false at the end of the input. A tag cut off by the end of the input is
  // not a token.
  bool Next(HtmlToken* token);

  // Where the next token starts: just after the last one.
  size_t position() const { return m_position; }

  // Whether a start tag of this (lower-case) name makes the content that follows text.
  static bool HasTextContent(std::wstring_view name);

 private:
  bool ReadRawText(HtmlToken* token);
  bool ReadTag(size_t at, HtmlToken* token);
  // Reads an attribute's value, quoted or not, from `*position` (just after its "="), with
  // character references decoded and NUL replaced. False, with the input used up, when the
  // tag is cut off.
  bool ReadAttributeValue(size_t* position, std::wstring* value);
  void ReadComment(size_t at, HtmlToken* token);
  void ReadUntilGreater(size_t from, HtmlTokenKind kind, HtmlToken* token);

  std::wstring_view m_input;
  size_t m_position = 0;
  std::wstring m_rawTextEnd;  // the element whose text content comes next
};

}  // namespace tp
