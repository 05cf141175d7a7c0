// What the complete analysis of a sentence adds to stages E1 and E2: the
// formula readings, given by word position, move to the groups that hold
// those words; the sentence's text is rebuilt from its words.
#pragma once

#include <map>
#include <set>

#include "common/text.hpp"

namespace vantro {

// Each group takes the reading of the last of its words that has one, and
// becomes a formula group. Words are counted group after group from 0, so a
// reading lands on its word's group as long as the groups hold the words in
// order; a reading whose position is never reached is left out. Nothing
// moves when no reading is given.
//
// `Walk` holds the caller's groups and readings: any_reading();
// has_group(gi), asked before each group (the groups may be counted as the
// walk goes); for_each_word(gi, f), which calls f() once per word of group
// gi; has_reading(word); give_reading(gi, word), which hands the reading of
// that word to that group and marks the group as a formula.
template <class Walk>
void move_readings_to_groups(Walk& walk);

// The core's own groups, as their sizes: group -> the word whose reading it takes.
std::map<std::size_t, std::size_t> readings_by_group(const std::vector<std::size_t>& group_sizes,
                                                     const std::set<std::size_t>& words_with_reading);

// The words' texts joined with one space: words without a text leave an
// empty place between spaces.
Text sentence_text(const std::vector<Text>& word_texts);

// ---------------------------------------------------------------- inline part

template <class Walk>
void move_readings_to_groups(Walk& walk) {
    if (!walk.any_reading()) return;
    std::size_t word = 0;
    for (std::size_t gi = 0; walk.has_group(gi); ++gi) {
        walk.for_each_word(gi, [&] {
            if (walk.has_reading(word)) walk.give_reading(gi, word);
            ++word;
        });
    }
}

}  // namespace vantro
