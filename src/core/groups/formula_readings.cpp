#include "groups/formula_readings.hpp"

namespace vantro {

namespace {

// The core's own readings: spans of integers, written forms quoted.
struct CoreSteps {
    const FormulaReading& lecture;

    template <class F>
    void for_each_step(F&& f) const {
        for (const FormulaStep& step : lecture.events) f(step);
    }
    static std::pair<std::int64_t, std::int64_t> span_source(const FormulaStep& step) {
        return {step.span_source.start, step.span_source.end};
    }
    static bool starts_after_end(std::int64_t start, std::int64_t end) { return start > end; }
    static Text shown(std::int64_t n) { return decimal(n); }
    static Text quoted_ortho(const FormulaStep& step) { return quoted(step.ortho); }
};

struct RecordsOut {
    std::vector<SyllabeRec>& out;
    void syllable(const Text& phone, const Text& ortho, const Span& span) {
        out.push_back(SyllabeRec{phone, ortho, span, {}, {}, {}});
    }
    void nucleus(const Text& phone) { out.back().noyau.push_back(PhonemeRec{phone, Text()}); }
};

}  // namespace

Text incoherent_span_message(std::size_t index, TextView ortho, TextView start, TextView end) {
    Text out = U"EventFormule #" + decimal(static_cast<std::int64_t>(index)) + U" (";
    out.append(ortho).append(U") : span_source incohérent (").append(start).append(U", ").append(end);
    return out.append(U") — start > end");
}

Text quoted(TextView text) {
    const bool double_quotes = text.find(U'\'') != TextView::npos && text.find(U'"') == TextView::npos;
    const char32_t quote = double_quotes ? U'"' : U'\'';
    Text out(1, quote);
    for (char32_t c : text) {
        if (c == quote || c == U'\\') {
            out.push_back(U'\\');
            out.push_back(c);
        } else if (c == U'\t' || c == U'\n' || c == U'\r') {
            out.push_back(U'\\');
            out.push_back(c == U'\t' ? U't' : c == U'\n' ? U'n' : U'r');
        } else if (c < 0x20 || c == 0x7F) {
            static constexpr char kHex[] = "0123456789abcdef";
            out.append(U"\\x");
            out.push_back(static_cast<char32_t>(kHex[c >> 4]));
            out.push_back(static_cast<char32_t>(kHex[c & 0xF]));
        } else {
            out.push_back(c);
        }
    }
    out.push_back(quote);
    return out;
}

void valider_spans_formule(const FormulaReading& lecture) {
    CoreSteps steps{lecture};
    valider_spans_formule(steps);
}

std::vector<SyllabeRec> syllabes_depuis_lecture(const FormulaReading& lecture) {
    std::vector<SyllabeRec> syllabes;
    syllabes.reserve(lecture.events.size());
    RecordsOut out{syllabes};
    for (const FormulaStep& step : lecture.events) syllable_of_step(step.phone, step.ortho, step.span_source, out);
    return syllabes;
}

}  // namespace vantro
