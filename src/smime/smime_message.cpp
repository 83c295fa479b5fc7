// Reading and verifying a message's S/MIME signature part.
#include "smime/smime_message.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "base/text.h"
#include "formats/code_pages.h"
#include "host/codec.h"
#include "smime/smime_cutter.h"
#include "smime/smime_verification.h"

namespace tp {
namespace {

constexpr size_t kReadChunk = 64 * 1024;

struct SignaturePart {
  int32_t number = 0;
  std::wstring name;
};

std::optional<SignaturePart> FindSignaturePart(const std::vector<host::AttachmentRow>& rows) {
  for (const host::AttachmentRow& row : rows) {
    std::wstring name;
    if (row.fileNameW) {
      name = *row.fileNameW;
    } else if (row.fileNameA) {
      name = CodePageToWide(host::kCodePageAnsi, *row.fileNameA);
    }
    if (EqualsIgnoreAsciiCase(name, L"smime.p7m") || EqualsIgnoreAsciiCase(name, L"smime.p7s")) {
      return SignaturePart{row.number.value_or(0), name};
    }
  }
  return std::nullopt;
}

// The whole stream, at most `limit` bytes as its Stat gives them; a stream that ends early
// gives what it has. Empty with the reason when it cannot be read or is too large.
std::optional<std::string> ReadWhole(host::MapiStream& stream, uint64_t limit,
                                     std::wstring* problem) {
  uint64_t size = 0;
  if (hr::Failed(stream.Stat(&size))) {
    *problem = L"its size cannot be read";
    return std::nullopt;
  }
  if (size > limit) {
    *problem = L"it is larger than 16 MiB";
    return std::nullopt;
  }
  std::string bytes;
  bytes.reserve(static_cast<size_t>(size));
  while (bytes.size() < size) {
    const size_t before = bytes.size();
    const size_t wanted = std::min<uint64_t>(kReadChunk, size - before);
    if (hr::Failed(stream.Read(wanted, &bytes))) {
      *problem = L"it cannot be read";
      return std::nullopt;
    }
    if (bytes.size() == before)
      break;
    bytes.resize(std::min<uint64_t>(bytes.size(), size));
  }
  return bytes;
}

SignatureVerdict VerifyEitherForm(std::string_view data) {
  SignatureVerdict opaque = VerifyOpaqueSignature(data);
  if (opaque.Valid())
    return opaque;
  SignatureVerdict detached = VerifyDetachedSignature(data);
  if (detached.Valid() || StartsLikeMimeEntity(data))
    return detached;
  return opaque;
}

}  // namespace

SmimeMessageCheck VerifySMimeMessage(host::MapiMessage& message) {
  SmimeMessageCheck check;
  std::wstring& problem = check.verdict.problem;
  host::PropValue messageClass;
  if (hr::Failed(message.GetProp(host::kPrMessageClassW, &messageClass)) ||
      messageClass.tag != host::kPrMessageClassW) {
    problem = L"the message class cannot be read";
    return check;
  }
  std::vector<host::AttachmentRow> rows;
  if (hr::Failed(message.GetAttachmentRows(&rows))) {
    problem = L"the attachment table cannot be read";
    return check;
  }
  const std::optional<SignaturePart> part = FindSignaturePart(rows);
  if (!part) {
    problem = L"no attachment is named smime.p7m or smime.p7s";
    return check;
  }
  check.hasSignaturePart = true;
  check.partName = part->name;

  std::optional<std::string> data;
  {
    std::unique_ptr<host::MapiAttachment> attachment;
    std::unique_ptr<host::MapiStream> stream;
    if (hr::Failed(message.OpenAttach(part->number, &attachment)) || !attachment ||
        hr::Failed(attachment->OpenStream(host::kPrAttachDataBin, &stream)) || !stream) {
      problem = L"the signature part cannot be opened";
      return check;
    }
    data = ReadWhole(*stream, kMaxSignaturePartSize, &problem);
    if (!data) {
      problem = L"the signature part is refused: " + problem;
      return check;
    }
  }
  check.verdict = VerifyEitherForm(*data);
  return check;
}

}  // namespace tp
