// Reading a senders list of 10,000 branded senders: the JSON reader beside RapidJSON's UTF-16
// DOM parse of the same text, the envelope check, and the whole load as the add-in does it.
#include <benchmark/benchmark.h>
#include <rapidjson/document.h>
#include <rapidjson/encodings.h>

#include <algorithm>
#include <memory>
#include <string>

#include "formats/json_parser.h"
#include "net/senders_envelope.h"
#include "senders_list_sample.h"

namespace {

constexpr size_t kSenders = 10000;

const std::wstring& BrandingJson() {
  static const std::wstring json = tp::bench::MakeBrandingJson(kSenders);
  return json;
}

const std::wstring& SendersListXml() {
  static const std::wstring xml = tp::bench::MakeSendersListXml(kSenders);
  return xml;
}

void SetCounters(benchmark::State& state, const std::wstring& text) {
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kSenders));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size() * 2));
  state.counters["chars"] = static_cast<double>(text.size());
}

void BM_ParseJson(benchmark::State& state) {
  const std::wstring& json = BrandingJson();
  for (auto _ : state) {
    std::unique_ptr<tp::JsonValue> root = tp::ParseJson(json);
    if (root == nullptr || root->IsError())
      state.SkipWithError("the sample does not parse");
    benchmark::DoNotOptimize(root.get());
  }
  SetCounters(state, json);
}
BENCHMARK(BM_ParseJson)->Unit(benchmark::kMillisecond);

void BM_RapidJsonUtf16Dom(benchmark::State& state) {
  const std::wstring& json = BrandingJson();
  using Document = rapidjson::GenericDocument<rapidjson::UTF16<wchar_t>>;
  for (auto _ : state) {
    Document document;
    document.Parse(json.c_str());
    if (document.HasParseError())
      state.SkipWithError("RapidJSON rejects the sample");
    benchmark::DoNotOptimize(&document);
  }
  SetCounters(state, json);
}
BENCHMARK(BM_RapidJsonUtf16Dom)->Unit(benchmark::kMillisecond);

// The envelope check on the downloaded text: ParseXml and the branding text taken out.
void BM_LoadSendersListXml(benchmark::State& state) {
  const std::wstring& xml = SendersListXml();
  for (auto _ : state) {
    tp::SendersEnvelope envelope = tp::ReadSendersListXml(xml);
    if (!envelope.accepted())
      state.SkipWithError("the envelope is refused");
    benchmark::DoNotOptimize(envelope.brandingJson.data());
  }
  SetCounters(state, xml);
}
BENCHMARK(BM_LoadSendersListXml)->Unit(benchmark::kMillisecond);

// From the downloaded text to the parsed branding tree: envelope, apostrophes, JSON.
void BM_EnvelopeThenBrandingJson(benchmark::State& state) {
  const std::wstring& xml = SendersListXml();
  for (auto _ : state) {
    tp::SendersEnvelope envelope = tp::ReadSendersListXml(xml);
    std::replace(envelope.brandingJson.begin(), envelope.brandingJson.end(), L'\'', L'"');
    std::unique_ptr<tp::JsonValue> root = tp::ParseJson(envelope.brandingJson);
    if (root == nullptr || root->IsError())
      state.SkipWithError("the branding does not parse");
    benchmark::DoNotOptimize(root.get());
  }
  SetCounters(state, xml);
}
BENCHMARK(BM_EnvelopeThenBrandingJson)->Unit(benchmark::kMillisecond);

}  // namespace
