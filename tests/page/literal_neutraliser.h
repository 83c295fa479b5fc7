// The neutralising of danger patterns exactly as first written: every search starts again at
// the beginning of the lower-case copy. Slow (quadratic), kept as the reference that the
// linear implementation must match, in the tests, the fuzzer and the benchmark.
#pragma once

#include <string>

namespace tp::testing {

// Neutralises `html` in place; appends each style element kept aside to `styles`.
void LiteralNeutraliseMarkup(std::wstring* html, std::wstring* styles);

}  // namespace tp::testing
