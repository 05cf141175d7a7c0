// The questions a classifier was asked, for a caller that checks afterwards
// that the sets behind it still give the same answers.
//
// A log is opened on a thread for the length of a scope; while it is open,
// every question a PhonemeClassifier answers on that thread is noted: which
// token, and which question (the vowel test, the sonority class, membership
// of one class). An analysis made only of such questions is the same with
// any sets that answer each noted question the same way. Scopes nest (an
// inner one hides the outer until it closes), so work done inside the outer
// scope's lifetime for another caller does not mix in.
#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "common/text.hpp"

namespace vantro {

class ClassifierQueries {
public:
    // The questions, one bit each.
    enum Question : std::uint8_t {
        kEstVoyelle = 1,
        kClassOf = 2,
        kInO = 4,  // then kInN, kInL, kInY, kInV: in_class of each class, in that order
    };

    void note(TextView t, std::uint8_t question) {
        if (t.size() == 1 && t[0] < kCodes) {
            codes_[t[0] >> 6] |= std::uint64_t{1} << (t[0] & 63);
            questions_[t[0]] |= question;
            return;
        }
        note_other(t, question);
    }

    // Calls f(TextView token, std::uint8_t questions) once for each token noted.
    template <class F>
    void for_each(F f) const {
        for (std::size_t w = 0; w < codes_.size(); ++w) {
            for (std::uint64_t bits = codes_[w]; bits; bits &= bits - 1) {
                const char32_t c = static_cast<char32_t>(w * 64 + static_cast<unsigned>(__builtin_ctzll(bits)));
                f(TextView(&c, 1), questions_[c]);
            }
        }
        for (const auto& [t, q] : others_) f(TextView(t), q);
    }

private:
    static constexpr char32_t kCodes = 0x300;
    void note_other(TextView t, std::uint8_t question);

    std::array<std::uint64_t, kCodes / 64> codes_{};  // which entries of questions_ are set
    std::array<std::uint8_t, kCodes> questions_{};
    std::vector<std::pair<Text, std::uint8_t>> others_;  // few: nasal vowels and the like
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

inline void note_classifier_query(TextView t, std::uint8_t question) {
    if (ClassifierQueries* log = t_classifier_queries) log->note(t, question);
}

}  // namespace vantro
