// tidepost validate: reads senders list files the way the add-in loads them and tells, before
// a list is published, which senders it brands or exactly why the list would be refused.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands.h"
#include "net/json_parser.h"
#include "net/senders_envelope.h"
#include "support/format.h"
#include "support/text.h"

namespace tp::tool {
namespace {

// Exit statuses, from best to worst; several files give the worst of them.
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

std::optional<std::string> ReadBytes(const std::string& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
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

// The text of a member that should be a string, with a warning when it is missing or is not
// one (it then reads as empty).
std::wstring StringMember(const JsonObject& entry, const wchar_t* key, size_t number, bool required,
                          std::vector<std::wstring>& warnings) {
  const auto found = entry.find(key);
  if (found == entry.end()) {
    if (required)
      warnings.push_back(Format(L"entry %u: no \"%s\" member", number, key));
    return {};
  }
  if (found->second->type() != JsonType::String) {
    warnings.push_back(Format(L"entry %u: \"%s\" is not a string (reads as empty)", number, key));
  }
  return found->second->AsString();
}

// Prints the senders of a parsed branding array with warnings about entries that cannot
// brand as their author meant.
void PrintSenders(const JsonArray& branding) {
  std::vector<std::wstring> lines;
  std::vector<std::wstring> warnings;
  std::vector<std::wstring> names;
  size_t number = 0;
  for (const std::unique_ptr<JsonValue>& element : branding) {
    ++number;
    if (element->type() != JsonType::Object) {
      warnings.push_back(Format(L"entry %u: not an object", number));
      continue;
    }
    const JsonObject& entry = element->AsObject();
    const std::wstring name = StringMember(entry, L"name", number, true, warnings);
    const std::wstring domain = ToLower(StringMember(entry, L"domain", number, true, warnings));
    const std::wstring signers =
        ToLower(StringMember(entry, L"dkimSigners", number, false, warnings));
    if (name.empty())
      warnings.push_back(Format(L"entry %u: the name is empty", number));
    if (domain.empty()) {
      warnings.push_back(Format(
          L"entry %u: the domain is empty, so it matches every sender domain with a dot", number));
    }
    for (const std::wstring& part : SplitSkippingEmpty(signers, L',')) {
      if (Trim(part) != part) {
        warnings.push_back(Format(
            L"entry %u: dkimSigners part \"%s\" has white space around it and matches no domain",
            number, part));
      }
    }
    if (std::find(names.begin(), names.end(), name) == names.end())
      names.push_back(name);
    lines.push_back(
        Format(L"  %u. name \"%s\"  domain \"%s\"  spf %s  spfIfNoDKIM %s  dkimSigners \"%s\"",
               number, name, domain, entry.contains(L"spf") ? L"yes" : L"no",
               entry.contains(L"spfIfNoDKIM") ? L"yes" : L"no", signers));
  }
  PrintLine(L"  %u senders under %u brand names", lines.size(), names.size());
  for (const std::wstring& line : lines)
    PrintLine(L"%s", line);
  if (branding.empty())
    warnings.push_back(L"the branding array is empty: no sender is branded");
  for (const std::wstring& warning : warnings)
    PrintLine(L"  warning: %s", warning);
}

// Checks one file's text; prints the verdict and returns the exit status.
int ValidateText(std::wstring_view text) {
  const SendersEnvelope envelope = ReadSendersListXml(text);
  if (!envelope.accepted()) {
    PrintLine(L"  REFUSED (status %d): %s", kEnvelopeRejected, EnvelopeProblem(envelope.status));
    if (envelope.status == EnvelopeStatus::kMalformedXml) {
      PrintLine(L"  %s: %s", Position(text, envelope.xmlError.offset), envelope.xmlError.reason);
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
  // The add-in reads apostrophes as double quotes, everywhere in the text.
  std::wstring json = envelope.brandingJson;
  std::replace(json.begin(), json.end(), L'\'', L'"');
  size_t errorOffset = 0;
  const std::unique_ptr<JsonValue> root = ParseJson(json, &errorOffset);
  if (root == nullptr) {
    PrintLine(L"  JSON ERROR (status %d): the branding text holds only white space", kJsonError);
    PrintLine(L"  the add-in logs \"Could not parse JSON\" and brands no sender");
    return kJsonError;
  }
  if (root->IsError()) {
    PrintLine(L"  JSON ERROR (status %d): %s", kJsonError, root->AsString());
    // The branding text is normally found verbatim in the file; else point into the JSON.
    const size_t start = text.find(envelope.brandingJson);
    if (start != std::wstring_view::npos) {
      PrintLine(L"  at %s of the file", Position(text, start + errorOffset));
    } else {
      PrintLine(L"  at %s of the branding JSON", Position(json, errorOffset));
    }
    PrintLine(L"  the add-in logs \"Error parsing branding JSON: %s\" and brands no sender",
              root->AsString());
    return kJsonError;
  }
  const JsonObject& members = root->AsObject();
  const auto branding = members.find(L"branding");
  if (root->type() != JsonType::Object || branding == members.end()) {
    PrintLine(L"  NO BRANDING (status %d): %s", kNoUsableBranding,
              root->type() != JsonType::Object ? L"the JSON root is not an object"
                                               : L"the JSON root has no \"branding\" member");
    PrintLine(L"  the add-in logs \"could not locate branding in JSON\" and brands no sender");
    return kNoUsableBranding;
  }
  if (branding->second->type() != JsonType::Array) {
    PrintLine(L"  NO BRANDING (status %d): \"branding\" is not an array", kNoUsableBranding);
    PrintLine(L"  the add-in loads no sender from it and brands no sender");
    return kNoUsableBranding;
  }
  PrintLine(L"  LOADED (status %d)", kLoaded);
  PrintSenders(branding->second->AsArray());
  return kLoaded;
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
    const std::optional<std::string> bytes = ReadBytes(path);
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
