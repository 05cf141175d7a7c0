#include "groups/group_builder.hpp"

#include "phonology/tokens.hpp"

namespace vantro {

namespace {

const Text ELISION = U"elision";
const Text ENCHAINEMENT = U"enchainement";
const Text LIAISON_PREFIX = U"liaison_";
const Text NO_LIAISON = U"none";

bool starts_with_glide(const PhonemeSets& sets, TextView phone) {
    if (phone.empty()) return false;
    return est_semi_voyelle(sets, phone.substr(0, phoneme_end(phone, 0)));
}

TextView liaison_consonant(const std::optional<Text>& label, const TextMap<Text>& liaison_consonnes) {
    if (!label) return TextView();
    auto it = liaison_consonnes.find(*label);
    return it == liaison_consonnes.end() ? TextView() : TextView(it->second);
}

// The junction that joins `cur` to `prev`, or nothing when the group ends.
std::optional<Text> junction(const WordForGrouping& prev, const WordForGrouping& cur, const GroupingOptions& options,
                             const TextMap<Text>& liaison_consonnes, const PhonemeSets& sets) {
    if (cur.ponctuation_avant || cur.est_formule || prev.est_formule) return std::nullopt;
    if (options.gerer_elisions && (ends_with_apostrophe(prev.text) || cur.elision_avant)) return ELISION;

    std::optional<bool> cur_starts_with_vowel;
    auto starts_with_vowel = [&] {
        if (!cur_starts_with_vowel) {
            cur_starts_with_vowel = !cur.disjonctif && (phone_starts_with_vowel(sets, cur.phone) ||
                                                        (options.glide_joins && starts_with_glide(sets, cur.phone)));
        }
        return *cur_starts_with_vowel;
    };
    // A label that is not exactly "none" (even "") is looked up; unknown labels give no liaison.
    if (options.gerer_liaisons && prev.liaison != NO_LIAISON && starts_with_vowel()) {
        TextView consonant = liaison_consonant(prev.liaison, liaison_consonnes);
        if (!consonant.empty()) {
            Text label;
            label.reserve(LIAISON_PREFIX.size() + consonant.size());
            label.append(LIAISON_PREFIX).append(consonant);
            return label;
        }
    }
    if (options.gerer_enchainement && phone_ends_with_consonne(sets, prev.phone) && starts_with_vowel())
        return ENCHAINEMENT;
    if (options.hyphen_joins && cur.trait_union_avant) return JONCTION_TRAIT_UNION;
    return std::nullopt;
}

GroupPlan start_group(const std::vector<WordForGrouping>& mots, std::size_t i) {
    GroupPlan g;
    g.first = i;
    g.count = 1;
    g.phone_groupe = mots[i].phone;
    g.est_formule = mots[i].est_formule;
    return g;
}

}  // namespace

bool ends_with_apostrophe(TextView text) noexcept {
    if (text.empty()) return false;
    const char32_t c = text.back();
    return c == U'\'' || c == U'\u2019' || c == U'\u02BC';
}

std::vector<GroupPlan> construire_groupes(const std::vector<WordForGrouping>& mots, const GroupingOptions& options,
                                          const TextMap<Text>& liaison_consonnes, const PhonemeSets& sets) {
    std::vector<GroupPlan> groups;
    if (mots.empty()) return groups;
    groups.reserve(mots.size());

    GroupPlan current = start_group(mots, 0);
    for (std::size_t i = 1; i < mots.size(); ++i) {
        const WordForGrouping& cur = mots[i];
        if (auto label = junction(mots[i - 1], cur, options, liaison_consonnes, sets)) {
            ++current.count;
            current.jonctions.push_back(std::move(*label));
            current.phone_groupe.append(cur.phone);
            current.est_formule = current.est_formule || cur.est_formule;
        } else {
            groups.push_back(std::move(current));
            current = start_group(mots, i);
        }
    }
    groups.push_back(std::move(current));
    return groups;
}

}  // namespace vantro
