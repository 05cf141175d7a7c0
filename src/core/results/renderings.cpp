#include "results/renderings.hpp"

namespace vantro {

namespace {

Text join(const std::vector<Text>& parts, TextView separator) {
    Text out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) out.append(separator);
        out.append(parts[i]);
    }
    return out;
}

Text group_phone(const std::vector<PhonemeRec>& phonemes) {
    Text phone;
    for (const PhonemeRec& p : phonemes) phone.append(p.ipa);
    return phone;
}

// Lines joined by "\n", none after the last.
class Lines {
public:
    Text& next() {
        if (any_) text_.push_back(U'\n');
        any_ = true;
        return text_;
    }
    Text take() { return std::move(text_); }

private:
    Text text_;
    bool any_ = false;
};

void add_syllable_lines(Lines& lines, const std::vector<SyllableShown>& syllabes, TextView indent) {
    for (std::size_t i = 0; i < syllabes.size(); ++i) lines.next().append(syllable_line(syllabes[i], i + 1, indent));
}

}  // namespace

Text group_shown(TextView phone) { return phone.empty() ? Text(U"-") : Text(phone); }

SyllableShown syllable_shown(const SyllabeRec& s) {
    return SyllableShown{s.phone,
                         s.ortho,
                         decimal(s.span.start),
                         decimal(s.span.end),
                         group_shown(group_phone(s.attaque)),
                         group_shown(group_phone(s.noyau)),
                         group_shown(group_phone(s.coda))};
}

Text syllable_line(const SyllableShown& s, std::size_t index, TextView indent) {
    Text out(indent);
    out.append(U"σ").append(decimal(static_cast<std::int64_t>(index))).append(U": /").append(s.phone);
    out.append(U"/ <<").append(s.ortho).append(U">> [").append(s.start).append(U":").append(s.end);
    out.append(U"] att=").append(s.attaque).append(U" noy=").append(s.noyau).append(U" cod=").append(s.coda);
    return out;
}

Text format_simple(TextView mot, const std::vector<Text>& syllable_phones, TextView count) {
    Text out(mot);
    out.append(U" -> /").append(join(syllable_phones, U".")).append(U"/ (").append(count).append(U" syll.)");
    return out;
}

Text format_detail(TextView mot, TextView phone, const std::vector<SyllableShown>& syllabes) {
    Lines lines;
    lines.next().append(mot).append(U" -> /").append(phone).append(U"/");
    add_syllable_lines(lines, syllabes, U"  ");
    return lines.take();
}

Text join_group_parts(const std::vector<Text>& parts) { return join(parts, U" | "); }

Text ligne2_part(const std::vector<Text>& syllable_phones) { return join(syllable_phones, U"."); }

Text format_detail(const SentenceShown& s) {
    Lines lines;
    lines.next().append(U"Texte : ").append(s.texte_original);
    lines.next().append(U"Groupes : ").append(s.nb_groupes).append(U"  Syllabes : ").append(s.nb_syllabes);
    lines.next().append(U"Ligne 1 : ").append(s.ligne1);
    lines.next().append(U"Ligne 2 : ").append(s.ligne2);
    lines.next();
    for (std::size_t gi = 0; gi < s.groupes.size(); ++gi) {
        const GroupShown& g = s.groupes[gi];
        Text& line = lines.next();
        line.append(U"  G").append(decimal(static_cast<std::int64_t>(gi + 1))).append(U": <<").append(g.text);
        line.append(U">>").append(g.est_formule ? U" [FORMULE]" : U"").append(U"  /").append(g.phone_groupe);
        line.append(U"/  jonctions=").append(g.jonctions.empty() ? Text(U"-") : join(g.jonctions, U", "));
        add_syllable_lines(lines, g.syllabes, U"    ");
    }
    return lines.take();
}

}  // namespace vantro
