// tidepost page: the page that the add-in would hand to the browser helper for a message
// shown from its own HTML: the message's HTML body made safe, its inline attachments copied
// to a temporary folder, which the command names. Support people use it to see exactly what
// a message would show: by default the page of a sender the branding decision does not vouch
// for (nothing remote is loaded), with --sender-branded that of a branded sender.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "arguments.h"
#include "base/text.h"
#include "branding/account_info.h"
#include "commands.h"
#include "display/message_embedded_content.h"
#include "host/mapi.h"
#include "host/sim/eml_reader.h"
#include "page/html_sanitizer.h"
#include "platform/log.h"
#include "run_folder.h"
#include "simulation.h"

namespace tp::tool {
namespace {

bool EndsWith(const std::string& text, const std::string& suffix) {
  if (text.size() < suffix.size())
    return false;
  std::string end = text.substr(text.size() - suffix.size());
  for (char& ch : end)
    ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch);
  return end == suffix;
}

// The message to build the page for: the .eml as the simulated store reads it, or an .html
// file as the HTML body of a message without attachments.
std::shared_ptr<host::sim::SimMail> ReadInput(const std::string& input) {
  auto mail = std::make_shared<host::sim::SimMail>();
  if (EndsWith(input, ".html") || EndsWith(input, ".htm")) {
    std::string bytes;
    if (!ReadFile(input, &bytes)) {
      std::fprintf(stderr, "tidepost: cannot read %s\n", input.c_str());
      return nullptr;
    }
    mail->SetBinaryProp(host::kPrHtml, bytes);
    mail->internetCodepage = 65001;
    return mail;
  }
  std::wstring error;
  if (!host::sim::ReadEmlFile(input, mail.get(), &error)) {
    std::fprintf(stderr, "tidepost: %s: %s\n", input.c_str(), WideToUtf8(error).c_str());
    return nullptr;
  }
  return mail;
}

// Builds the page on a simulated host over `root`. The message folder, when the message's
// inline attachments were copied into it.
int MakePage(const std::filesystem::path& root, const std::string& input, RemoteContent remote,
             std::string* page, std::wstring* copies) {
  Simulation run(root);
  const std::shared_ptr<host::sim::SimMail> mail = ReadInput(input);
  if (!mail)
    return 66;
  const std::shared_ptr<host::MailItem> item = run.sim().outlook.MailItemFor(mail);
  std::wstring html;
  GetMessageBodyText(item.get(), &html, true);
  if (html.empty()) {
    std::fprintf(stderr, "tidepost: %s has no HTML body\n", input.c_str());
    return 65;
  }
  const PageHeads heads = LoadPageHeads();
  MessageEmbeddedContent embedded(heads);
  std::wstring built;
  std::wstring folder;
  {
    // What the add-in logs while it builds the page (a missing HTML engine, a copy that
    // failed) is shown.
    ScopedLogObserver observer([](std::wstring_view line) {
      std::fprintf(stderr, "tidepost: %s\n", WideToUtf8(line).c_str());
    });
    folder = embedded.BuildStaticPage(*item, std::move(html), remote, &built);
  }
  if (built.empty()) {
    std::fprintf(stderr, "tidepost: no page was made\n");
    return 1;
  }
  std::error_code failure;
  if (!folder.empty() && !std::filesystem::is_empty(WideToUtf8(folder), failure) && !failure)
    *copies = folder;
  *page = WideToUtf8(built);
  return 0;
}

}  // namespace

int PageCommand(const Arguments& arguments) {
  Options options;
  if (!options.Parse(arguments, {"--out"}, {"--sender-branded"}) ||
      options.operands().size() != 1) {
    std::fprintf(stderr,
                 "usage: tidepost page [--out FILE] [--sender-branded] MESSAGE.eml|BODY.html\n");
    return 64;
  }
  const bool branded = options.Flag("--sender-branded");
  // The run's folder holds the copies the page shows; it goes when there are none.
  std::string problem;
  const std::unique_ptr<RunFolder> root = RunFolder::Create("page", &problem);
  if (!root) {
    std::fprintf(stderr, "tidepost: %s\n", problem.c_str());
    return 73;
  }
  std::string page;
  std::wstring copies;
  int status =
      MakePage(root->path(), options.operands()[0],
               branded ? RemoteContent::kAllowed : RemoteContent::kBlocked, &page, &copies);
  if (status == 0) {
    if (const std::optional<std::string> out = options.Value("--out")) {
      std::ofstream file(*out, std::ios::binary);
      if (!file.write(page.data(), static_cast<std::streamsize>(page.size()))) {
        std::fprintf(stderr, "tidepost: cannot write %s\n", out->c_str());
        status = 73;
      }
    } else if (std::fwrite(page.data(), 1, page.size(), stdout) != page.size()) {
      status = 74;
    }
  }
  if (status == 0) {
    std::fprintf(stderr, "%s",
                 branded ? "tidepost: the page of a branded sender: remote content is kept\n"
                         : "tidepost: the page of a sender that is not branded: remote content "
                           "is left out (--sender-branded shows a branded sender's page)\n");
  }
  if (status == 0 && !copies.empty()) {
    root->Keep();
    std::fprintf(stderr, "tidepost: inline attachments copied to %s\n", WideToUtf8(copies).c_str());
  }
  return status;
}

}  // namespace tp::tool
