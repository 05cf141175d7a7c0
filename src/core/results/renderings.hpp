// Text renderings of word and sentence results, for display and for the
// interactive program. Lines are joined by a single line feed, with none
// after the last line.
//
// Every piece a rendering shows comes in as text already: how a value reads
// is the caller's to say (the core's own results give integers in decimal;
// the Python records format whatever their fields hold, as an f-string does).
#pragma once

#include <optional>

#include "common/text.hpp"
#include "results/syllable.hpp"

namespace vantro {

// A syllable as its detail line shows it.
struct SyllableShown {
    Text phone;
    Text ortho;
    Text start, end;            // of its span
    Text attaque, noyau, coda;  // each group's phone, as group_shown() gives it
};

// A group's phone as a syllable line shows it: "-" for the empty string.
Text group_shown(TextView phone);
// The syllables the core builds, shown.
SyllableShown syllable_shown(const SyllabeRec& syllabe);

// "<indent>σ<index>: /phone/ <<ortho>> [start:end] att=… noy=… cod=…".
Text syllable_line(const SyllableShown& s, std::size_t index, TextView indent);

// ---- one word (ResultatAnalyse) --------------------------------------------

// "mot -> /s1.s2/ (count syll.)": the pronunciation is rebuilt from the syllables.
Text format_simple(TextView mot, const std::vector<Text>& syllable_phones, TextView count);
// "mot -> /phone/", then one line per syllable, indented by two spaces.
Text format_detail(TextView mot, TextView phone, const std::vector<SyllableShown>& syllabes);

// ---- one sentence (ResultatSyllabation) ------------------------------------

// What line 1 shows of one group: its words, or, for a formula that has a
// reading, the reading in brackets. `Group` answers est_formule(),
// reading_display() (std::optional<Text>: the reading's display_fr, nothing
// without a reading) and text(), each asked only when the answer is needed.
template <class Group>
Text ligne1_part(Group& group);
// Parts joined with " | " (line 1, and line 2 from the parts below).
Text join_group_parts(const std::vector<Text>& parts);
// What line 2 shows of one group: its syllables' phones joined with ".".
Text ligne2_part(const std::vector<Text>& syllable_phones);

struct GroupShown {
    Text text;
    bool est_formule = false;
    Text phone_groupe;
    std::vector<Text> jonctions;
    std::vector<SyllableShown> syllabes;
};

struct SentenceShown {
    Text texte_original;
    Text nb_groupes, nb_syllabes;
    Text ligne1, ligne2;
    std::vector<GroupShown> groupes;
};

// The header, both lines, an empty line, then each group and its syllables.
Text format_detail(const SentenceShown& sentence);

// ---------------------------------------------------------------- inline part

inline Text reading_in_brackets(TextView display_fr) {
    Text out;
    out.reserve(display_fr.size() + 2);
    out.push_back(U'[');
    out.append(display_fr);
    out.push_back(U']');
    return out;
}

template <class Group>
Text ligne1_part(Group& group) {
    if (group.est_formule()) {
        if (std::optional<Text> display = group.reading_display()) return reading_in_brackets(*display);
    }
    return group.text();
}

}  // namespace vantro
