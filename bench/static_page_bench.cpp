// The static page of a message: SanitizeHtml (with gumbo as the HTML engine) on an ordinary
// newsletter and on a hostile body dense with every danger pattern, at 100 KiB and 1 MiB,
// and its neutralising stage beside the literal restart-from-the-start algorithm.
#include <benchmark/benchmark.h>

#include <string>
#include <utility>
#include <vector>

#include "host/host.h"
#include "host/posix/gumbo_html.h"
#include "literal_neutraliser.h"
#include "mail_body_sample.h"
#include "page/html_sanitizer.h"
#include "page/markup_neutraliser.h"

namespace {

constexpr size_t k100KiB = 100 * 1024;
constexpr size_t k1MiB = 1024 * 1024;

const std::wstring& Body(bool hostile, size_t chars) {
  static std::wstring bodies[2][2];
  std::wstring& body = bodies[hostile][chars == k1MiB];
  if (body.empty())
    body = hostile ? tp::bench::MakeHostileBody(chars) : tp::bench::MakeNewsletterBody(chars);
  return body;
}

// A host with only the HTML engine: building a page touches no other port.
tp::host::Host EngineHost() {
  static tp::host::posix::GumboHtmlEngine engine;
  tp::host::Host host;
  host.html = &engine;
  return host;
}

// Arguments: hostile (0 or 1), size in characters.
void BM_SanitizeHtml(benchmark::State& state) {
  const tp::host::ScopedHost installed(EngineHost());
  const std::wstring& body = Body(state.range(0) != 0, static_cast<size_t>(state.range(1)));
  const tp::PageHeads heads;
  const tp::HtmlSanitizer sanitizer(heads, tp::UrlPolicy(L"C:/Temp/Tidepost/outlook_temp/"));
  for (auto _ : state) {
    // The add-in hands its copy of the body over; making that copy is not the page's work.
    state.PauseTiming();
    std::wstring html = body;
    std::wstring page;
    state.ResumeTiming();
    if (tp::hr::Failed(sanitizer.SanitizeHtml(std::move(html), &page)))
      state.SkipWithError("no page");
    benchmark::DoNotOptimize(page);
    state.PauseTiming();
    page = std::wstring();  // freed outside the measurement, as the copy was made
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * body.size()));
}

void BM_Neutralise(benchmark::State& state) {
  const std::wstring& body = Body(state.range(0) != 0, static_cast<size_t>(state.range(1)));
  for (auto _ : state) {
    std::wstring html = body;
    std::vector<std::wstring> styles;
    tp::NeutraliseMarkup(&html, &styles);
    benchmark::DoNotOptimize(html);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * body.size()));
}

void BM_LiteralNeutralise(benchmark::State& state) {
  const std::wstring& body = Body(state.range(0) != 0, static_cast<size_t>(state.range(1)));
  for (auto _ : state) {
    std::wstring html = body;
    std::wstring styles;
    tp::testing::LiteralNeutraliseMarkup(&html, &styles);
    benchmark::DoNotOptimize(html);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * body.size()));
}

void Sizes(benchmark::internal::Benchmark* benchmark) {
  benchmark->ArgNames({"hostile", "chars"});
  for (int hostile : {0, 1}) {
    for (int64_t chars : {static_cast<int64_t>(k100KiB), static_cast<int64_t>(k1MiB)})
      benchmark->Args({hostile, chars});
  }
  benchmark->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_SanitizeHtml)->Apply(Sizes);
BENCHMARK(BM_Neutralise)->Apply(Sizes);
// Quadratic on the hostile body: at 1 MiB one run takes minutes, so 100 KiB only there.
BENCHMARK(BM_LiteralNeutralise)
    ->ArgNames({"hostile", "chars"})
    ->Args({0, static_cast<int64_t>(k100KiB)})
    ->Args({0, static_cast<int64_t>(k1MiB)})
    ->Args({1, static_cast<int64_t>(k100KiB)})
    ->Unit(benchmark::kMillisecond);
