#include "unicode/normalize.hpp"

#include <algorithm>

#include "unicode/properties.hpp"

namespace vantro::unicode {

namespace {

struct Mark {
    char32_t c;
    std::uint8_t ccc;
    std::int64_t source;
};

// Builds the NFC text one segment at a time: a starter and the marks after
// it are gathered in decomposed form, then put in canonical order and
// composed when the next starter (or the end) arrives. Each character keeps
// the caller's characters it came from: a mark its own, a starter its own and
// those of the marks (or the starter) composed into it.
class Composer {
public:
    Composer(Text& out, std::vector<std::int64_t>* begin, std::vector<std::int64_t>* end)
        : out_(out), begin_(begin), end_(end) {}

    void add(char32_t c, std::int64_t source) {
        const std::uint8_t ccc = combining_class(c);
        if (ccc != 0) {
            marks_.push_back({c, ccc, source});
            return;
        }
        flush();
        // Two starters compose only when nothing is left between them.
        if (lone_starter_) {
            if (const char32_t both = compose(out_.back(), c)) {
                out_.pop_back();
                if (begin_) {
                    from_ = begin_->back();
                    begin_->pop_back();
                    end_->pop_back();
                }
                starter_ = both;
                has_starter_ = true;
                to_ = source + 1;
                return;
            }
        }
        starter_ = c;
        has_starter_ = true;
        from_ = source;
        to_ = source + 1;
    }

    void finish() { flush(); }

private:
    void emit(char32_t c, std::int64_t from, std::int64_t to) {
        out_.push_back(c);
        if (begin_) {
            begin_->push_back(from);
            end_->push_back(to);
        }
    }

    void flush() {
        std::stable_sort(marks_.begin(), marks_.end(), [](const Mark& a, const Mark& b) { return a.ccc < b.ccc; });
        pending_.clear();
        std::uint8_t last_kept = 0;  // class of the last mark left uncomposed
        for (const Mark& m : marks_) {
            if (has_starter_ && (last_kept == 0 || last_kept < m.ccc)) {
                if (const char32_t both = compose(starter_, m.c)) {
                    starter_ = both;
                    from_ = std::min(from_, m.source);
                    to_ = std::max(to_, m.source + 1);
                    continue;
                }
            }
            pending_.push_back(m);
            last_kept = m.ccc;
        }
        if (has_starter_) emit(starter_, from_, to_);
        for (const Mark& m : pending_) emit(m.c, m.source, m.source + 1);
        lone_starter_ = has_starter_ && pending_.empty();
        has_starter_ = false;
        marks_.clear();
    }

    Text& out_;
    std::vector<std::int64_t>* begin_;
    std::vector<std::int64_t>* end_;
    bool has_starter_ = false;
    bool lone_starter_ = false;
    char32_t starter_ = 0;
    std::int64_t from_ = 0;
    std::int64_t to_ = 0;
    std::vector<Mark> marks_;
    std::vector<Mark> pending_;
};

void compose_all(TextView s, Text& out, std::vector<std::int64_t>* begin, std::vector<std::int64_t>* end) {
    Composer composer(out, begin, end);
    Text d;
    for (std::size_t k = 0; k < s.size(); ++k) {
        d.clear();
        append_decomposition(d, s[k]);
        for (const char32_t c : d) composer.add(c, static_cast<std::int64_t>(k));
    }
    composer.finish();
}

}  // namespace

bool is_nfc_quick(TextView s) noexcept {
    std::uint8_t last = 0;
    for (const char32_t c : s) {
        if (c < 0x300) {
            last = 0;
            continue;
        }
        const std::uint8_t ccc = combining_class(c);
        if ((ccc != 0 && last > ccc) || nfc_quick_check(c) != QuickCheck::Yes) return false;
        last = ccc;
    }
    return true;
}

Text nfc(TextView s) {
    if (is_nfc_quick(s)) return Text(s);
    Text out;
    out.reserve(s.size());
    compose_all(s, out, nullptr, nullptr);
    return out;
}

NfcText::NfcText(TextView original) : source_size_(static_cast<std::int64_t>(original.size())) {
    if (is_nfc_quick(original)) {
        text_.assign(original);
        return;
    }
    identity_ = false;
    text_.reserve(original.size());
    begin_.reserve(original.size());
    end_.reserve(original.size());
    compose_all(original, text_, &begin_, &end_);
}

Span NfcText::to_source(Span nfc_span) const noexcept {
    if (identity_) return nfc_span;
    const auto n = static_cast<std::int64_t>(text_.size());
    if (nfc_span.start >= nfc_span.end) {
        const std::int64_t p = nfc_span.start < n ? begin_[static_cast<std::size_t>(nfc_span.start)] : source_size_;
        return {p, p};
    }
    // Reordered marks make the per-character ranges overlap: the span is
    // their union.
    Span out{begin_[static_cast<std::size_t>(nfc_span.start)], end_[static_cast<std::size_t>(nfc_span.start)]};
    for (auto i = static_cast<std::size_t>(nfc_span.start) + 1; i < static_cast<std::size_t>(nfc_span.end); ++i) {
        out.start = std::min(out.start, begin_[i]);
        out.end = std::max(out.end, end_[i]);
    }
    return out;
}

Span NfcText::source_of(std::size_t index) const noexcept {
    if (identity_) return {static_cast<std::int64_t>(index), static_cast<std::int64_t>(index) + 1};
    return {begin_[index], end_[index]};
}

}  // namespace vantro::unicode
