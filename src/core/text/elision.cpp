#include "text/elision.hpp"

#include "text/word_table.hpp"

namespace vantro::text {

namespace {

// The articles, pronouns and conjunctions that lose their final vowel, and
// the compounds of que. "presqu" elides in older texts (presqu'entièrement).
constexpr WordTable<15> kElided = {
    U"l", U"d", U"j", U"m", U"t", U"s", U"c", U"ç", U"n", U"qu", U"jusqu", U"lorsqu", U"puisqu", U"quoiqu", U"presqu",
};
static_assert([] {
    for (TextView e : kElided)
        if (e.size() > kLongestElided) return false;
    return true;
}());

// Whole words spelled with the apostrophe of an elided form: the apostrophe
// belongs to the word, which is read as one. Both spellings of île.
constexpr WordTable<2> kKept = {
    U"presqu'île",
    U"presqu'ile",
};
static_assert(kKept[0].size() <= kKeptPrefix && kKept[1].size() <= kKeptPrefix);

}  // namespace

bool is_elided_form(TextView lower) { return in_table(kElided, lower); }

bool keeps_apostrophe(TextView lower) {
    for (TextView k : kKept)
        if (lower.starts_with(k)) return true;
    return false;
}

}  // namespace vantro::text
