// tidepost smime: the S/MIME signature of each message as the add-in sees it in Outlook's
// store, with its result code, what it means, and who signed it.
#include <cstdio>

#include "base/text.h"
#include "commands.h"
#include "host/host.h"
#include "host/platform.h"
#include "host/sim/eml_reader.h"
#include "host/sim/sim_outlook.h"
#include "smime/certificate_names.h"
#include "smime/smime_message.h"
#include "smime_tool.h"

namespace tp::tool {

bool MakeTrustingCrypto(const Options& options, std::unique_ptr<host::MessageCrypto>* crypto) {
  std::unique_ptr<host::TrustingMessageCrypto> made = host::NewMessageCrypto();
  for (const std::string& file : options.Values("--trust")) {
    std::string error;
    if (!made->TrustCertificates(std::filesystem::path(file), &error)) {
      std::fprintf(stderr, "tidepost: --trust: %s\n", error.c_str());
      return false;
    }
  }
  *crypto = std::move(made);
  return true;
}

std::string DescribeMessageSignature(host::MapiMessage& message) {
  const SmimeMessageCheck check = VerifySMimeMessage(message);
  if (!check.hasSignaturePart)
    return "none";
  std::string line =
      std::to_string(check.verdict.result) + " " + WideToUtf8(DescribeVerdict(check.verdict));
  const std::wstring signer = DescribeSigner(check.verdict);
  if (!signer.empty())
    line += "; signer " + WideToUtf8(signer);
  return line;
}

int SmimeCommand(const Arguments& arguments) {
  Options options;
  if (!options.Parse(arguments, {"--trust"}, {}) || options.operands().empty()) {
    std::fprintf(stderr, "usage: tidepost smime [--trust CERTIFICATES.pem]... MESSAGE.eml...\n");
    return 64;
  }
  std::unique_ptr<host::MessageCrypto> crypto;
  if (!MakeTrustingCrypto(options, &crypto))
    return 66;
  host::Host platform = host::PlatformHost();
  platform.crypto = crypto.get();
  host::ScopedHost installed(platform);

  host::sim::SimOutlook outlook;
  const auto folder = outlook.AddFolder(L"Messages");
  bool allValid = true;
  for (const std::string& file : options.operands()) {
    host::sim::SimMail mail;
    std::wstring error;
    if (!host::sim::ReadEmlFile(file, &mail, &error)) {
      std::printf("%s: cannot be read: %s\n", file.c_str(), WideToUtf8(error).c_str());
      allValid = false;
      continue;
    }
    mail.entryId = Utf8ToWide(file);
    const auto item = outlook.MailItemFor(outlook.AddMail(*folder, std::move(mail)));
    const SmimeMessageCheck check = VerifySMimeMessage(*item->MapiObject());
    allValid = allValid && check.Valid();
    if (!check.hasSignaturePart) {
      std::printf("%s: none no S/MIME signature part\n", file.c_str());
      continue;
    }
    std::printf("%s: %d %s\n", file.c_str(), check.verdict.result,
                WideToUtf8(DescribeVerdict(check.verdict)).c_str());
    if (!check.verdict.signerSubject.empty() || !check.verdict.signerAddresses.empty()) {
      std::printf("  signer:    %s\n",
                  WideToUtf8(EscapeForDiagnostics(check.verdict.signerSubject)).c_str());
      std::printf("  addresses: %s\n", WideToUtf8(DescribeSignerAddresses(check.verdict)).c_str());
    }
  }
  return allValid ? 0 : 1;
}

}  // namespace tp::tool
