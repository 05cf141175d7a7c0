#include "text/word_splitter.hpp"

#include <algorithm>

#include "text/characters.hpp"
#include "text/elision.hpp"
#include "text/inverted_pronouns.hpp"
#include "unicode/unicode.hpp"

namespace vantro::text {

namespace {

Piece word_piece(std::size_t begin, std::size_t end) {
    Piece p;
    p.begin = begin;
    p.end = end;
    return p;
}

// Inverted pronouns from the part at `first` on; `starts[k]` is where part k
// begins (just after its hyphen), `starts.back()` the end of the word + 1.
void push_pronouns(TextView t, const std::vector<Text>& parts, const std::vector<std::size_t>& starts,
                   std::size_t first, std::vector<Piece>& out) {
    for (std::size_t k = first; k < parts.size();) {
        const std::size_t hyphen = starts[k] - 1;
        if (is_euphonic_t(parts, k)) {
            // -t-il: the t is said with the pronoun.
            Piece p = word_piece(hyphen, starts[k + 2] - 1);
            p.trait_union_avant = true;
            out.push_back(std::move(p));
            k += 2;
            continue;
        }
        const std::size_t part_end = starts[k + 1] - 1;
        std::size_t apostrophe = part_end;
        for (std::size_t i = starts[k]; i < part_end; ++i)
            if (is_apostrophe(t[i])) {
                apostrophe = i;
                break;
            }
        if (apostrophe < part_end) {
            // -t'en, -m'y: the elided pronoun, then en or y.
            Piece p = word_piece(hyphen, apostrophe + 1);
            p.trait_union_avant = true;
            p.elide = true;
            out.push_back(std::move(p));
            Piece rest = word_piece(apostrophe + 1, part_end);
            rest.elision_avant = true;
            out.push_back(std::move(rest));
        } else {
            Piece p = word_piece(hyphen, part_end);
            p.trait_union_avant = true;
            out.push_back(std::move(p));
        }
        ++k;
    }
}

}  // namespace

Text comparable(TextView s) {
    Text out = unicode::to_lower(s);
    for (char32_t& c : out)
        if (is_apostrophe(c)) c = U'\'';
    return out;
}

void split_word(TextView t, std::size_t begin, std::size_t end, std::vector<Piece>& out) {
    std::size_t p = begin;
    bool after_elision = false;
    // Elided words at the start, one after the other (qu’|il, j’|t’|aime).
    while (true) {
        std::size_t a = p;
        while (a < end && !is_apostrophe(t[a]) && !is_hyphen(t[a])) ++a;
        if (a + 1 >= end || is_hyphen(t[a])) break;
        if (a - p > kLongestElided || !is_elided_form(comparable(t.substr(p, a - p))) ||
            keeps_apostrophe(comparable(t.substr(p, std::min(end - p, kKeptPrefix)))))
            break;
        Piece e = word_piece(p, a + 1);
        e.elide = true;
        e.elision_avant = after_elision;
        out.push_back(std::move(e));
        after_elision = true;
        p = a + 1;
    }

    // The rest: one word, or a compound followed by inverted pronouns. Most
    // words have no hyphen, and then no pronoun to look for.
    if (std::none_of(t.begin() + static_cast<std::ptrdiff_t>(p), t.begin() + static_cast<std::ptrdiff_t>(end),
                     [](char32_t c) { return is_hyphen(c); })) {
        Piece head = word_piece(p, end);
        head.elision_avant = after_elision;
        out.push_back(std::move(head));
        return;
    }
    std::vector<Text> parts;
    std::vector<std::size_t> starts{p};
    for (std::size_t i = p; i < end; ++i)
        if (is_hyphen(t[i])) {
            parts.push_back(comparable(t.substr(starts.back(), i - starts.back())));
            starts.push_back(i + 1);
        }
    parts.push_back(comparable(t.substr(starts.back(), end - starts.back())));
    starts.push_back(end + 1);

    const std::size_t first = first_inverted_pronoun(parts);
    Piece head = word_piece(p, first < parts.size() ? starts[first] - 1 : end);
    head.elision_avant = after_elision;
    out.push_back(std::move(head));
    if (first < parts.size()) push_pronouns(t, parts, starts, first, out);
}

}  // namespace vantro::text
