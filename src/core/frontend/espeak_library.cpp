#include "frontend/espeak_library.hpp"

#include <dlfcn.h>

#include <memory>
#include <mutex>

namespace vantro {
namespace {

// Values of the library's public interface (speak_lib.h), restated here so
// that building needs no espeak-ng header.
constexpr int kAudioOutputSynchronous = 2;
constexpr int kInitializeDontExit = 0x8000;  // report a missing data folder instead of exit()
// The program reads its argument as "auto": UTF-8, or 8-bit text when the
// bytes are not valid UTF-8 (a word holding undecodable file-name bytes).
constexpr int kCharsAuto = 0;
constexpr int kPhonemesIpa = 0x02;

using InitializeFn = int (*)(int, int, const char*, int);

// The library's global state is shared by every handle of the process.
std::mutex& library_mutex() {
    static std::mutex m;
    return m;
}

// dlerror() text in parentheses, or nothing.
std::string dl_detail() {
    const char* detail = dlerror();
    return detail ? std::string(" (") + detail + ")" : std::string();
}

}  // namespace

EspeakLibrary& EspeakLibrary::shared() {
    static std::mutex open_mutex;
    static std::unique_ptr<EspeakLibrary> instance;
    std::lock_guard<std::mutex> lock(open_mutex);
    if (!instance) instance = std::make_unique<EspeakLibrary>(kDefaultSoname);
    return *instance;
}

EspeakLibrary::EspeakLibrary(const char* soname) {
    std::lock_guard<std::mutex> lock(library_mutex());
    handle_ = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (!handle_)
        throw EspeakLibraryError("La bibliotheque eSpeak-NG " + std::string(soname) + " est introuvable" +
                                 dl_detail() +
                                 ". Installez-la (sudo apt install libespeak-ng1) ou utilisez EspeakPhonemizer.");
    auto initialize = reinterpret_cast<InitializeFn>(dlsym(handle_, "espeak_Initialize"));
    set_voice_ = reinterpret_cast<SetVoiceFn>(dlsym(handle_, "espeak_SetVoiceByName"));
    text_to_phonemes_ = reinterpret_cast<TextToPhonemesFn>(dlsym(handle_, "espeak_TextToPhonemes"));
    if (!initialize || !set_voice_ || !text_to_phonemes_) {
        dlclose(handle_);
        handle_ = nullptr;
        throw EspeakLibraryError("La bibliotheque eSpeak-NG (" + std::string(soname) +
                                 ") ne fournit pas les fonctions attendues (version trop ancienne ?).");
    }
    if (initialize(kAudioOutputSynchronous, 0, nullptr, kInitializeDontExit) <= 0) {
        dlclose(handle_);
        handle_ = nullptr;
        throw EspeakLibraryError(
            "La bibliotheque eSpeak-NG n'a pas pu s'initialiser (donnees espeak-ng-data introuvables ?).");
    }
}

EspeakLibrary::~EspeakLibrary() {
    // The library stays loaded: its global state may still be used by
    // another handle on the same file, and unloading it saves nothing.
}

void EspeakLibrary::select_voice_locked(const std::string& voice) {
    if (voice == voice_ && !voice_.empty()) return;
    if (set_voice_(voice.c_str()) != 0) {
        voice_.clear();
        throw EspeakLibraryError("La voix eSpeak-NG '" + voice + "' est introuvable.");
    }
    voice_ = voice;
}

void EspeakLibrary::check_voice(const std::string& voice) {
    std::lock_guard<std::mutex> lock(library_mutex());
    select_voice_locked(voice);
}

template <class Each>
void EspeakLibrary::for_each_clause_locked(const std::string& text, int phoneme_mode, Each&& each) {
    const void* cursor = text.c_str();
    // The library hands out one clause per call and moves the cursor on,
    // to nullptr after the last one.
    while (cursor) {
        const void* before = cursor;
        const char* clause = text_to_phonemes_(&cursor, kCharsAuto, phoneme_mode);
        if (clause) each(clause);
        if (cursor == before) break;  // no progress: never spin
    }
}

std::string EspeakLibrary::ipa(const std::string& voice, const std::string& text) {
    std::lock_guard<std::mutex> lock(library_mutex());
    select_voice_locked(voice);
    std::string out;
    bool first = true;
    // The program prints each clause on its own line.
    for_each_clause_locked(text, kPhonemesIpa, [&](const char* clause) {
        if (!first) out.push_back('\n');
        out += clause;
        first = false;
    });
    return out;
}

std::vector<std::string> EspeakLibrary::clauses(const std::string& voice, const std::string& text,
                                                int phoneme_mode) {
    std::lock_guard<std::mutex> lock(library_mutex());
    select_voice_locked(voice);
    std::vector<std::string> out;
    for_each_clause_locked(text, phoneme_mode, [&](const char* clause) { out.emplace_back(clause); });
    return out;
}

}  // namespace vantro
