// Reading .eml files into simulated mail items.
#include "host/sim/eml_reader.h"

#include <climits>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "base/format.h"
#include "base/text.h"
#include "formats/encoded_words.h"
#include "formats/mail_address.h"
#include "formats/mail_fields.h"
#include "formats/mime_charsets.h"
#include "formats/mime_parser.h"
#include "host/codec.h"
#include "host/sim/html_text.h"
#include "host/sim/native_path.h"

namespace tp::host::sim {
namespace {

constexpr wchar_t kClassNote[] = L"IPM.Note";
constexpr wchar_t kClassSmime[] = L"IPM.Note.SMIME";
constexpr wchar_t kClassMultipartSigned[] = L"IPM.Note.SMIME.MultipartSigned";

bool IsOpaqueSmime(const std::string& type) {
  return type == "application/pkcs7-mime" || type == "application/x-pkcs7-mime";
}

std::wstring WithCrLf(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r') {
      out += L"\r\n";
      if (i + 1 < text.size() && text[i + 1] == L'\n')
        ++i;
    } else if (text[i] == L'\n') {
      out += L"\r\n";
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string WithCrLf(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
      out += '\r';
    out += text[i];
  }
  return out;
}

// The name Outlook gives an attachment that came without one.
std::wstring GeneratedFileName(const std::string& type, int number) {
  if (type == "application/pkcs7-signature" || type == "application/x-pkcs7-signature") {
    return L"smime.p7s";
  }
  if (IsOpaqueSmime(type))
    return L"smime.p7m";
  const wchar_t* extension = L"bin";
  if (type == "text/plain")
    extension = L"txt";
  if (type == "text/html")
    extension = L"htm";
  if (type == "message/rfc822")
    extension = L"eml";
  if (type == "image/png")
    extension = L"png";
  if (type == "image/jpeg")
    extension = L"jpg";
  if (type == "image/gif")
    extension = L"gif";
  return Format(L"ATT%05d.%s", number, extension);
}

// Walks the MIME tree: the first inline text/plain and text/html leaves are the bodies,
// every other leaf an attachment.
class MailBuilder {
 public:
  explicit MailBuilder(SimMail& mail) : m_mail(mail) {}

  void Collect(const mime::MimePart& part, const mime::MimePart* top) {
    if (!part.children.empty()) {
      const bool signedContent = part.contentType.token == "multipart/signed";
      for (size_t i = 0; i < part.children.size(); ++i) {
        // The signature of a signed message is not shown: Outlook keeps the whole signed
        // entity as its one S/MIME attachment (added by Finish).
        if (signedContent && i > 0 && &part == top)
          continue;
        Collect(part.children[i], top);
      }
      return;
    }
    const std::string type = part.contentType.token;
    mime::StructuredValue disposition;
    if (const mime::HeaderField* field = mime::FindField(part.fields, "Content-Disposition")) {
      disposition = mime::ParseStructuredValue(mime::Unfold(field->value));
    }
    const bool attached = disposition.token == "attachment";
    const std::string bytes = part.DecodedBody();
    const auto charset = part.contentType.params.find("charset");
    const std::string_view charsetName =
        charset == part.contentType.params.end() ? std::string_view{} : charset->second;
    if (!attached && type == "text/plain" && !m_plain) {
      m_plain = mime::DecodeCharset(bytes, charsetName, &m_plainCodePage);
    } else if (!attached && type == "text/html" && !m_html) {
      m_htmlText = mime::DecodeCharset(bytes, charsetName, &m_htmlCodePage);
      m_html = bytes;
    } else {
      SimAttachment attachment;
      attachment.fileName = mime::ParameterText(disposition, "filename");
      if (attachment.fileName.empty())
        attachment.fileName = mime::ParameterText(part.contentType, "name");
      if (attachment.fileName.empty())
        attachment.fileName = GeneratedFileName(type, ++m_unnamed);
      if (const mime::HeaderField* id = mime::FindField(part.fields, "Content-ID")) {
        std::string value = mime::Unfold(id->value);
        if (value.size() >= 2 && value.front() == '<' && value.back() == '>') {
          value = value.substr(1, value.size() - 2);
        }
        attachment.contentId = Utf8ToWide(value);
      }
      attachment.mimeType = Utf8ToWide(type);
      attachment.bytes = bytes;
      m_mail.attachments.push_back(std::move(attachment));
    }
  }

  void Finish(const mime::MimePart& top, std::string_view message) {
    std::wstring body;
    if (m_plain) {
      body = WithCrLf(*m_plain);
    } else if (m_html) {
      body = HtmlToText(m_htmlText);
    }
    m_mail.SetProp(kPrBodyW, body);
    if (m_html)
      m_mail.SetBinaryProp(kPrHtml, *m_html);
    const uint32_t codePage = m_html ? m_htmlCodePage : m_plain ? m_plainCodePage : kCodePageUtf8;
    m_mail.internetCodepage = static_cast<int>(codePage);

    std::wstring messageClass = kClassNote;
    if (top.contentType.token == "multipart/signed") {
      messageClass = kClassMultipartSigned;
      // The signed entity as the signature check reads it: its Content-Type, a blank line and
      // its body.
      SimAttachment entity;
      entity.fileName = L"smime.p7m";
      entity.mimeType = L"multipart/signed";
      if (const mime::HeaderField* type = mime::FindField(top.fields, "Content-Type")) {
        entity.bytes = WithCrLf(type->name + ":" + type->value) + "\r\n\r\n";
      }
      // On the wire every line ended in CR LF, and the signature was made over that.
      entity.bytes.append(WithCrLf(top.body));
      m_mail.attachments.insert(m_mail.attachments.begin(), std::move(entity));
    } else if (IsOpaqueSmime(top.contentType.token)) {
      messageClass = kClassSmime;
    }
    m_mail.SetProp(kPrMessageClassW, messageClass);
    m_mail.size =
        message.size() > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(message.size());
  }

