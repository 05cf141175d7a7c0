// Reads a clause in context with the espeak-ng program, one process per
// clause: for a phonemizer that starts the program rather than loading the
// library. Much slower than EspeakContextReader, with the same readings.
#pragma once

#include <chrono>
#include <stdexcept>
#include <string>

#include "reading/context_reader.hpp"

namespace vantro::reading {

// The program could not be started, failed or took too long. what() is a
// French sentence meant for the end user.
class ProgramReaderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ProgramContextReader final : public ContextReader {
public:
    explicit ProgramContextReader(std::string voice = "fr", std::string program = "espeak-ng",
                                  std::chrono::milliseconds timeout = std::chrono::seconds(5));
    void read(const std::string& clause, SpokenClause& out) override;

private:
    void read_piece(const std::string& clause, SpokenClause& out);
    // What the program prints for `clause` with `mode_flag` ("-x" or "--ipa").
    std::string run(const std::string& clause, const char* mode_flag) const;

    std::string voice_;
    std::string language_;
    std::string program_;
    std::chrono::milliseconds timeout_;
};

}  // namespace vantro::reading
