// The core alone, without Python: tokens, sonority syllabification, the
// alignment search and its assembly, the syllable builder, and the three
// chained as a word analysis does, on real words with the real data file.
//
//   cmake -S . -B build/bench -DVANTRO_BUILD_PYTHON=OFF -DVANTRO_BUILD_BENCH=ON && cmake --build build/bench
//   build/bench/vantro_core_bench [--benchmark_filter=...]
// The data file is found beside the sources, or through VANTRO_DATA_FILE.
#include <benchmark/benchmark.h>

#include "alignment/assembly.hpp"
#include "bench_data.hpp"
#include "phonology/classifier.hpp"
#include "phonology/sonority.hpp"
#include "phonology/tokens.hpp"
#include "results/syllable_builder.hpp"

namespace {

using namespace vantro;

// Words of the French word list with their espeak-ng pronunciations.
const std::pair<Text, Text> kWords[] = {
    {U"a", U"a"},
    {U"eau", U"o"},
    {U"chat", U"ʃa"},
    {U"volent", U"vol"},
    {U"doline", U"dolin"},
    {U"gémeaux", U"ʒemo"},
    {U"bravait", U"bʁavɛ"},
    {U"asexuée", U"azɛksye"},
    {U"narguas", U"naʁɡa"},
    {U"bidules", U"bidyl"},
    {U"débecter", U"debɛkte"},
    {U"mâchurez", U"maʃyʁe"},
    {U"trempons", U"tʁɑ̃pɔ̃"},
    {U"chocolat", U"ʃɔkɔla"},
    {U"shuntées", U"ʃœ̃te"},
    {U"baisotez", U"bɛzote"},
    {U"diagenèse", U"djaʒnɛz"},
    {U"mordirent", U"mɔʁdiʁ"},
    {U"bourrelez", U"buʁle"},
    {U"majorette", U"maʒoʁɛt"},
    {U"dissuadez", U"disyade"},
    {U"renduirait", U"ʁɑ̃dyiʁɛ"},
    {U"intercaler", U"ɛ̃tɛʁkale"},
    {U"bêtiserais", U"bɛtizʁɛ"},
    {U"réajustent", U"ʁeaʒyst"},
    {U"trochisque", U"tʁoʃisk"},
    {U"biunivoque", U"bjynivok"},
    {U"sonoriserai", U"sonoʁizʁe"},
    {U"sorguassent", U"sɔʁɡas"},
    {U"avisassions", U"avizasjɔ̃"},
    {U"badigeonnais", U"badiʒɔnɛ"},
    {U"octaviassiez", U"ɔktavjasje"},
    {U"casematasses", U"kazmatas"},
    {U"retranchions", U"ʁətʁɑ̃ʃjɔ̃"},
    {U"conglomérait", U"kɔ̃ɡlomeʁɛ"},
    {U"centrifugeait", U"sɑ̃tʁifyʒɛ"},
    {U"caparaçonnerai", U"kapaʁasɔnʁe"},
    {U"saisie-brandon", U"sɛzibʁɑ̃dɔ̃"},
    {U"électromagnétiques", U"elɛktʁomanjetik"},
    {U"sous-bibliothécaire", U"subibliotekɛʁ"},
};
constexpr std::size_t kWordCount = std::size(kWords);

using bench_data::compiled;
using bench_data::data;
using bench_data::Data;

// Every benchmark runs once over the whole word list per iteration and
// reports the time per word.
void per_word(benchmark::State& state) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kWordCount));
    state.counters["ns_per_word"] =
        benchmark::Counter(static_cast<double>(kWordCount), benchmark::Counter::kIsIterationInvariantRate |
                                                                benchmark::Counter::kInvert);
}

void BM_iter_phonemes(benchmark::State& state) {
    for (auto _ : state)
        for (const auto& [word, phone] : kWords) benchmark::DoNotOptimize(iter_phonemes(phone));
    per_word(state);
}
BENCHMARK(BM_iter_phonemes);

void BM_syllabify_ipa(benchmark::State& state) {
    const Data& d = data();
    for (auto _ : state)
        for (const auto& [word, phone] : kWords) benchmark::DoNotOptimize(syllabify_ipa(phone, d.sonority, d.sets));
    per_word(state);
}
BENCHMARK(BM_syllabify_ipa);

void BM_alignement_v2(benchmark::State& state) {
    const CompiledTable& table = compiled();
    for (auto _ : state)
        for (const auto& [word, phone] : kWords)
            benchmark::DoNotOptimize(alignement_v2(word, phone, table, data().silent));
    per_word(state);
}
BENCHMARK(BM_alignement_v2);

void BM_aligner(benchmark::State& state) {
    const CompiledTable& table = compiled();
    for (auto _ : state)
        for (const auto& [word, phone] : kWords) benchmark::DoNotOptimize(aligner(word, phone, table, data().silent));
    per_word(state);
}
BENCHMARK(BM_aligner);

void BM_build_syllabes(benchmark::State& state) {
    const Data& d = data();
    std::vector<std::vector<Text>> sylls;
    std::vector<Alignment> aligned;
    for (const auto& [word, phone] : kWords) {
        sylls.push_back(syllabify_ipa(phone, d.sonority, d.sets));
        aligned.push_back(aligner(word, phone, compiled(), d.silent));
    }
    for (auto _ : state)
        for (std::size_t i = 0; i < kWordCount; ++i) {
            const Alignment& al = aligned[i];
            benchmark::DoNotOptimize(build_syllabes(sylls[i], al.dec_ph, al.dec_gr, al.dec_spans, 0, al.ok, d.sets));
        }
    per_word(state);
}
BENCHMARK(BM_build_syllabes);

// The three stages as a word analysis chains them: classes from tables,
// storage kept from word to word.
void BM_word_analysis(benchmark::State& state) {
    const Data& d = data();
    const CompiledTable& table = compiled();
    const PhonemeClassifier classifier(d.sonority, d.sets);
    std::vector<Text> sylls;
    Alignment al;
    std::vector<SyllabeRec> built;
    for (auto _ : state)
        for (const auto& [word, phone] : kWords) {
            syllabify_ipa(sylls, phone, classifier);
            aligner(al, word, phone, table, d.silent);
            build_syllabes(built, sylls, al.dec_ph, al.dec_gr, al.dec_spans, 0, al.ok, classifier);
            benchmark::DoNotOptimize(built.data());
        }
    per_word(state);
}
BENCHMARK(BM_word_analysis);

// The same through the functions that return new values and ask the sets.
void BM_word_analysis_by_value(benchmark::State& state) {
    const Data& d = data();
    const CompiledTable& table = compiled();
    for (auto _ : state)
        for (const auto& [word, phone] : kWords) {
            const auto sylls = syllabify_ipa(phone, d.sonority, d.sets);
            const Alignment al = aligner(word, phone, table, d.silent);
            benchmark::DoNotOptimize(build_syllabes(sylls, al.dec_ph, al.dec_gr, al.dec_spans, 0, al.ok, d.sets));
        }
    per_word(state);
}
BENCHMARK(BM_word_analysis_by_value);

// Compiling the phoneme table: what the binding does once per table change.
void BM_compile_table(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(CompiledTable(data().table));
}
BENCHMARK(BM_compile_table);

}  // namespace