 private:
  SimMail& m_mail;
  std::optional<std::wstring> m_plain;
  std::optional<std::string> m_html;
  std::wstring m_htmlText;
  uint32_t m_plainCodePage = kCodePageUtf8;
  uint32_t m_htmlCodePage = kCodePageUtf8;
  int m_unnamed = 0;
};

// The received time: the date of the topmost Received field (the receiving server's), else
// the Date field, else 0.
int64_t ReceivedTime(const std::vector<mime::HeaderField>& fields) {
  if (const mime::HeaderField* received = mime::FindField(fields, "Received")) {
    const std::string value = mime::Unfold(received->value);
    const size_t semicolon = value.rfind(';');
    if (semicolon != std::string::npos) {
      if (auto time = mime::ParseMailDate(std::string_view(value).substr(semicolon + 1)))
        return *time;
    }
  }
  if (const mime::HeaderField* date = mime::FindField(fields, "Date")) {
    if (auto time = mime::ParseMailDate(mime::Unfold(date->value)))
      return *time;
  }
  return 0;
}

// The charset of the message's text: that of its first text part that names one.
std::string MessageCharset(const mime::MimePart& top) {
  std::vector<const mime::MimePart*> pending = {&top};
  while (!pending.empty()) {
    const mime::MimePart* part = pending.back();
    pending.pop_back();
    const auto charset = part->contentType.params.find("charset");
    if (charset != part->contentType.params.end() &&
        part->contentType.token.rfind("text/", 0) == 0) {
      return charset->second;
    }
    for (auto child = part->children.rbegin(); child != part->children.rend(); ++child)
      pending.push_back(&*child);
  }
  return {};
}

}  // namespace

bool ReadEml(std::string_view bytes, SimMail* mail, std::wstring* error) {
  const std::string_view message = bytes;
  if (bytes.empty()) {
    *error = L"the file is empty";
    return false;
  }
  if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
    *error = L"the file is UTF-16 text; a mail message is 8-bit text";
    return false;
  }
  bytes = mime::SkipMessageLeadIn(bytes);
  if (bytes.empty()) {
    *error = L"the file holds only white space";
    return false;
  }
  const mime::HeaderBlock header = mime::SplitHeaderBlock(bytes);
  if (header.fields.empty()) {
    *error = L"no header field at the start: not a mail message";
    return false;
  }
  if (header.raw.size() > kMaxHeaderBlock) {
    *error = Format(L"the header block is longer than %u bytes", kMaxHeaderBlock);
    return false;
  }

  const mime::MimePart top = mime::ParseMimeEntity(bytes);
  // Raw 8-bit header text that is not UTF-8 is read in the message's own charset.
  const std::string rawCharset = MessageCharset(top);
  SimMail result;
  result.SetProp(kPrTransportMessageHeadersW, mime::DecodeUnlabelled(header.raw, rawCharset));
  if (const mime::HeaderField* subject = mime::FindField(header.fields, "Subject")) {
    result.subject = mime::DecodeHeaderText(mime::Unfold(subject->value), rawCharset);
  }
  const mime::HeaderField* from = mime::FindField(header.fields, "From");
  if (from == nullptr)
    from = mime::FindField(header.fields, "Sender");
  if (from != nullptr) {
    std::wstring problem;
    const mime::Mailbox sender =
        mime::ParseMailbox(mime::Unfold(from->value), &problem, rawCharset);
    result.senderEmailAddress = sender.address;
    result.senderName = sender.displayName;
    if (!sender.address.empty()) {
      result.SetProp(kPrSentRepresentingEmailAddressW, sender.address);
    } else {
      result.senderProblem =
          Format(L"the %s field holds no readable mailbox: %s", Utf8ToWide(from->name), problem);
    }
  } else {
    result.senderProblem = L"the message has no From field";
  }
  result.receivedTime = ReceivedTime(header.fields);

  MailBuilder builder(result);
  builder.Collect(top, &top);
  builder.Finish(top, message);
  *mail = std::move(result);
  return true;
}

bool ReadEmlFile(const std::filesystem::path& path, SimMail* mail, std::wstring* error) {
  std::error_code failure;
  const uintmax_t size = std::filesystem::file_size(path, failure);
  if (failure) {
    *error = L"cannot read the file: " + Utf8ToWide(failure.message());
    return false;
  }
  if (size > kMaxEmlFileSize) {
    *error = Format(L"the file is larger than %u bytes", kMaxEmlFileSize);
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) {
    *error = L"cannot open the file";
    return false;
  }
  std::ostringstream bytes;
  if (size != 0)
    bytes << in.rdbuf();
  if (!ReadEml(bytes.str(), mail, error))
    return false;
  mail->entryId = EntryIdForName(PathText(path.filename()));
  return true;
}

std::wstring EntryIdForName(std::wstring_view name) {
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring id;
  for (unsigned char byte : WideToUtf8(name)) {
    id += kDigits[byte >> 4];
    id += kDigits[byte & 0x0F];
  }
  return id;
}

}  // namespace tp::host::sim
