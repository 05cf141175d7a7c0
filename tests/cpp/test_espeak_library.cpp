#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "frontend/espeak_library.hpp"

namespace {

using vantro::EspeakLibrary;
using vantro::EspeakLibraryError;

TEST(EspeakLibrary, MissingLibraryIsAClearError) {
    try {
        EspeakLibrary lib("libvantro-no-such-espeak.so.9");
        FAIL() << "loaded a library that does not exist";
    } catch (const EspeakLibraryError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("libvantro-no-such-espeak.so.9"), std::string::npos) << message;
        EXPECT_NE(message.find("introuvable"), std::string::npos) << message;
    }
}

EspeakLibrary* shared_or_null() {
    try {
        return &EspeakLibrary::shared();
    } catch (const EspeakLibraryError&) {
        return nullptr;
    }
}

TEST(EspeakLibrary, PrintsLikeTheProgram) {
    EspeakLibrary* lib = shared_or_null();
    if (!lib) GTEST_SKIP() << "libespeak-ng is not installed";
    struct Case { const char* text; const char* raw; };
    const Case cases[] = {
        {"chocolat", "ʃokolˈa"},
        {"-h", "ˈaʃ"},                                   // text, never an option
        {"tee", "(en)tˈiː(fr)"},
        {"bonjour, le monde", "bɔ̃ʒˈuʁ\nlə- mˈɔ̃d"},       // one line per clause
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(lib->ipa("fr", c.text), c.raw) << c.text;
    EXPECT_THROW(lib->ipa("zz-none", "a"), EspeakLibraryError);
    EXPECT_EQ(lib->ipa("fr", "chocolat"), "ʃokolˈa");  // a failed voice change leaves it usable
}

TEST(EspeakLibrary, ConcurrentCallsWithTwoVoicesAgree) {
    // Each call selects its own voice under the lock, so threads that
    // alternate voices still get the answers of a lone caller.
    EspeakLibrary* lib = shared_or_null();
    if (!lib) GTEST_SKIP() << "libespeak-ng is not installed";
    const std::vector<std::string> words = {"maison", "grenouille", "oiseau", "enfant", "septante"};
    const char* voices[] = {"fr", "fr-be"};
    std::vector<std::string> expected[2];
    for (int v = 0; v < 2; ++v)
        for (const auto& w : words) expected[v].push_back(lib->ipa(voices[v], w));
    std::vector<int> mismatches(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            const int v = t % 2;
            for (int round = 0; round < 25; ++round)
                for (std::size_t i = 0; i < words.size(); ++i)
                    if (lib->ipa(voices[v], words[i]) != expected[v][i]) ++mismatches[t];
        });
    for (auto& th : threads) th.join();
    for (int t = 0; t < 4; ++t) EXPECT_EQ(mismatches[t], 0) << "thread " << t;
}

}  // namespace
