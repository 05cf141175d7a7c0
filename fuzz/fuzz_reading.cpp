// Fuzz target: the text path from plain text to reading groups, with a
// reader that stands in for espeak-ng and hears the clauses in every way the
// real one may: words merged or cut in two, liaison consonants, h aspiré
// pauses, foreign stretches, nothing at all.
//
// Checked on every input: nothing but a failed allocation escapes; the words
// lie in the text in order, each group holds consecutive words with one
// junction between two, and every syllable lies within its group.

#include "fuzz_common.hpp"
#include "phonology/tokens.hpp"
#include "reading/text_reading.hpp"

using namespace vantro;
using namespace vantro::reading;

namespace {

// A rough sound for a letter: enough to make clauses the table can or cannot spell.
const char* sound_of(char32_t c) {
    switch (c) {
        case U'a': case U'à': case U'â': return "a";
        case U'e': return "ə";
        case U'é': case U'è': case U'ê': return "e";
        case U'i': case U'y': return "i";
        case U'o': return "o";
        case U'u': return "y";
        case U'p': return "p";
        case U't': return "t";
        case U'c': case U'k': case U'q': return "k";
        case U'b': return "b";
        case U'd': return "d";
        case U'g': return "ɡ";
        case U'f': return "f";
        case U'v': return "v";
        case U's': return "s";
        case U'z': return "z";
        case U'j': return "ʒ";
        case U'm': return "m";
        case U'n': return "n";
        case U'l': return "l";
        case U'r': return "ʁ";
        case U'x': return "ks";
        default: return nullptr;
    }
}

class FuzzReader final : public ContextReader {
public:
    explicit FuzzReader(std::uint8_t knob) : knob_(knob) {}
    void read(const std::string& clause, SpokenClause& out) override {
        const Text t = from_utf8(clause);
        std::uint32_t h = knob_ * 2654435761u;
        SpokenChunk chunk;
        auto flush = [&](bool force) {
            if (chunk.phonemes.empty() && !force) return;
            out.push_back(std::move(chunk));
            chunk = SpokenChunk();
        };
        for (char32_t c : t) {
            h = (h ^ c) * 16777619u;
            if (c == U' ') {
                // Two words heard as one, now and then; an empty word, rarely.
                if ((h & 7) != 0) flush((h & 63) == 1);
                continue;
            }
            const char* s = sound_of(c >= U'A' && c <= U'Z' ? c + 32 : c);
            if (!s) continue;
            if ((h & 31) == 3) flush(false);  // a word cut in two
            if (chunk.phonemes.empty()) {
                chunk.disjonctif = (h & 15) == 5;
                if ((h & 127) == 7) chunk.language = "en";
            }
            for (const Text& p : iter_phonemes(from_utf8(s)))
                chunk.phonemes.push_back(SpokenPhoneme{p, (h & 3) == 2 && (p == U"z" || p == U"t" || p == U"n")});
        }
        flush(false);
    }

private:
    std::uint8_t knob_;
};

const LiaisonLexicon& lexicon() {
    static const LiaisonLexicon lex = [] {
        LiaisonLexicon l;
        for (const char32_t* w : {U"les", U"des", U"un", U"ils", U"est", U"dix"}) l.donneurs.insert(w);
        for (const char32_t* w : {U"haricot", U"héros"}) l.disjonctifs.insert(w);
        l.jamais_apres.insert(U"et");
        return l;
    }();
    return lex;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    if (size == 0) return 0;
    const Text original = fuzz::decode(std::string_view(reinterpret_cast<const char*>(bytes) + 1, size - 1));
    const fuzz::Data& d = fuzz::data();
    static const CompiledTable table(d.table);
    static const TextMap<Text> liaisons = {{U"Lz", U"z"}, {U"Lt", U"t"}, {U"Ln", U"n"}};
    const TextData data{d.sets, d.sonority, table, d.silent, liaisons, lexicon()};
    FuzzReader reader(bytes[0]);
    TextOptions options;
    options.gerer_liaisons = (bytes[0] & 0x80) == 0;
    const auto n = static_cast<std::int64_t>(original.size());
    try {
        TextAnalyser analyser(original, reader, data, options);
        SentenceAnalysis s;
        std::int64_t previous_end = 0;
        while (analyser.next(s)) {
            FUZZ_CHECK(!s.words.empty());
            for (const TextWord& w : s.words) {
                FUZZ_CHECK(previous_end <= w.span.start && w.span.start < w.span.end && w.span.end <= n);
                previous_end = w.span.end;
            }
            std::size_t next_word = 0;
            for (const TextGroup& g : s.groups) {
                FUZZ_CHECK(g.first == next_word && g.count >= 1 && g.jonctions.size() == g.count - 1);
                next_word += g.count;
                FUZZ_CHECK(g.span.start == s.words[g.first].span.start);
                FUZZ_CHECK(g.span.end == s.words[g.first + g.count - 1].span.end);
                for (const PlacedSyllable& sy : g.syllabes) {
                    FUZZ_CHECK(sy.rec != nullptr);
                    FUZZ_CHECK(g.span.start <= sy.span.start && sy.span.start <= sy.span.end &&
                               sy.span.end <= g.span.end);
                }
            }
            FUZZ_CHECK(next_word == s.words.size());
        }
    } catch (const std::bad_alloc&) {
    }
    return 0;
}
