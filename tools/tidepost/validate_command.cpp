// tidepost validate: reads senders list files the way the add-in loads them and tells, before
// a list is published, which senders it brands or exactly why the list would be refused.
// The branding document goes through the add-in's own reader on a simulated host, and what
// it logs is shown, so the senders and messages are the add-in's.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/format.h"
#include "base/host_name.h"
#include "base/text.h"
#include "branding/branding_list.h"
#include "commands.h"
#include "formats/json_parser.h"
#include "net/senders_envelope.h"
#include "platform/log.h"
#include "run_folder.h"
#include "simulation.h"

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

// What the add-in's branding reader makes of a document: its list, its report on the entries
// and what it logged.
struct BrandingLoad {
  SenderBrandList senders;
  BrandingLoadReport report;
  std::vector<std::wstring> messages;
};

// hostFolder: an empty folder for the simulated host's files.
BrandingLoad LoadAsTheAddinDoes(const std::filesystem::path& hostFolder,
                                const std::wstring& document) {
  BrandingLoad load;
  Simulation run(hostFolder);
  BrandingList list;
  {
    ScopedLogObserver observer(
        [&load](std::wstring_view message) { load.messages.emplace_back(message); });
    load.report = list.Load(document);
  }
  load.senders = list.senders();
  return load;
}

// "entry 3 (Acme): why", as a list author finds the entry in the document.
std::wstring DescribeEntry(const BrandingEntryNote& note) {
  if (note.name.empty())
    return Format(L"entry %d: %s", note.index, note.text);
  return Format(L"entry %d (%s): %s", note.index, note.name, note.text);
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
  for (const BrandingEntryNote& note : load.report.refused) {
    PrintLine(L"  refused: %s", DescribeEntry(note));
  }
  std::vector<std::wstring> warnings;
  for (const BrandingEntryNote& note : load.report.warnings)
    warnings.push_back(DescribeEntry(note));
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
        } else if (const wchar_t* problem = HostNameProblem(part)) {
          warnings.push_back(
              Format(L"%s: the dkimSigners part \"%s\" is not a host name (%s) and vouches "
                     L"for no one",
                     name, part, problem));
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

// Checks one file's text, with `hostFolder` for the simulated host's files; prints the verdict and
// returns the exit status.
int ValidateText(const std::filesystem::path& hostFolder, std::wstring_view text) {
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

  const BrandingLoad load = LoadAsTheAddinDoes(hostFolder, envelope.brandingJson);
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
  std::string problem;
  const std::unique_ptr<RunFolder> folder = RunFolder::Create("validate", &problem);
  if (!folder) {
    std::fprintf(stderr, "tidepost: %s\n", problem.c_str());
    return 73;
  }
  int worst = kLoaded;
  for (size_t index = 0; index < arguments.size(); ++index) {
    const std::string& path = arguments[index];
    PrintLine(L"%s", path);
    std::string bytes;
    int status = kEnvelopeRejected;
    if (ReadFile(std::filesystem::path(path), &bytes)) {
      status =
          ValidateText(folder->MakeSubfolder(std::to_string(index)), DecodeSendersListFile(bytes));
    } else {
      PrintLine(L"  REFUSED (status %d): the file cannot be read", kEnvelopeRejected);
    }
    worst = std::max(worst, status);
  }
  std::fflush(stdout);
  return worst;
}

}  // namespace tp::tool
