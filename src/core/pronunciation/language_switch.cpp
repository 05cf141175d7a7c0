#include "pronunciation/language_switch.hpp"

namespace vantro::pronunciation {

namespace {

bool ascii_letter(char32_t c) noexcept { return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z'); }
bool ascii_alnum(char32_t c) noexcept { return ascii_letter(c) || (c >= U'0' && c <= U'9'); }

// A marker at `i`: "(", letters, optionally "-" and letters or digits, ")".
// The same shape the phonemizers remove. Returns its length, 0 if none.
std::size_t marker_at(TextView s, std::size_t i, std::string& language) {
    if (s[i] != U'(') return 0;
    std::size_t k = i + 1;
    while (k < s.size() && ascii_letter(s[k])) ++k;
    if (k == i + 1) return 0;
    if (k < s.size() && s[k] == U'-') {
        std::size_t m = k + 1;
        while (m < s.size() && ascii_alnum(s[m])) ++m;
        if (m > k + 1) k = m;
    }
    if (k >= s.size() || s[k] != U')') return 0;
    language.clear();
    for (std::size_t c = i + 1; c < k; ++c) {
        const char32_t ch = s[c];
        language.push_back(static_cast<char>(ch >= U'A' && ch <= U'Z' ? ch + 32 : ch));
    }
    return k + 1 - i;
}

}  // namespace

std::vector<LanguageSwitch> find_language_switches(TextView raw, std::string_view base_language) {
    std::vector<LanguageSwitch> out;
    bool open = false;
    std::string language;
    for (std::size_t i = 0; i < raw.size();) {
        const std::size_t len = marker_at(raw, i, language);
        if (len == 0) {
            ++i;
            continue;
        }
        if (open) out.back().end = i;
        open = language != base_language;
        if (open) out.push_back(LanguageSwitch{language, i + len, raw.size()});
        i += len;
    }
    return out;
}

bool has_language_switch(std::string_view raw, std::string_view base_language) {
    return !find_language_switches(from_utf8(raw), base_language).empty();
}

std::string_view voice_language(std::string_view voice) noexcept {
    return voice.substr(0, voice.find_first_of("-_+"));
}

std::string foreign_language(std::string_view raw, std::string_view voice) {
    // Most readings hold no marker at all: no decoding for them.
    if (raw.find('(') == std::string_view::npos) return {};
    for (LanguageSwitch& s : find_language_switches(from_utf8(raw), voice_language(voice)))
        if (s.end > s.start) return std::move(s.language);  // a marker that reads nothing is no switch
    return {};
}

}  // namespace vantro::pronunciation
