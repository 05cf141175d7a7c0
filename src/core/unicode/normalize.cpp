#include "unicode/normalize.hpp"

#include <algorithm>

#include "unicode/properties.hpp"

namespace vantro::unicode {

namespace {

struct Mark {
    char32_t c;
    std::uint8_t ccc;
};

// Builds the NFC text one segment at a time: a starter and the marks after
// it are gathered in decomposed form, then put in canonical order and
// composed when the next starter (or the end) arrives.
class Composer {
public:
    Composer(Text& out, std::vector<std::int64_t>* begin, std::vector<std::int64_t>* end)
        : out_(out), begin_(begin), end_(end) {}

    void add(char32_t c, std::int64_t source) {
        const std::uint8_t ccc = combining_class(c);
        if (ccc != 0) {
            if (!open_) start(source);
            marks_.push_back({c, ccc});
            seg_end_ = source + 1;
            return;
        }
        if (open_) {
            flush();
            // Two starters compose only when nothing is left between them.
            if (lone_starter_) {
                if (const char32_t both = compose(out_.back(), c)) {
                    out_.pop_back();
                    if (begin_) {
                        begin_->pop_back();
                        end_->pop_back();
                    }
                    open_ = true;
                    marks_.clear();
                    starter_ = both;
                    has_starter_ = true;
                    seg_end_ = source + 1;  // seg_begin_ stays: the two segments are one
                    return;
                }
            }
        }
        start(source);
        starter_ = c;
        has_starter_ = true;
        seg_end_ = source + 1;
    }

    void finish() {
        if (open_) flush();
    }

private:
    void start(std::int64_t source) {
        open_ = true;
        has_starter_ = false;
        seg_begin_ = source;
        marks_.clear();
    }

    void emit(char32_t c) {
        out_.push_back(c);
        if (begin_) {
            begin_->push_back(seg_begin_);
            end_->push_back(seg_end_);
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
                    continue;
                }
            }
            pending_.push_back(m.c);
            last_kept = m.ccc;
        }
        if (has_starter_) emit(starter_);
        for (const char32_t c : pending_) emit(c);
        lone_starter_ = has_starter_ && pending_.empty();
        open_ = false;
    }

    Text& out_;
    std::vector<std::int64_t>* begin_;
    std::vector<std::int64_t>* end_;
    bool open_ = false;
    bool has_starter_ = false;
    bool lone_starter_ = false;
    char32_t starter_ = 0;
    std::int64_t seg_begin_ = 0;
    std::int64_t seg_end_ = 0;
    std::vector<Mark> marks_;
    Text pending_;
};

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
    Composer composer(out, nullptr, nullptr);
    Text d;
    for (std::size_t k = 0; k < s.size(); ++k) {
        d.clear();
        append_decomposition(d, s[k]);
        for (const char32_t c : d) composer.add(c, static_cast<std::int64_t>(k));
    }
    composer.finish();
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
    Composer composer(text_, &begin_, &end_);
    Text d;
    for (std::size_t k = 0; k < original.size(); ++k) {
        d.clear();
        append_decomposition(d, original[k]);
        for (const char32_t c : d) composer.add(c, static_cast<std::int64_t>(k));
    }
    composer.finish();
    // One caller's character decomposed into starters that stay apart gives
    // segments that share it: they are merged, so that the map never splits
    // a character and stays non-decreasing.
    for (std::size_t i = 1; i < begin_.size(); ++i) {
        if (begin_[i] < end_[i - 1]) {
            begin_[i] = begin_[i - 1];
            end_[i] = std::max(end_[i], end_[i - 1]);
        }
    }
    for (std::size_t i = begin_.size(); i-- > 1;) {
        if (begin_[i - 1] == begin_[i]) end_[i - 1] = end_[i];
    }
}

Span NfcText::to_source(Span nfc_span) const noexcept {
    if (identity_) return nfc_span;
    const auto n = static_cast<std::int64_t>(text_.size());
    if (nfc_span.start >= nfc_span.end) {
        const std::int64_t p = nfc_span.start < n ? begin_[static_cast<std::size_t>(nfc_span.start)] : source_size_;
        return {p, p};
    }
    return {begin_[static_cast<std::size_t>(nfc_span.start)], end_[static_cast<std::size_t>(nfc_span.end - 1)]};
}

Span NfcText::source_of(std::size_t index) const noexcept {
    if (identity_) return {static_cast<std::int64_t>(index), static_cast<std::int64_t>(index) + 1};
    return {begin_[index], end_[index]};
}

}  // namespace vantro::unicode
