#include "reading/sentence_reading.hpp"

#include <algorithm>

#include "alignment/assembly.hpp"
#include "alignment/search.hpp"
#include "reading/placed_syllables.hpp"
#include "phonology/tokens.hpp"

namespace vantro::reading {

namespace {

// Tokens read as one word of the clause text: one token, or a run glued
// by elisions and hyphens. A formula is one unit of as many words as its
// reading has.
struct Unit {
    std::size_t first = 0;     // item index
    std::size_t count = 0;     // items
    std::size_t expected = 1;  // words espeak-ng should print for it
};

// Units [unit, unit + units) heard as the chunks [chunk, chunk + chunks).
struct Block {
    std::size_t unit = 0;
    std::size_t units = 0;
    std::size_t chunk = 0;
    std::size_t chunks = 0;
    bool checked = true;
};

std::size_t words_in(TextView reading) {
    std::size_t n = 0;
    bool in_word = false;
    for (char32_t c : reading) {
        if (c == U' ') {
            in_word = false;
        } else if (!in_word) {
            in_word = true;
            ++n;
        }
    }
    return std::max<std::size_t>(n, 1);
}

// The letters an item's share is aligned with: a formula is spelled by its
// reading, a word by its own letters.
TextView letters_of(const ReadingItem& item) { return item.formula ? TextView(item.reading) : TextView(item.text); }

// Readings keep to what espeak-ng reads as words of one clause.
void append_reading(std::string& out, TextView reading) {
    for (char32_t c : reading) {
        if (c == 0) continue;
        out += to_utf8(TextView(&c, 1));
    }
}

class ClauseMatcher {
public:
    ClauseMatcher(const std::vector<ReadingItem>& items, const std::vector<Unit>& units, const SpokenClause& chunks,
                  const ShareAligner& aligner)
        : items_(items), units_(units), chunks_(chunks), aligner_(aligner) {}

    std::vector<Block> match(ReadingStats* stats) {
        std::vector<Block> blocks;
        // A clause of one token (a code read alone, a title) hears all.
        if (units_.size() == 1) {
            blocks.push_back(Block{0, 1, 0, chunks_.size(), true});
            if (stats) ++stats->clauses_matched;
            return blocks;
        }
        std::size_t expected = 0;
        for (const Unit& u : units_) expected += u.expected;
        if (expected == chunks_.size()) {
            std::size_t c = 0;
            for (std::size_t u = 0; u < units_.size(); ++u) {
                blocks.push_back(Block{u, 1, c, units_[u].expected, true});
                c += units_[u].expected;
            }
            if (stats) ++stats->clauses_matched;
            return blocks;
        }
        greedy(blocks, stats);
        return blocks;
    }

private:
    // Left to right: the first of a few shapes whose letters spell the
    // sounds; the count-preserving shape when none does.
    void greedy(std::vector<Block>& blocks, ReadingStats* stats) {
        std::size_t u = 0;
        std::size_t c = 0;
        const std::size_t nu = units_.size();
        const std::size_t nc = chunks_.size();
        while (u < nu && c < nc) {
            std::size_t left_expected = 0;
            for (std::size_t k = u; k < nu; ++k) left_expected += units_[k].expected;
            if (left_expected == nc - c) {
                for (; u < nu; ++u) {
                    blocks.push_back(Block{u, 1, c, units_[u].expected, true});
                    c += units_[u].expected;
                }
                return;
            }
            const std::size_t natural = std::min(units_[u].expected, nc - c);
            struct Shape {
                std::size_t units, chunks;
            };
            std::vector<Shape> shapes{{1, natural}};
            const bool merges_first = left_expected > nc - c;
            // Several tokens heard as one word (parce que, tout le monde).
            auto add_merges = [&] {
                for (std::size_t a = 2; a <= 4 && u + a <= nu; ++a) shapes.push_back({a, std::max<std::size_t>(1, natural)});
            };
            auto add_splits = [&] {
                for (std::size_t d = 1; d <= 3 && natural + d <= nc - c; ++d) shapes.push_back({1, natural + d});
            };
            if (merges_first) {
                add_merges();
                add_splits();
            } else {
                add_splits();
                add_merges();
            }
            bool placed = false;
            for (const Shape& s : shapes) {
                if (s.chunks == 0) continue;
                if (alignable(u, s.units, c, s.chunks)) {
                    blocks.push_back(Block{u, s.units, c, s.chunks, true});
                    if (stats) stats->units_by_letters += s.units;
                    u += s.units;
                    c += s.chunks;
                    placed = true;
                    break;
                }
            }
            if (!placed) {
                // A token whose letters spell none of the shapes is most
                // likely the one espeak-ng read as more words than expected
                // (a word too long, a name read letter by letter): it takes
                // the surplus, and the tokens after it keep their count.
                const std::size_t surplus = nc - c > left_expected ? nc - c - left_expected : 0;
                const std::size_t take = std::max<std::size_t>(natural, 1) + surplus;
                blocks.push_back(Block{u, 1, c, take, false});
                if (stats) ++stats->units_unchecked;
                c += take;
                ++u;
            }
        }
        // Sounds left over go to the last block; tokens left over hear nothing.
        if (c < nc && !blocks.empty()) blocks.back().chunks += nc - c;
        for (; u < nu; ++u) {
            blocks.push_back(Block{u, 1, nc, 0, false});
            if (stats) ++stats->units_unchecked;
        }
    }

