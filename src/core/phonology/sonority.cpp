#include "phonology/sonority.hpp"

#include <array>

#include "phonology/classifier.hpp"
#include "phonology/tokens.hpp"

namespace vantro {

namespace {

constexpr char32_t kS = U's';

inline bool is_s(TextView t) noexcept { return t.size() == 1 && t[0] == kS; }

const TextSet& set_of(char cls, const SonorityClasses& classes) noexcept {
    switch (cls) {
        case 'Y': return classes.Y;
        case 'L': return classes.L;
        case 'N': return classes.N;
        default: return classes.O;
    }
}

// The class questions asked straight of the sets; PhonemeClassifier asks
// the same of its tables.
struct SetQueries {
    const SonorityClasses& classes;
    const PhonemeSets& sets;
    bool in_class(char cls, TextView t) const { return contains(set_of(cls, classes), t); }
    char class_of(TextView t) const { return vantro::class_of(t, classes, sets); }
};

// Whether the onset side may take `c` at the liquid step; "s" only counts
// there when the caller allows it.
template <class Q>
inline bool takes_on_right(char cls, TextView c, const Q& q, bool s_liquid_in_attack) {
    if (cls == 'L') return q.in_class('L', c) && (s_liquid_in_attack || !is_s(c));
    return q.in_class(cls, c);
}

// Shared by the public entry point (owned tokens) and the syllabifier (views
// into the input), so that syllabifying allocates nothing per token.
template <class Tok, class Q>
std::size_t split_cluster(std::span<const Tok> cluster, const Q& q, bool s_liquid_in_attack) {
    const std::size_t n = cluster.size();
    if (n < 2) return 0;
    std::size_t i = 0, j = n;
    // Falling sonority: each class takes at most one consonant on each side.
    for (const char cls : {'Y', 'L', 'N', 'O'}) {
        if (j > i && takes_on_right(cls, cluster[j - 1], q, s_liquid_in_attack)) --j;
        if (j > i && q.in_class(cls, cluster[i])) ++i;
    }
    if (j > i) {
        // Leading liquids and glides of the unassigned middle still close the
        // left syllable; from the first other consonant (or "s") on, it opens the right one.
        std::size_t k = i;
        while (k < j) {
            const TextView t = cluster[k];
            const char c = q.class_of(t);
            if ((c != 'L' && c != 'Y') || is_s(t)) break;
            ++k;
        }
        i = k;
    }
    return i;
}

// Working buffers that keep their storage from call to call, one set per
// thread; out of line, so that the thread's copy is looked up once per call.
struct SyllabifierBuffers {
    std::vector<TextView> tokens;
    std::vector<std::size_t> nuclei;
};
[[gnu::noinline]] SyllabifierBuffers& syllabifier_buffers() {
    thread_local SyllabifierBuffers buffers;
    return buffers;
}

}  // namespace

SonorityClasses build_sonority_classes(const Alphabet& alphabet) {
    SonorityClasses classes;
    for (const auto& [symbol, entry] : alphabet) {
        if (!entry.type) continue;
        const Text& type = *entry.type;
        if (type == U"voyelle") {
            classes.V.insert(symbol);
        } else if (type == U"semi-voyelle") {
            classes.Y.insert(symbol);
        } else if (type == U"consonne") {
            if (entry.sous_type && *entry.sous_type == U"nasale") classes.N.insert(symbol);
            else if (entry.sous_type && *entry.sous_type == U"liquide") classes.L.insert(symbol);
            else classes.O.insert(symbol);
        }
    }
    classes.O.insert(Text(1, kS));
    classes.L.insert(Text(1, kS));
    for (const Text& c : COMPOUND_PHONEMES) classes.O.insert(c);
    return classes;
}

char class_of(TextView token, const SonorityClasses& classes, const PhonemeSets& sets) {
    if (contains(classes.V, token) || est_voyelle(sets, token)) return 'V';
    if (contains(classes.Y, token) || est_semi_voyelle(sets, token)) return 'Y';
    if (contains(classes.L, token)) return 'L';
    if (contains(classes.N, token)) return 'N';
    return 'O';
}

std::vector<Text> merge_compounds_ipa(const std::vector<Text>& tokens) {
    std::vector<Text> out;
    out.reserve(tokens.size());
    std::size_t i = 0;
    while (i < tokens.size()) {
        if (i + 1 < tokens.size()) {
            Text pair = tokens[i] + tokens[i + 1];
            if (is_compound_phoneme(pair)) {
                out.push_back(std::move(pair));
                i += 2;
                continue;
            }
        }
        out.push_back(tokens[i]);
        ++i;
    }
    return out;
}

std::size_t split_central_cluster(std::span<const Text> cluster, const SonorityClasses& classes,
                                  const PhonemeSets& sets, bool s_liquid_in_attack) {
    return split_cluster(cluster, SetQueries{classes, sets}, s_liquid_in_attack);
}

namespace {

template <class Q>
void syllabify_into(std::vector<Text>& syllables, TextView phone, const Q& q) {
    SyllabifierBuffers& b = syllabifier_buffers();
    std::vector<TextView>& tokens = b.tokens;
    std::vector<std::size_t>& nuclei = b.nuclei;
    std::size_t count = 0;
    auto emit = [&](const char32_t* from, const char32_t* to) {
        if (count == syllables.size()) syllables.emplace_back();
        // Appending to an emptied string takes a shorter path than assigning.
        Text& s = syllables[count++];
        s.clear();
        s.append(from, static_cast<std::size_t>(to - from));
    };
    if (phone.empty()) {
        syllables.clear();
        return;
    }

    // Tokens are contiguous in `phone`, so a joined pair is again a view of it.
    // Each token's end is found once: it is the next token's start.
    tokens.clear();
    std::size_t start = 0;
    std::size_t end = phoneme_end(phone, 0);
    while (start < phone.size()) {
        if (end < phone.size()) {
            const std::size_t next_end = phoneme_end(phone, end);
            if (next_end - start == 2 && is_compound_phoneme(phone.substr(start, 2))) {
                tokens.push_back(phone.substr(start, 2));
                start = next_end;
                end = start < phone.size() ? phoneme_end(phone, start) : start;
                continue;
            }
            tokens.push_back(phone.substr(start, end - start));
            start = end;
            end = next_end;
            continue;
        }
        tokens.push_back(phone.substr(start, end - start));
        start = end;
    }

    nuclei.clear();
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        if (q.class_of(tokens[k]) == 'V') nuclei.push_back(k);
    }
    const char32_t* cut = phone.data();
    const char32_t* const phone_end_ptr = phone.data() + phone.size();
    if (nuclei.size() >= 2) {
        const std::span<const TextView> all(tokens);
        for (std::size_t m = 0; m + 1 < nuclei.size(); ++m) {
            const std::size_t a = nuclei[m], b = nuclei[m + 1];
            const std::size_t boundary =
                a + 1 + split_cluster(all.subspan(a + 1, b - a - 1), q, true);
            const char32_t* end = tokens[boundary].data();
            emit(cut, end);
            cut = end;
        }
    }
    emit(cut, phone_end_ptr);
    syllables.resize(count);
}

}  // namespace

void syllabify_ipa(std::vector<Text>& syllables, TextView phone, const SonorityClasses& classes,
                   const PhonemeSets& sets) {
    syllabify_into(syllables, phone, SetQueries{classes, sets});
}

void syllabify_ipa(std::vector<Text>& syllables, TextView phone, const PhonemeClassifier& classifier) {
    syllabify_into(syllables, phone, classifier);
}

std::vector<Text> syllabify_ipa(TextView phone, const SonorityClasses& classes, const PhonemeSets& sets) {
    std::vector<Text> syllables;
    syllabify_ipa(syllables, phone, classes, sets);
    return syllables;
}

}  // namespace vantro
