#include "frontend/text_words.hpp"

namespace vantro {

namespace {

bool is_piece_letter(char32_t c) noexcept {
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xFF);
}
bool is_word_letter(char32_t c) noexcept { return is_piece_letter(c) || (c >= 0x100 && c <= 0x24F); }
bool is_joiner(char32_t c) noexcept { return c == U'\'' || c == U'\u2019' || c == U'\u02BC' || c == U'-'; }

}  // namespace

std::vector<Span> find_words(TextView text) {
    std::vector<Span> words;
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        if (!is_word_letter(text[i])) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < n && is_word_letter(text[i])) ++i;
        // Each piece needs a letter after its sign; a sign without one ends the word before it.
        while (i + 1 < n && is_joiner(text[i]) && is_piece_letter(text[i + 1])) {
            i += 2;
            while (i < n && is_piece_letter(text[i])) ++i;
        }
        words.push_back(Span{static_cast<std::int64_t>(start), static_cast<std::int64_t>(i)});
    }
    return words;
}

}  // namespace vantro
