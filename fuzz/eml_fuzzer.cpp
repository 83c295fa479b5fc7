// libFuzzer target: the .eml reader on any bytes, as the simulated store reads a message
// file, and the branding decision's reading of From on its transport headers. Besides the
// sanitizers' checks: a message that is read has a sender or says why it has none, a sender
// address read back in angle brackets gives itself again, and a From the decision names a
// sender by is the store's sender, read by the store's reader from the one From field.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "branding/decision_sender.h"
#include "formats/mail_address.h"
#include "formats/mime_header.h"
#include "host/host.h"
#include "host/mapi.h"
#include "host/posix/posix_codec.h"
#include "host/sim/eml_reader.h"

namespace {

void Require(bool condition) {
  if (!condition)
    std::abort();
}

bool IsAscii(const std::wstring& text) {
  for (wchar_t ch : text) {
    if (ch >= 0x80)
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The reader converts charsets through the host's codec: the platform's own.
  static tp::host::posix::PosixCodec codec;
  static const tp::host::ScopedHost installed([] {
    tp::host::Host host;
    host.codec = &codec;
    return host;
  }());

  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  tp::host::sim::SimMail mail;
  std::wstring error;
  if (!tp::host::sim::ReadEml(bytes, &mail, &error)) {
    Require(!error.empty());
    return 0;
  }
  Require(mail.senderEmailAddress.empty() != mail.senderProblem.empty());
  if (!mail.senderEmailAddress.empty() && IsAscii(mail.senderEmailAddress)) {
    std::wstring problem;
    const std::string angle = "<" + tp::WideToUtf8(mail.senderEmailAddress) + ">";
    Require(tp::mime::ParseMailbox(angle, &problem).address == mail.senderEmailAddress);
  }
  const auto headers = mail.props.find(tp::host::kPrTransportMessageHeadersW);
  Require(headers != mail.props.end());
  const tp::DecisionSender sender =
      tp::ReadDecisionSender(headers->second.text, mail.senderEmailAddress);
  Require(sender.address.empty() != sender.refusal.empty());
  if (!sender.address.empty()) {
    const std::vector<std::string> fields =
        tp::mime::FindFieldsEverywhere(tp::WideToUtf8(headers->second.text), "From");
    Require(fields.size() == 1);
    Require(tp::mime::ParseMailbox(fields.front()).address == sender.address);
    Require(tp::ToLower(sender.address) == tp::ToLower(mail.senderEmailAddress));
  }
  return 0;
}
