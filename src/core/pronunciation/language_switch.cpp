#include "pronunciation/language_switch.hpp"

#include "frontend/language_marker.hpp"

namespace vantro::pronunciation {

namespace {

// A marker at `i` and the language it names, lower-cased; its length, 0 if none.
std::size_t marker_at(TextView s, std::size_t i, std::string& language) {
    const std::size_t length = language_marker_length(s, i);
    if (length == 0) return 0;
    const std::size_t k = i + length - 1;
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
