#include <gtest/gtest.h>

#include <string>

#include "text/tokenizer.hpp"

namespace {

using namespace vantro;
using text::TokenKind;

// A cut written compactly: sentences split by " | ", tokens by spaces, each
// as KIND:text with its flags (+e elided, +ea elision before, +tu hyphen
// before, +p punctuation before); Word tokens have no KIND.
std::string render(TextView input) {
    std::string out;
    for (const text::Sentence& s : text::tokenize(input)) {
        if (!out.empty()) out += " | ";
        bool first = true;
        for (const text::Token& t : s.tokens) {
            if (!first) out += ' ';
            first = false;
            static const char* kKinds[] = {"", "N:", "S:", "A:", "C:", "P:", "O:"};
            out += kKinds[static_cast<int>(t.kind)] + to_utf8(t.text);
            if (t.elide) out += "+e";
            if (t.elision_avant) out += "+ea";
            if (t.trait_union_avant) out += "+tu";
            if (t.ponctuation_avant) out += "+p";
        }
    }
    return out;
}

std::string lecture(TextView input) {
    std::string out;
    for (const text::Sentence& s : text::tokenize(input)) out += (out.empty() ? "" : " | ") + to_utf8(s.lecture);
    return out;
}

struct Case {
    const char* input;
    const char* cut;
};

void check(const Case* begin, const Case* end) {
    for (const Case* c = begin; c != end; ++c) EXPECT_EQ(render(from_utf8(c->input)), c->cut) << c->input;
}

TEST(Tokenizer, Elisions) {
    const Case cases[] = {
        {"l'enfant l’école lʼarbre", "l'+e enfant+ea l’+e école+ea lʼ+e arbre+ea"},
        {"Qu’il s’en aille jusqu’à lorsqu'on", "Qu’+e il+ea s’+e en+ea aille jusqu’+e à+ea lorsqu'+e on+ea"},
        {"je t’aime, j’t’aime", "je t’+e aime+ea P:, j’+e+p t’+e+ea aime+ea"},
        // Kept whole: no elided form before the apostrophe, or a listed word.
        {"aujourd’hui presqu’île prud'homme quelqu'un O'Neill rock'n'roll",
         "aujourd’hui presqu’île prud'homme quelqu'un O'Neill rock'n'roll"},
        {"d’aujourd’hui l'l'l'a presqu'à", "d’+e aujourd’hui+ea l'+e l'+e+ea l'+e+ea a+ea presqu'+e à+ea"},
        // Before a space, only when a word follows; otherwise a quote.
        {"l' enfant, jusqu’ à", "l'+e enfant+ea P:, jusqu’+e+p à+ea"},
        {"'les chats' du l'", "P:' les+p chats P:' du+p l P:'"},
        {"l’A380 l'1er", "l’+e C:A380+ea l'+e N:1er+ea"},
    };
    check(std::begin(cases), std::end(cases));
}

TEST(Tokenizer, CompoundsAndInvertedPronouns) {
    const Case cases[] = {
        {"grands-parents arc-en-ciel peut-être c’est-à-dire", "grands-parents arc-en-ciel peut-être c’+e est-à-dire+ea"},
        {"rendez-vous garde-à-vous chez-moi", "rendez-vous garde-à-vous chez-moi"},
        {"a-t-il dit-elle est-ce dis-moi", "a -t-il+tu dit -elle+tu est -ce+tu dis -moi+tu"},
        {"donne-le-moi allez-vous-en", "donne -le+tu -moi+tu allez -vous+tu -en+tu"},
        {"va-t’en va-t-en donne-m'en", "va -t’+e+tu en+ea va -t-en+tu donne -m'+e+tu en+ea"},
        {"qu'est-ce Jean-Paul va-t", "qu'+e est+ea -ce+tu Jean-Paul va-t"},
    };
    check(std::begin(cases), std::end(cases));
}

TEST(Tokenizer, NumbersAndFormulas) {
    const Case cases[] = {
        {"12 1998 3,5 1 000 000 -5", "N:12 N:1998 N:3,5 N:1 000 000 N:-5"},
        {"1er 1re 2e 2nd 3ᵉ 21èmes", "N:1er N:1re N:2e N:2nd N:3ᵉ N:21èmes"},
        {"8 h 30 8h30 14h 8 heures", "N:8 h 30 N:8h30 N:14h N:8 heures"},
        {"50 % 10 € 10,50 € 20 °C 45°", "N:50 % N:10 € N:10,50 € N:20 °C N:45°"},
        {"1939-1945 12/05/2023 8:30", "N:1939-1945 N:12/05/2023 N:8:30"},
        {"10 km, 10km, 3 m et m", "N:10 A:km P:, N:10+p A:km P:, N:3+p A:m et m"},
        {"M. Dupont, Mme Durand, Dr. Martin etc.", "A:M. Dupont P:, A:Mme+p Durand P:, A:Dr.+p Martin A:etc."},
        {"n° 5 J.-C. km/h 3 m²", "A:n° N:5 A:J.-C. A:km/h N:3 A:m²"},
        {"MP3 H2O 3D 4x4 COVID-19 www.exemple.fr/a?b=1.", "C:MP3 C:H2O C:3D C:4x4 C:COVID-19 C:www.exemple.fr/a?b=1 P:."},
        {"Louis XIV, le XIXe siècle, chapitre IV, un CD", "Louis N:XIV P:, le+p N:XIXe siècle P:, chapitre+p N:IV P:, un+p CD"},
        {"2 + 2 = 4 & R&D", "N:2 S:+ N:2 S:= N:4 S:& R S:& D"},
        {"2 < 3 <nom@exemple.fr>", "N:2 S:< N:3 P:< C:nom@exemple.fr+p P:>"},
    };
    check(std::begin(cases), std::end(cases));
}

TEST(Tokenizer, PunctuationAndSentences) {
    const Case cases[] = {
        {"« Bonjour », dit-il… puis — sans bruit — il partit.",
         "P:« Bonjour+p P:» P:, dit+p -il+tu P:… puis+p P:— sans+p bruit P:— il+p partit P:."},
        {"Il part. Elle reste !", "Il part P:. | Elle+p reste P:!"},
        {"« Où vas-tu ? » demanda-t-il. « Loin. »", "P:« Où+p vas -tu+tu P:? P:» demanda+p -t-il+tu P:. | P:« Loin+p P:. P:»"},
        {"Des pommes, etc. Puis M. Durand vint.", "Des pommes P:, A:etc.+p | Puis+p A:M. Durand vint P:."},
        {"J. K. Rowling écrit. 3 chats.", "A:J. A:K. Rowling écrit P:. | N:3+p chats P:."},
        {"Titre\n\nLe texte\ncontinue", "Titre | Le+p texte continue"},
        {"Il dit \"oui.\" Puis \"non\".", "Il dit P:\" oui+p P:. P:\" | Puis+p P:\" non+p P:\" P:."},
        {"Fin... Suite", "Fin P:... | Suite+p"},
    };
    check(std::begin(cases), std::end(cases));
}

TEST(Tokenizer, OddInputLosesNothing) {
    const Case cases[] = {
        {"chat\xF0\x9F\x90\xB1\xE2\x80\x8D\xF0\x9F\x90\xB1 chien", "chat O:🐱‍🐱 chien+p"},
        {"a\x01\x7F b", "a O:\x01\x7F b+p"},
        {"\xCC\x81x \xCC\x81", "O:\xCC\x81 x+p O:\xCC\x81"},
        {"anti\xC2\xAD" "constitutionnel étudiant·e·s", "anti\xC2\xAD" "constitutionnel étudiant·e·s"},
        {"", ""},
        {" \n\t ", ""},
    };
    check(std::begin(cases), std::end(cases));
    // A lone surrogate, which UTF-8 cannot carry.
    const Text t = {U'a', 0xD800, U'b'};
    const auto s = text::tokenize(t);
    ASSERT_EQ(s.size(), 1u);
    ASSERT_EQ(s[0].tokens.size(), 3u);
    EXPECT_EQ(s[0].tokens[1].kind, TokenKind::Other);
    EXPECT_EQ(s[0].tokens[1].span, (Span{1, 2}));
}

TEST(Tokenizer, Readings) {
    const Case cases[] = {
        {"l’enfant dit-elle", "l'enfant dit-elle"},
        {"le 1er mai, la 1re fois, le 2nd, les 21es, le XIXe", "le premier mai, la première fois, le second, les vingt et unièmes, le dix-neuvième"},
        {"à 8 h 30, à 1 h, à 14h", "à 8 heures 30, à 1 heure, à 14 heures"},
        {"50 % de 1 000 €, 10,50 €, 1,5 €, -5 °C", "50 pour cent de 1000 euros, 10 euros 50, 1,5 euro, moins 5 degrés Celsius"},
        {"10km M. Dupont Louis XIV", "10 kilomètres monsieur Dupont Louis quatorze"},
        {"1 km chat🐱chien", "1 kilomètre chat chien"},
        {"Il part. Elle reste.", "Il part. | Elle reste."},
    };
    for (const Case& c : cases) EXPECT_EQ(lecture(from_utf8(c.input)), c.cut) << c.input;
}

TEST(Tokenizer, SpansPointIntoDecomposedText) {
    // "L’école est là." with every accent decomposed.
    const Text nfd = from_utf8("L\xE2\x80\x99" "e\xCC\x81" "cole est la\xCC\x80.");
    const auto s = text::tokenize(nfd);
    ASSERT_EQ(s.size(), 1u);
    const auto& t = s[0].tokens;
    ASSERT_EQ(t.size(), 5u);
    EXPECT_EQ(to_utf8(t[1].text), "école");
    EXPECT_EQ(t[1].span, (Span{2, 8}));
    EXPECT_EQ(t[1].nfc_span, (Span{2, 7}));
    EXPECT_EQ(t[3].span, (Span{13, 16}));
    EXPECT_EQ(t[4].span, (Span{16, 17}));
    EXPECT_EQ(s[0].span, (Span{0, 17}));
}

TEST(Tokenizer, SentenceByItself) {
    // The streaming interface gives the sentences one at a time and then stops.
    text::Tokenizer tokenizer(U"Un. Deux.");
    text::Sentence s;
    ASSERT_TRUE(tokenizer.next(s));
    EXPECT_EQ(s.span, (Span{0, 3}));
    ASSERT_TRUE(tokenizer.next(s));
    EXPECT_EQ(s.span, (Span{4, 9}));
    EXPECT_EQ(s.tokens.front().lecture_span, (Span{0, 4}));
    EXPECT_FALSE(tokenizer.next(s));
    EXPECT_FALSE(tokenizer.next(s));
}

}  // namespace
