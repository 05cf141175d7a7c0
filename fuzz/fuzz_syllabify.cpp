// Fuzz target: phoneme tokens, the sonority syllabifier, syllable
// constituents, and the syllable builder on alignments that need not agree
// with the syllables at all.
//
// Input, one field per line: an IPA text; graphemes separated by "|";
// numbers (the word offset, then start and end of each span); the flag
// "0" for a failed alignment; phonemes separated by "|" (default: the
// tokens of the IPA text).

#include <span>

#include "fuzz_common.hpp"
#include "phonology/constituents.hpp"
#include "phonology/tokens.hpp"
#include "results/syllable_builder.hpp"

using namespace vantro;

namespace {

Text concat(const std::vector<Text>& parts) {
    Text out;
    for (const Text& p : parts) out += p;
    return out;
}

std::size_t nuclei(TextView syllable, const fuzz::Data& d) {
    std::size_t n = 0;
    for (const Text& t : merge_compounds_ipa(iter_phonemes(syllable)))
        if (class_of(t, d.sonority, d.sets) == 'V') ++n;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const fuzz::Data& d = fuzz::data();
    const auto f = fuzz::split(std::string_view(reinterpret_cast<const char*>(bytes), size), '\n', 5);
    const Text ipa = fuzz::decode(f[0]);

    // Tokens: non-empty, marks only after the base, nothing lost.
    const std::vector<Text> tokens = iter_phonemes(ipa);
    FUZZ_CHECK(concat(tokens) == ipa);
    for (const Text& t : tokens) FUZZ_CHECK(!t.empty());
    const std::vector<Text> merged = merge_compounds_ipa(tokens);
    FUZZ_CHECK(concat(merged) == ipa);

    const std::size_t r = split_central_cluster(std::span<const Text>(tokens), d.sonority, d.sets, size % 2 == 0);
    FUZZ_CHECK(r <= tokens.size());
    FUZZ_CHECK(tokens.size() >= 2 || r == 0);

    // Syllables: the whole text, one nucleus each when there is a vowel.
    const std::vector<Text> syllables = syllabify_ipa(ipa, d.sonority, d.sets);
    FUZZ_CHECK(concat(syllables) == ipa);
    const std::size_t vowels = nuclei(ipa, d);
    if (vowels > 0) {
        FUZZ_CHECK(syllables.size() == vowels);
        for (const Text& s : syllables) FUZZ_CHECK(nuclei(s, d) == 1);
    } else {
        FUZZ_CHECK(syllables.size() == (ipa.empty() ? 0u : 1u));
    }
    for (const Text& s : syllables) {
        const auto parts = decouper_syllabe(s, d.sets);
        if (parts) FUZZ_CHECK((*parts)[0] + (*parts)[1] + (*parts)[2] == s);
    }

    // The builder on whatever alignment the input describes.
    const std::vector<Text> dec_gr = fuzz::pieces(f.size() > 1 ? f[1] : std::string_view());
    const std::vector<std::int64_t> nums = fuzz::numbers(f.size() > 2 ? f[2] : std::string_view());
    const bool ok = !(f.size() > 3 && !f[3].empty() && f[3][0] == '0');
    const std::vector<Text> dec_ph = f.size() > 4 ? fuzz::pieces(f[4]) : tokens;
    const std::int64_t offset = nums.empty() ? 0 : nums[0];
    std::vector<Span> dec_spans;
    for (std::size_t i = 1; i + 1 < nums.size(); i += 2) dec_spans.push_back({nums[i], nums[i + 1]});

    try {
        const std::vector<SyllabeRec> built = build_syllabes(syllables, dec_ph, dec_gr, dec_spans, offset, ok, d.sets);
        FUZZ_CHECK(built.size() == syllables.size());
        for (std::size_t i = 0; i < built.size(); ++i) FUZZ_CHECK(built[i].phone == syllables[i]);
    } catch (const std::out_of_range&) {
        // Allowed only when the alignment is shorter than its phonemes.
        FUZZ_CHECK(std::min(dec_gr.size(), dec_spans.size()) < dec_ph.size());
    } catch (const std::overflow_error&) {
        // Allowed only when a span moved by the offset leaves the 64-bit range.
        bool beyond = false;
        for (const Span& s : dec_spans) {
            for (std::int64_t x : {s.start, s.end}) {
                const __int128 moved = static_cast<__int128>(offset) + x;
                beyond = beyond || moved > INT64_MAX || moved < INT64_MIN;
            }
        }
        FUZZ_CHECK(beyond);
    }
    return 0;
}
