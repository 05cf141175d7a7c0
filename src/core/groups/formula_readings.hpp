// Formula readings: a formula token (a number, a symbol) is not syllabified
// from IPA; its reading is computed beforehand and handed in, one syllable
// per reading step.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

#include "common/text.hpp"
#include "results/syllable.hpp"

namespace vantro {

struct FormulaStep {
    Text ortho;         // the written form read at this step
    Text phone;         // its IPA
    Span span_source;   // the characters of the formula in the source text
    Span span_lecture;  // its place in the reading text
};

struct FormulaReading {
    Text display_fr;  // the formula as read aloud
    std::vector<FormulaStep> events;
};

// "EventFormule #<index> (<ortho>) : span_source incohérent (<start>, <end>) — start > end",
// the three values as the caller shows them: `ortho` quoted, as the host's
// repr() gives it.
Text incoherent_span_message(std::size_t index, TextView ortho, TextView start, TextView end);

// A step whose source span starts after it ends; what() is the message in UTF-8.
class IncoherentFormulaSpan : public std::invalid_argument {
public:
    explicit IncoherentFormulaSpan(Text message)
        : std::invalid_argument(to_utf8(message)), message_(std::move(message)) {}
    const Text& message() const noexcept { return message_; }

private:
    Text message_;
};

// A text quoted as the host's repr() quotes a printable one: single quotes,
// or double quotes when it holds a single quote and no double one;
// backslashes, the quote, and the controls \t \n \r escaped, other control
// characters as \xhh.
Text quoted(TextView text);

// Walks the steps in order and throws IncoherentFormulaSpan at the first
// whose start is greater than its end. Equal bounds pass; steps may overlap
// and come in any order.
//
// `Steps` is any reading the caller can walk: for_each_step(f) calls f(step)
// for each step in order; span_source(step) gives (start, end);
// starts_after_end(start, end), shown(value) and quoted_ortho(step) answer
// the test and give the message's texts, asked only when needed.
template <class Steps>
void valider_spans_formule(Steps& steps);
void valider_spans_formule(const FormulaReading& lecture);

// One syllable per step, in step order: the step's phone, its written form
// and its source span as they are (no offset is added); no onset, no coda,
// and a nucleus of one phoneme that holds the whole phone, with no letters.
// `Out` receives, per step, syllable(phone, ortho, span) then
// nucleus(phone), with the step's own values.
void syllable_of_step(const auto& phone, const auto& ortho, const auto& span_source, auto& out) {
    out.syllable(phone, ortho, span_source);
    out.nucleus(phone);
}
std::vector<SyllabeRec> syllabes_depuis_lecture(const FormulaReading& lecture);

// ---------------------------------------------------------------- inline part

template <class Steps>
void valider_spans_formule(Steps& steps) {
    std::size_t index = 0;
    steps.for_each_step([&](auto& step) {
        const auto [start, end] = steps.span_source(step);
        if (steps.starts_after_end(start, end)) {
            // In this order: the caller's objects are asked one after the other.
            const Text ortho = steps.quoted_ortho(step);
            const Text start_shown = steps.shown(start);
            const Text end_shown = steps.shown(end);
            throw IncoherentFormulaSpan(incoherent_span_message(index, ortho, start_shown, end_shown));
        }
        ++index;
    });
}

}  // namespace vantro
