// The core's word analysis over a list of (word, IPA) pairs, with nothing
// else around it: made to be run under callgrind, where the difference
// between two pass counts is the cost of the analyses alone.
//
//   vantro_core_words PAIRS.tsv PASSES
//
// PAIRS.tsv holds one "word<TAB>ipa" per line (UTF-8). Prints the number of
// syllables built, so that the work cannot be optimised away.
#include <cstdio>
#include <fstream>
#include <string>

#include "alignment/assembly.hpp"
#include "bench_data.hpp"
#include "phonology/classifier.hpp"
#include "phonology/sonority.hpp"
#include "results/syllable_builder.hpp"

int main(int argc, char** argv) {
    using namespace vantro;
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s PAIRS.tsv PASSES\n", argv[0]);
        return 2;
    }
    std::vector<std::pair<Text, Text>> pairs;
    std::ifstream in(argv[1], std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        pairs.emplace_back(from_utf8(std::string_view(line).substr(0, tab)),
                           from_utf8(std::string_view(line).substr(tab + 1)));
    }
    const int passes = std::atoi(argv[2]);
    const bench_data::Data& d = bench_data::data();
    const CompiledTable& table = bench_data::compiled();
    const PhonemeClassifier classifier(d.sonority, d.sets);
    // As a word analysis chains the stages: storage kept from word to word.
    std::vector<Text> sylls;
    Alignment al;
    std::vector<SyllabeRec> built;
    std::size_t total = 0;
    for (int k = 0; k < passes; ++k) {
        for (const auto& [word, phone] : pairs) {
            syllabify_ipa(sylls, phone, classifier);
            aligner(al, word, phone, table, d.silent);
            build_syllabes(built, sylls, al.dec_ph, al.dec_gr, al.dec_spans, 0, al.ok, classifier);
            total += built.size();
        }
    }
    std::printf("%zu words, %zu syllables\n", pairs.size(), total);
    return 0;
}