    bool alignable(std::size_t unit, std::size_t units, std::size_t chunk, std::size_t chunks) {
        std::vector<TextView> words;
        for (std::size_t k = unit; k < unit + units; ++k)
            for (std::size_t i = units_[k].first; i < units_[k].first + units_[k].count; ++i)
                words.push_back(letters_of(items_[i]));
        std::vector<SpokenPhoneme> phonemes;
        for (std::size_t k = chunk; k < chunk + chunks; ++k)
            phonemes.insert(phonemes.end(), chunks_[k].phonemes.begin(), chunks_[k].phonemes.end());
        return split_by_letters(words, phonemes, aligner_, scratch_);
    }

    const std::vector<ReadingItem>& items_;
    const std::vector<Unit>& units_;
    const SpokenClause& chunks_;
    const ShareAligner& aligner_;
    std::vector<std::vector<SpokenPhoneme>> scratch_;
};

// Gives each item of a block its share of the block's sounds.
void share_block(const std::vector<ReadingItem>& items, const std::vector<Unit>& units, const SpokenClause& chunks,
                 const Block& block, const ShareAligner& aligner, std::vector<ItemReading>& out,
                 ReadingStats* stats) {
    const std::size_t first = units[block.unit].first;
    const Unit& last_unit = units[block.unit + block.units - 1];
    const std::size_t end = last_unit.first + last_unit.count;

    std::vector<SpokenPhoneme> phonemes;
    bool disjonctif = false;
    std::string language;
    for (std::size_t k = block.chunk; k < block.chunk + block.chunks; ++k) {
        const SpokenChunk& ch = chunks[k];
        if (k == block.chunk) disjonctif = ch.disjonctif;
        if (language.empty()) language = ch.language;
        phonemes.insert(phonemes.end(), ch.phonemes.begin(), ch.phonemes.end());
    }
    out[first].disjonctif = disjonctif;
    for (std::size_t i = first; i < end; ++i) {
        out[i].language = language;
        out[i].share_checked = block.checked;
        if (block.units > 1) out[i].expression = first;
    }
    if (end - first == 1) {
        out[first].phonemes = std::move(phonemes);
        return;
    }
    if (stats) ++stats->glued_runs;
    std::vector<TextView> words;
    for (std::size_t i = first; i < end; ++i) words.push_back(letters_of(items[i]));
    std::vector<std::vector<SpokenPhoneme>> shares;
    if (split_by_letters(words, phonemes, aligner, shares)) {
        if (stats) ++stats->glued_by_letters;
        for (std::size_t i = first; i < end; ++i) out[i].phonemes = std::move(shares[i - first]);
        return;
    }
    // No alignment: the sounds stay together on the last token.
    for (std::size_t i = first; i < end; ++i) out[i].share_checked = false;
    out[end - 1].phonemes = std::move(phonemes);
}

// "y" alone is the pronoun /i/; espeak-ng would say the letter's name.
Text reading_for_espeak(const ReadingItem& item) {
    if (!item.formula) {
        TextView r = item.reading;
        const bool hyphen = !r.empty() && r.front() == U'-';
        if (hyphen) r.remove_prefix(1);
        if (r == U"y" || r == U"Y") return hyphen ? Text(U"-i") : Text(U"i");
    }
    return item.reading;
}

}  // namespace

Text clean_phoneme(TextView ipa) {
    Text out;
    out.reserve(ipa.size());
    for (char32_t c : ipa)
        if (c != U'\u02C8' && c != U'\u02CC' && c != U'-' && c != U' ') out.push_back(c);
    return out;
}

Text joined_ipa(const std::vector<SpokenPhoneme>& phonemes) {
    Text out;
    for (const SpokenPhoneme& p : phonemes) out += clean_phoneme(p.ipa);
    return out;
}

bool split_by_letters(const std::vector<TextView>& words, const std::vector<SpokenPhoneme>& phonemes,
                      const ShareAligner& aligner, std::vector<std::vector<SpokenPhoneme>>& out) {
    Text ipa;
    std::vector<std::size_t> tokens_of(phonemes.size());
    for (std::size_t k = 0; k < phonemes.size(); ++k) {
        const Text c = clean_phoneme(phonemes[k].ipa);
        tokens_of[k] = count_phonemes(c);
        ipa += c;
    }
    const JoinedWords joined = join_words(words);

    thread_local Alignment al;
    try {
        vantro::aligner(al, joined.text, ipa, aligner.table, aligner.silent_letters,
                        words.size() > 1 ? &joined.boundaries : nullptr);
    } catch (const InputTooLong&) {
        return false;
    }
    if (!al.ok) return false;

    // The word of each phoneme token: the word where its letters start; a
    // phoneme without letters of its own goes with the one before.
    std::vector<std::size_t> owners;
    std::size_t owner = 0;
    for (std::size_t i = 0; i < al.dec_ph.size(); ++i) {
        const Span sp = letters_span(joined, al.dec_spans[i]);
        if (sp.end > sp.start) {
            std::int64_t letters = 0;
            owner = 0;
            for (std::size_t w = 0; w < words.size(); ++w) {
                letters += static_cast<std::int64_t>(words[w].size());
                if (sp.start < letters) {
                    owner = w;
                    break;
                }
            }
        }
        owners.insert(owners.end(), count_phonemes(al.dec_ph[i]), owner);
    }
    std::size_t total = 0;
    for (std::size_t n : tokens_of) total += n;
    if (owners.size() != total) return false;

    out.assign(words.size(), {});
    std::size_t t = 0;
    owner = 0;
    for (std::size_t k = 0; k < phonemes.size(); ++k) {
        if (tokens_of[k] > 0) owner = owners[t];
        out[owner].push_back(phonemes[k]);
        t += tokens_of[k];
    }
    return true;
}

ReadingStats& ReadingStats::operator+=(const ReadingStats& o) noexcept {
    clauses += o.clauses;
    clauses_matched += o.clauses_matched;
    units += o.units;
    units_by_letters += o.units_by_letters;
    units_unchecked += o.units_unchecked;
    glued_runs += o.glued_runs;
    glued_by_letters += o.glued_by_letters;
    rereads += o.rereads;
    return *this;
}

namespace {

// Appends `s` to a cache key so that no two different sequences of pieces
// make the same key: its length first.
void append_piece(Text& key, TextView s) {
    key.push_back(static_cast<char32_t>(s.size()));
    key.append(s);
}

}  // namespace

std::vector<ItemReading> read_sentence(const std::vector<ReadingItem>& items, ContextReader& reader,
                                       const ShareAligner& aligner, ReadingStats* stats, ClauseCache* cache) {
    std::vector<ItemReading> out(items.size());
    std::vector<Unit> units;
    std::string text;
    SpokenClause chunks;
    // Everything the clause's readings depend on besides the reader and the
    // aligner's tables: what is read, the letters, and how items are glued.
    Text key;

    auto flush = [&] {
        if (units.empty()) return;
        const std::size_t first = units.front().first;
        const std::size_t end = units.back().first + units.back().count;
        const ClauseShares* kept = cache ? cache->find(key) : nullptr;
        if (kept) {
            for (std::size_t i = first; i < end; ++i) {
                out[i] = kept->items[i - first];
                if (out[i].in_expression()) out[i].expression += first;
            }
            if (stats) *stats += kept->stats;
        } else {
            ReadingStats added;
            chunks.clear();
            reader.read(text, chunks);
            ++added.clauses;
            added.units += units.size();
            ClauseMatcher matcher(items, units, chunks, aligner);
            for (const Block& b : matcher.match(&added)) share_block(items, units, chunks, b, aligner, out, &added);
            if (stats) *stats += added;
            if (cache && reader.last_reading_final()) {
                ClauseShares shares{std::vector<ItemReading>(out.begin() + static_cast<std::ptrdiff_t>(first),
                                                             out.begin() + static_cast<std::ptrdiff_t>(end)),
                                    added};
                for (ItemReading& r : shares.items)
                    if (r.in_expression()) r.expression -= first;
                cache->put(key, std::move(shares));
            }
        }
        units.clear();
        text.clear();
        key.clear();
    };

    for (std::size_t i = 0; i < items.size(); ++i) {
        const ReadingItem& item = items[i];
        const bool after_alone = i > 0 && items[i - 1].alone;
        if (item.clause_start || item.alone || after_alone) flush();
        const bool glue = item.glued && !item.formula && !units.empty() && !items[i - 1].formula;
        if (glue) {
            ++units.back().count;
        } else {
            if (!units.empty()) text.push_back(' ');
            units.push_back(Unit{i, 1, item.formula ? words_in(item.reading) : 1});
        }
        const Text said = reading_for_espeak(item);
        append_reading(text, said);
        if (cache) {
            key.push_back(glue ? U'g' : item.formula ? U'f' : U'w');
            append_piece(key, said);
            append_piece(key, letters_of(item));
        }
    }
    flush();
    return out;
}

}  // namespace vantro::reading
