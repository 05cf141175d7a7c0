// The tokens a classifier was asked about, for a caller that checks
// afterwards that the sets behind it still answer the same for them.
//
// A log is opened on a thread for the length of a scope; while it is open,
// every question a PhonemeClassifier answers on that thread notes its token.
// Scopes nest (an inner one hides the outer until it closes), so work done
// inside the outer scope's lifetime for another caller does not mix in.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "common/text.hpp"

namespace vantro {

class ClassifierQueries {
public:
    // Every set the classifier reads may be asked about `t` (and, for a
    // longer token, about its first code point, as the vowel test does).
    void note(TextView t) {
        if (t.size() == 1 && t[0] < kCodes) {
            codes_[t[0] >> 6] |= std::uint64_t{1} << (t[0] & 63);
            return;
        }
        note_other(t);
    }

    // Calls f(TextView) once for each token noted.
    template <class F>
    void for_each(F f) const {
        for (std::size_t w = 0; w < codes_.size(); ++w) {
            for (std::uint64_t bits = codes_[w]; bits; bits &= bits - 1) {
                const char32_t c = static_cast<char32_t>(w * 64 + static_cast<unsigned>(__builtin_ctzll(bits)));
                f(TextView(&c, 1));
            }
        }
        for (const Text& t : others_) f(TextView(t));
    }

private:
    static constexpr char32_t kCodes = 0x300;
    void note_other(TextView t);

    std::array<std::uint64_t, kCodes / 64> codes_{};
    std::vector<Text> others_;  // few: nasal vowels and the like
};

// The log open on this thread, or nullptr.
extern constinit thread_local ClassifierQueries* t_classifier_queries;

// Opens `log` on this thread until the end of the scope.
class ClassifierQueryScope {
public:
    explicit ClassifierQueryScope(ClassifierQueries& log) noexcept : outer_(t_classifier_queries) {
        t_classifier_queries = &log;
    }
    ~ClassifierQueryScope() { t_classifier_queries = outer_; }
    ClassifierQueryScope(const ClassifierQueryScope&) = delete;
    ClassifierQueryScope& operator=(const ClassifierQueryScope&) = delete;

private:
    ClassifierQueries* outer_;
};

inline void note_classifier_query(TextView t) {
    if (ClassifierQueries* log = t_classifier_queries) log->note(t);
}

}  // namespace vantro
