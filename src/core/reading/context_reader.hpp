// Reads a clause in context: what a reader hears, word by word.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "common/text.hpp"
#include "reading/spoken.hpp"

namespace vantro {
class EspeakLibrary;
}

namespace vantro::reading {

class ContextReader {
public:
    virtual ~ContextReader() = default;
    // Appends the words heard in `clause` (UTF-8, words and spaces only:
    // the caller cuts the text at its punctuation) to `out`.
    virtual void read(const std::string& clause, SpokenClause& out) = 0;
    // A French reading of one word that the clause reading gave another
    // language's rules, or nothing when the reader has none.
    virtual std::optional<Text> french_reading(TextView word) {
        (void)word;
        return std::nullopt;
    }
    // True when the words the last read() appended are what every later
    // read() of the same clause would append: the caller may keep them
    // instead of asking again. A reader still learning says false.
    virtual bool last_reading_final() const noexcept { return false; }
};

// espeak-ng in the process (EspeakLibrary::shared()). Each clause is read
// once with eSpeak's phoneme names (liaisons and h aspiré visible), or
// twice while the names of its phonemes are still being learned.
class EspeakContextReader final : public ContextReader {
public:
    // Throws EspeakLibraryError when the library or the voice is missing.
    explicit EspeakContextReader(std::string voice = "fr");
    void read(const std::string& clause, SpokenClause& out) override;
    std::optional<Text> french_reading(TextView word) override;
    bool last_reading_final() const noexcept override { return final_; }

    // Clauses read a second time, in IPA, by this reader.
    std::size_t rereads() const noexcept { return rereads_; }

private:
    EspeakLibrary& library_;
    std::string voice_;
    std::string language_;  // of the voice: "fr" for "fr-be"
    std::size_t rereads_ = 0;
    bool final_ = false;
};

}  // namespace vantro::reading
