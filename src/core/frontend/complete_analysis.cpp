#include "frontend/complete_analysis.hpp"

namespace vantro {

namespace {

struct SizesWalk {
    const std::vector<std::size_t>& sizes;
    const std::set<std::size_t>& with_reading;
    std::map<std::size_t, std::size_t>& out;

    bool any_reading() const { return !with_reading.empty(); }
    bool has_group(std::size_t gi) const { return gi < sizes.size(); }
    template <class F>
    void for_each_word(std::size_t gi, F&& f) const {
        for (std::size_t k = 0; k < sizes[gi]; ++k) f();
    }
    bool has_reading(std::size_t word) const { return with_reading.count(word) > 0; }
    void give_reading(std::size_t gi, std::size_t word) { out[gi] = word; }
};

}  // namespace

std::map<std::size_t, std::size_t> readings_by_group(const std::vector<std::size_t>& group_sizes,
                                                     const std::set<std::size_t>& words_with_reading) {
    std::map<std::size_t, std::size_t> out;
    SizesWalk walk{group_sizes, words_with_reading, out};
    move_readings_to_groups(walk);
    return out;
}

Text sentence_text(const std::vector<Text>& word_texts) {
    Text out;
    for (std::size_t i = 0; i < word_texts.size(); ++i) {
        if (i > 0) out.push_back(U' ');
        out.append(word_texts[i]);
    }
    return out;
}

}  // namespace vantro
