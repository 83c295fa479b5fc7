// tidepost validate: reads senders list files the way the add-in loads them and tells, before
// a list is published, which senders it brands or exactly why the list would be refused.
// The branding document goes through the add-in's own reader, on a simulated host whose log
// is read back, so the senders and messages shown are the add-in's.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "branding/branding_list.h"
#include "commands.h"
#include "host/host.h"
#include "host/sim/sim_host.h"
#include "net/json_parser.h"
#include "net/senders_envelope.h"
#include "support/data_folder.h"
#include "support/format.h"
#include "support/log.h"
#include "support/text.h"

namespace tp::tool {
namespace {

// Exit statuses, from best to worst; several files give the highest of them.
constexpr int kLoaded = 0;
constexpr int kEnvelopeRejected = 1;
constexpr int kJsonError = 2;
constexpr int kNoUsableBranding = 3;

void Print(std::wstring_view text) {
  const std::string bytes = WideToUtf8(text);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

template <class... Args>
void PrintLine(std::wstring_view format, const Args&... args) {
  Print(Format(format, args...) + L"\n");
}

std::optional<std::string> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad())
    return std::nullopt;
  return bytes;
}

// "line L, column C" of an index into text (columns count characters from 1).
std::wstring Position(std::wstring_view text, size_t offset) {
  offset = std::min(offset, text.size());
  const std::wstring_view before = text.substr(0, offset);
  const size_t line = 1 + static_cast<size_t>(std::count(before.begin(), before.end(), L'\n'));
  const size_t lineStart = before.rfind(L'\n');
  const size_t column = offset - (lineStart == std::wstring_view::npos ? 0 : lineStart + 1) + 1;
  return Format(L"line %u, column %u", line, column);
}

const wchar_t* EnvelopeProblem(EnvelopeStatus status) {
  switch (status) {
    case EnvelopeStatus::kNoXmlDeclaration:
      return L"the text does not begin with \"<?xml\" (exact case, nothing before it but an "
             L"optional byte-order mark)";
    case EnvelopeStatus::kMalformedXml:
      return L"the XML does not parse";
    case EnvelopeStatus::kNoContent:
      return L"the document has no top-level \"content\" element";
    case EnvelopeStatus::kNoData:
      return L"\"content\" has no \"data\" element";
    case EnvelopeStatus::kNoSenders:
      return L"\"data\" has no \"senders\" element";
    case EnvelopeStatus::kAccepted:
      break;
  }
  return L"";
}

// The messages of the log file, without their time and thread prefix.
std::vector<std::wstring> LogMessages() {
  const std::optional<std::string> bytes =
      ReadBytes(std::filesystem::path(GetDataFilePath(nullptr, kLogFileName)));
  std::vector<std::wstring> messages;
  if (!bytes.has_value())
    return messages;
  std::wstring_view text;
  const std::wstring wide = Utf16LeToWide(*bytes);
  text = wide;
  if (text.starts_with(L"\uFEFF"))
    text.remove_prefix(1);
  while (!text.empty()) {
    const size_t end = std::min(text.find(L"\r\n"), text.size());
    const std::wstring_view line = text.substr(0, end);
    const size_t prefixEnd = line.find(L"] ");
    messages.emplace_back(prefixEnd == std::wstring_view::npos ? line : line.substr(prefixEnd + 2));
    text.remove_prefix(std::min(end + 2, text.size()));
  }
  return messages;
}

// What the add-in's branding reader makes of a document: its list and what it logged.
struct BrandingLoad {
  SenderBrandList senders;
  std::vector<std::wstring> messages;
};

BrandingLoad LoadAsTheAddinDoes(const std::wstring& document) {
  std::random_device random;
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() /
      Format(L"tidepost-validate-%u-%u", random(),
             std::chrono::steady_clock::now().time_since_epoch().count());
  std::filesystem::create_directories(root);
  BrandingLoad load;
  {
    host::sim::SimHost sim(root.wstring());
    host::ScopedHost installed(sim.host());
    BrandingList list;
    list.Load(document);
    load.senders = list.senders();
    load.messages = LogMessages();
    list.Clear();  // publishes an empty brand name list again
  }
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  return load;
}

void PrintSenders(const BrandingLoad& load) {
  size_t records = 0;
  for (const auto& [name, brands] : load.senders)
    records += brands.size();
  if (records == 0) {
    PrintLine(L"  no sender is branded");
  } else {
    PrintLine(L"  %u senders under %u brand names, in the order the add-in searches them:", records,
              load.senders.size());
  }
  std::vector<std::wstring> warnings;
  for (const auto& [name, brands] : load.senders) {
    for (const SenderBrand& brand : brands) {
      PrintLine(L"  - name \"%s\"  domain \"%s\"  spf %s  spfIfNoDKIM %s  dkimSigners \"%s\"", name,
                brand.domain, brand.spf ? L"yes" : L"no", brand.spfIfNoDKIM ? L"yes" : L"no",
                brand.dkimSigners);
      for (const std::wstring& part : SplitSkippingEmpty(brand.dkimSigners, L',')) {
        if (Trim(part) != part) {
          warnings.push_back(
              Format(L"%s: the dkimSigners part \"%s\" has white space around it "
                     L"and matches no domain",
                     name, part));
        }
      }
    }
  }
  for (const std::wstring& message : load.messages)
    PrintLine(L"  add-in log: %s", message);
  for (const std::wstring& warning : warnings)
    PrintLine(L"  warning: %s", warning);
}

// The verdict on a branding document that parsed: the exit status and its headline.
int ClassifyBranding(const JsonValue& root, std::wstring* headline) {
  if (root.type() != JsonType::Object) {
    *headline = L"the JSON root is not an object";
    return kNoUsableBranding;
  }
  const auto branding = root.AsObject().find(L"branding");
  if (branding == root.AsObject().end()) {
    *headline = L"the JSON root has no \"branding\" member";
    return kNoUsableBranding;
  }
  if (branding->second->type() != JsonType::Array) {
    *headline = L"\"branding\" is not an array";
    return kNoUsableBranding;
  }
  return kLoaded;
}

// Checks one file's text; prints the verdict and returns the exit status.
int ValidateText(std::wstring_view text) {
  const SendersEnvelope envelope = ReadSendersListXml(text);
  if (!envelope.accepted()) {
    PrintLine(L"  REFUSED (status %d): %s", kEnvelopeRejected, EnvelopeProblem(envelope.status));
    if (envelope.status == EnvelopeStatus::kMalformedXml) {
      PrintLine(L"  at %s: %s", Position(text, envelope.xmlError.offset), envelope.xmlError.reason);
    }
    PrintLine(L"  the add-in logs \"Senders list XML loading failed\" and keeps its last list");
    return kEnvelopeRejected;
  }
  if (envelope.brandingJson.empty()) {
    PrintLine(L"  NO BRANDING (status %d): %s", kNoUsableBranding,
              envelope.hasBranding ? L"\"branding\" holds no CDATA section, or an empty one"
                                   : L"\"data\" has no \"branding\" element");
    PrintLine(L"  the add-in finds no branding text and keeps checking for it every second");
    return kNoUsableBranding;
  }

  const BrandingLoad load = LoadAsTheAddinDoes(envelope.brandingJson);
  // The add-in reads apostrophes as double quotes, everywhere in the text.
  std::wstring json = envelope.brandingJson;
  std::replace(json.begin(), json.end(), L'\'', L'"');
  size_t errorOffset = 0;
  const std::unique_ptr<JsonValue> root = ParseJson(json, &errorOffset);
  int status = kLoaded;
  if (root == nullptr) {
    status = kJsonError;
    PrintLine(L"  JSON ERROR (status %d): the branding text holds only white space", status);
  } else if (root->IsError()) {
    status = kJsonError;
    PrintLine(L"  JSON ERROR (status %d): %s", status, root->AsString());
    // The branding text is normally found verbatim in the file; else point into the JSON.
    const size_t start = text.find(envelope.brandingJson);
    if (start != std::wstring_view::npos) {
      PrintLine(L"  at %s of the file", Position(text, start + errorOffset));
    } else {
      PrintLine(L"  at %s of the branding JSON", Position(json, errorOffset));
    }
  } else {
    std::wstring headline;
    status = ClassifyBranding(*root, &headline);
    if (status == kLoaded) {
      PrintLine(L"  LOADED (status %d)", status);
    } else {
      PrintLine(L"  NO BRANDING (status %d): %s", status, headline);
    }
  }
  PrintSenders(load);
  return status;
}

}  // namespace

int ValidateCommand(const Arguments& arguments) {
  if (arguments.empty()) {
    std::fprintf(stderr, "usage: tidepost validate FILE...\n");
    return 64;
  }
  int worst = kLoaded;
  for (const std::string& path : arguments) {
    PrintLine(L"%s", path);
    const std::optional<std::string> bytes = ReadBytes(std::filesystem::path(path));
    int status = kEnvelopeRejected;
    if (bytes.has_value()) {
      status = ValidateText(DecodeSendersListFile(*bytes));
    } else {
      PrintLine(L"  REFUSED (status %d): the file cannot be read", kEnvelopeRejected);
    }
    worst = std::max(worst, status);
  }
  std::fflush(stdout);
  return worst;
}

}  // namespace tp::tool
