// In-process pronunciations from the espeak-ng shared library.
//
// The library is opened at run time with dlopen, so nothing is needed at
// build time and a machine without it only fails when it is first used.
// libespeak-ng keeps its translator in global state and is not reentrant:
// every call into it goes through one process-wide mutex.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace vantro {

// The library cannot be loaded or set up, or the voice is unknown.
// what() is a French sentence meant for the end user.
class EspeakLibraryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EspeakLibrary {
public:
    static constexpr const char* kDefaultSoname = "libespeak-ng.so.1";

    // The library of the process, opened and initialised on first use.
    // Throws EspeakLibraryError when it cannot be (a later call tries again).
    static EspeakLibrary& shared();

    // Opens `soname` and initialises it. Throws EspeakLibraryError.
    // Instances on the same library share its state; use shared().
    explicit EspeakLibrary(const char* soname);
    ~EspeakLibrary();
    EspeakLibrary(const EspeakLibrary&) = delete;
    EspeakLibrary& operator=(const EspeakLibrary&) = delete;

    // Selects `voice`; throws EspeakLibraryError when it does not exist.
    void check_voice(const std::string& voice);

    // The IPA of `text` (NUL-free bytes, UTF-8 or else 8-bit, read as the
    // program reads its argument) as the espeak-ng program prints it
    // with `-v voice --ipa -q`: one line per clause, stress marks, spaces and
    // language-switch markers included, no final line feed. Thread-safe;
    // throws EspeakLibraryError when the voice cannot be selected.
    std::string ipa(const std::string& voice, const std::string& text);

    // What espeak_TextToPhonemes gives for `text` with `phoneme_mode` (bit 1:
    // IPA instead of eSpeak's own phoneme names; bits 8-23: a character
    // written between the phonemes of a word), one string per clause, in
    // order. Thread-safe; throws EspeakLibraryError like ipa().
    std::vector<std::string> clauses(const std::string& voice, const std::string& text, int phoneme_mode);

private:
    void select_voice_locked(const std::string& voice);
    // Calls `each` with every clause of `text`; the library lock is held.
    template <class Each>
    void for_each_clause_locked(const std::string& text, int phoneme_mode, Each&& each);

    void* handle_ = nullptr;
    using SetVoiceFn = int (*)(const char*);
    using TextToPhonemesFn = const char* (*)(const void**, int, int);
    SetVoiceFn set_voice_ = nullptr;
    TextToPhonemesFn text_to_phonemes_ = nullptr;
    std::string voice_;  // the voice selected last, guarded by the mutex
};

}  // namespace vantro
