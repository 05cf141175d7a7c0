// The text tokenizer alone: a French paragraph of school prose, repeated, in
// NFC and decomposed (NFD); nanoseconds per character, and the complexity
// fitted over the sizes (linear expected).
//
//   cmake -S . -B build/bench -DVANTRO_BUILD_PYTHON=OFF -DVANTRO_BUILD_BENCH=ON && cmake --build build/bench
//   build/bench/vantro_core_bench --benchmark_filter=tokenize
#include <benchmark/benchmark.h>

#include <vector>

#include "text/tokenizer.hpp"
#include "unicode/properties.hpp"

namespace {

using namespace vantro;

constexpr const char32_t* kParagraph =
    U"« Où vas-tu, petit ? » demanda l’ogre. L’enfant ne répondit pas : il courait déjà vers la forêt, "
    U"où les grands-parents l’attendaient depuis le 1er mai. Aujourd’hui, M. Dupont a 72 ans ; il a parcouru "
    U"3,5 km à 8 h 30 pour acheter 1 000 g de pain à 2,50 €. Est-ce qu’il reviendra ? Peut-être… "
    U"Les haricots, les oiseaux et les hiboux dormaient encore au XIXe siècle, dit-elle en riant.\n\n";

Text text_of(std::int64_t repeats, bool decomposed) {
    Text t;
    for (std::int64_t i = 0; i < repeats; ++i) t += kParagraph;
    if (!decomposed) return t;
    Text d;
    for (char32_t c : t) unicode::append_decomposition(d, c);
    return d;
}

void run(benchmark::State& state, bool decomposed) {
    const Text t = text_of(state.range(0), decomposed);
    std::size_t tokens = 0;
    for (auto _ : state) {
        text::Tokenizer tokenizer(t);
        text::Sentence s;
        while (tokenizer.next(s)) tokens += s.tokens.size();
        benchmark::DoNotOptimize(tokens);
    }
    state.SetComplexityN(static_cast<std::int64_t>(t.size()));
    state.counters["ns_per_char"] = benchmark::Counter(static_cast<double>(t.size()),
                                                       benchmark::Counter::kIsIterationInvariantRate |
                                                           benchmark::Counter::kInvert);
}

void BM_tokenize_nfc(benchmark::State& state) { run(state, false); }
void BM_tokenize_nfd(benchmark::State& state) { run(state, true); }

BENCHMARK(BM_tokenize_nfc)->RangeMultiplier(8)->Range(1, 512)->Complexity();
BENCHMARK(BM_tokenize_nfd)->RangeMultiplier(8)->Range(1, 512)->Complexity();

// Runs that once took quadratic time or may tempt a rescan: a word of many
// elisions, a chain of hyphens, a letter under many accents, digit groups.
void BM_tokenize_runs(benchmark::State& state) {
    static const Text kUnits[] = {U"l'", U"a-t-", U"x\u0327\u0301", U"1 000 "};
    std::vector<Text> texts;
    std::size_t chars = 0;
    for (const Text& unit : kUnits) {
        Text& t = texts.emplace_back();
        for (std::int64_t i = 0; i < state.range(0); ++i) t += unit;
        chars += t.size();
    }
    std::size_t tokens = 0;
    for (auto _ : state) {
        for (const Text& t : texts) {
            text::Tokenizer tokenizer(t);
            text::Sentence s;
            while (tokenizer.next(s)) tokens += s.tokens.size();
        }
        benchmark::DoNotOptimize(tokens);
    }
    state.SetComplexityN(static_cast<std::int64_t>(chars));
    state.counters["ns_per_char"] = benchmark::Counter(static_cast<double>(chars),
                                                       benchmark::Counter::kIsIterationInvariantRate |
                                                           benchmark::Counter::kInvert);
}
BENCHMARK(BM_tokenize_runs)->RangeMultiplier(8)->Range(64, 32768)->Complexity();

}  // namespace
