// Translation catalogues as a player could leave them beside the game:
// the plural rules of real languages worked out as gettext does, and
// damaged or hostile catalogues refused whole, never trusted.
#include "file_checks/catalogue.h"
#include "file_checks/limits.h"
#include "file_checks/plural_rule.h"
#include "platform/translation.h"
#include "support/null_game.h"
#include "ui/control_ids.h"

#include <cstdint>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

TEST(PluralRule, RealLanguagesChooseTheirForms) {
    struct Case {
        const char* rule;
        std::vector<std::pair<unsigned long, unsigned>> forms;
    };
    const Case CASES[] = {
        {"nplurals=2; plural=(n != 1);", {{0, 1}, {1, 0}, {2, 1}, {21, 1}}},
        {"nplurals=2; plural=(n > 1);", {{0, 0}, {1, 0}, {2, 1}, {100, 1}}},
        {"nplurals=3; plural=(n==1 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2);",
         {{1, 0}, {2, 1}, {4, 1}, {5, 2}, {12, 2}, {14, 2}, {22, 1}, {25, 2}, {112, 2}}},
        {"nplurals=3; plural=(n%10==1 && n%100!=11 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || "
         "n%100>=20) ? 1 : 2);",
         {{1, 0}, {11, 2}, {21, 0}, {3, 1}, {13, 2}, {23, 1}, {5, 2}, {111, 2}}},
        {"nplurals=6; plural=n==0 ? 0 : n==1 ? 1 : n==2 ? 2 : n%100>=3 && n%100<=10 ? 3 : "
         "n%100>=11 ? 4 : 5;",
         {{0, 0}, {1, 1}, {2, 2}, {5, 3}, {11, 4}, {100, 5}, {102, 5}}},
        {"nplurals=1; plural=0;", {{0, 0}, {1, 0}, {7, 0}}},
        // Whatever a rule works out, a count never divides by zero nor
        // picks a form the catalogue does not have.
        {"nplurals=2; plural=n/0 + n%(n-n);", {{0, 0}, {5, 0}}},
        {"nplurals=2; plural=n+5;", {{0, 0}, {1, 0}}},
        {"nplurals = 2 ; plural = !(n <= 1) ;", {{1, 0}, {2, 1}}},
    };
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.rule);
        PluralRule rule;
        ASSERT_TRUE(readPluralRule(c.rule, rule));
        for (const auto& [n, form] : c.forms)
            EXPECT_EQ(pluralForm(rule, n), form) << "n = " << n;
    }
}

TEST(PluralRule, MalformedOrUnboundedRulesAreRefused) {
    const std::string deep = std::string(500, '(') + "n" + std::string(500, ')');
    std::string wide = "n";
    for (int i = 0; i < 300; ++i)
        wide += "+n";
    const std::string REFUSED[] = {
        "",
        "nplurals=2;",
        "nplurals=0; plural=0;",
        "nplurals=7; plural=n;",
        "nplurals=10; plural=n;",
        "nplurals=2; plural=n = 1;",
        "nplurals=2; plural=n != 1; extra",
        "nplurals=2; plural=(n != 1;",
        "nplurals=2; plural=n ? 1;",
        "nplurals=2; plural=-n;",
        "nplurals=2; plural=x;",
        "nplurals=2; plural=1234567890;",
        "nplurals=2; plural=" + deep + ";",
        "nplurals=2; plural=" + wide + ";",
        std::string("nplurals=2; plural=n\0 != 1;", 27),
    };
    for (const std::string& text : REFUSED) {
        SCOPED_TRACE(text.substr(0, 60));
        PluralRule rule;
        EXPECT_FALSE(readPluralRule(text, rule));
        EXPECT_EQ(pluralForm(rule, 1), 0u) << "a refused rule chooses as English does";
        EXPECT_EQ(pluralForm(rule, 2), 1u);
    }
}

// ---------------------------------------------------------------------
// Catalogues written here byte by byte, as msgfmt lays them out.

using Entries = std::vector<std::pair<std::string, std::string>>;

const std::string HEADER = "Content-Type: text/plain; charset=UTF-8\n"
                           "Plural-Forms: nplurals=3; plural=(n==1 ? 0 : n%10>=2 && n%10<=4 && "
                           "(n%100<10 || n%100>=20) ? 1 : 2);\n";

void putWord(std::vector<unsigned char>& out, size_t at, std::uint32_t value, bool bigEndian) {
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<size_t>(i)] =
            static_cast<unsigned char>(value >> (bigEndian ? 24 - 8 * i : 8 * i));
}

std::vector<unsigned char> moFile(const Entries& entries, bool bigEndian = false) {
    const size_t count = entries.size();
    std::vector<unsigned char> out(28 + 16 * count);
    putWord(out, 0, 0x950412de, bigEndian);
    putWord(out, 8, static_cast<std::uint32_t>(count), bigEndian);
    putWord(out, 12, 28, bigEndian);
    putWord(out, 16, static_cast<std::uint32_t>(28 + 8 * count), bigEndian);
    for (int table = 0; table < 2; ++table)
        for (size_t i = 0; i < count; ++i) {
            const std::string& text = table == 0 ? entries[i].first : entries[i].second;
            const size_t entry = 28 + 8 * count * static_cast<size_t>(table) + 8 * i;
            putWord(out, entry, static_cast<std::uint32_t>(text.size()), bigEndian);
            putWord(out, entry + 4, static_cast<std::uint32_t>(out.size()), bigEndian);
            out.insert(out.end(), text.begin(), text.end());
            out.push_back(0);
        }
    return out;
}

const Entries SOUND = {
    {"", HEADER},
    {"Start Game", "Spiel starten"},
    {"Pair found, %d of %d.", "Paar gefunden, %d von %d."},
    {"row %d, column %d", "Spalte %2$d, Reihe %1$d"},
    {std::string("%d click\0%d clicks", 18), std::string("%d klik\0%d kliki\0%d klikow", 26)},
    {"100%% sure", "\xc5\xbc\xc3\xb3\xc5\x82w 100%%"},
};

TEST(Catalogue, ASoundCatalogueIsReadInEitherByteOrder) {
    for (bool bigEndian : {false, true}) {
        Catalogue catalogue;
        ASSERT_TRUE(readCatalogue(moFile(SOUND, bigEndian), catalogue));
        EXPECT_EQ(catalogue.texts.size(), SOUND.size() - 1);
        EXPECT_EQ(catalogue.texts.at("Start Game"), std::vector<std::string>{"Spiel starten"});
        const std::vector<std::string> forms =
            catalogue.texts.at(std::string("%d click\0%d clicks", 18));
        EXPECT_EQ(forms, (std::vector<std::string>{"%d klik", "%d kliki", "%d klikow"}));
        EXPECT_EQ(catalogue.plural.forms, 3u);
        EXPECT_EQ(pluralForm(catalogue.plural, 22), 1u);
    }
}

TEST(Catalogue, DamagedOrHostileCataloguesAreRefusedWhole) {
    struct Case {
        const char* what;
        Entries entries;
    };
    auto with = [](const std::string& id, const std::string& text) {
        Entries entries = SOUND;
        entries.emplace_back(id, text);
        return entries;
    };
    auto header = [](const std::string& text) {
        Entries entries = SOUND;
        entries[0].second = text;
        return entries;
    };
    const Case CASES[] = {
        {"no header", Entries(SOUND.begin() + 1, SOUND.end())},
        {"two headers", with("", HEADER)},
        {"not UTF-8", header("Content-Type: text/plain; charset=ISO-8859-1\n")},
        {"a plural rule that cannot be read", header("Content-Type: text/plain; charset=UTF-8\n"
                                                     "Plural-Forms: nplurals=2; plural=n=1;\n")},
        {"a number where the English has none", with("Back", "Zur%dck")},
        {"a conversion printf would write through", with("Pair found, %d of %d.", "%d %n")},
        {"a string for a number", with("Clicks: %d", "Klicks: %s")},
        {"an argument left out", with("row %d, column %d", "Reihe %d")},
        {"an argument twice", with("Clicks: %d", "%d %1$d")},
        {"a stray per cent sign", with("About", "100% About")},
        {"too few plural forms",
         with(std::string("%d pair\0%d pairs", 16), std::string("%d Paar", 7))},
        {"plural forms for a text without", with("Exit", std::string("Ende\0Enden", 10))},
        {"the same English twice", with("Start Game", "Los")},
        {"a malformed UTF-8 byte", with("Exit", "Ende\xc3")},
        {"an overlong UTF-8 form", with("Exit", "\xc0\xaf"
                                                "Ende")},
        {"a UTF-16 surrogate", with("Exit", "\xed\xa0\x80")},
        {"a control character", with("Exit", "En\x1b[2Jde")},
        {"an empty translation", with("Exit", "")},
        {"a text over the limit", with("Exit", std::string(MAX_CATALOGUE_TEXT_BYTES + 1, 'a'))},
        {"a text no caption could hold", with("Exit", std::string(49, 'a'))},
        {"many more lines", with("Exit", "En\n\n\nde")},
    };
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.what);
        Catalogue catalogue;
        EXPECT_FALSE(readCatalogue(moFile(c.entries), catalogue));
        EXPECT_TRUE(catalogue.texts.empty());
    }
}

TEST(Catalogue, DamagedTablesAreRefusedWithoutReadingPastTheFile) {
    const std::vector<unsigned char> sound = moFile(SOUND);
    std::vector<std::pair<const char*, std::vector<unsigned char>>> cases;
    auto changed = [&](const char* what, size_t at, std::uint32_t value) {
        std::vector<unsigned char> bytes = sound;
        putWord(bytes, at, value, false);
        cases.emplace_back(what, bytes);
    };
    changed("another magic number", 0, 0x950412df);
    changed("a major revision this reader does not know", 4, 0x10000);
    changed("more entries than the file holds", 8, 7);
    changed("more entries than any catalogue needs", 8, MAX_CATALOGUE_ENTRIES + 1);
    changed("a table past the end", 12, 0xfffffff0);
    changed("a string past the end", 28 + 4, static_cast<std::uint32_t>(sound.size()));
    changed("a length reaching past the end", 28, 0xffffffff);
    changed("a string without its NUL", 28 + 8, 3);
    cases.emplace_back("cut in the tables",
                       std::vector<unsigned char>(sound.begin(), sound.begin() + 40));
    cases.emplace_back("cut in a string",
                       std::vector<unsigned char>(sound.begin(), sound.end() - 5));
    cases.emplace_back("empty", std::vector<unsigned char>());
    cases.emplace_back("over the size limit", std::vector<unsigned char>(MAX_CATALOGUE_BYTES + 1));
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        Catalogue catalogue;
        EXPECT_FALSE(readCatalogue(bytes, catalogue));
    }
}

// A player who writes a catalogue beside the game, damaged or hostile,
// gets English, told once on standard error, and the game plays on; the
// file is read without waiting on a named pipe and within its limit. A
// sound catalogue whose text has a character the font lacks shows it as
// something visible.
TEST(Catalogue, OneBesideTheGameThatCannotBeUsedMeansEnglish) {
    auto file = [](const std::vector<unsigned char>& bytes) {
        return [bytes](const std::string& path) {
            std::ofstream(path, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
        };
    };
    Entries dividing = SOUND;
    dividing[0].second = "Content-Type: text/plain; charset=UTF-8\n"
                         "Plural-Forms: nplurals=2; plural=n/0;\n";
    Entries writing = SOUND;
    writing.emplace_back("About", "%n%n%n%n");
    std::vector<unsigned char> cut = moFile(SOUND);
    cut.resize(cut.size() / 2);
    const std::pair<const char*, std::function<void(const std::string&)>> CASES[] = {
        {"a plural rule dividing by zero", file(moFile(dividing))},
        {"a conversion printf would write through", file(moFile(writing))},
        {"cut in half", file(cut)},
        {"over the size limit", file(std::vector<unsigned char>(MAX_CATALOGUE_BYTES + 1))},
        {"a named pipe", [](const std::string& path) { mkfifo(path.c_str(), 0600); }},
        {"a folder", [](const std::string& path) { mkdir(path.c_str(), 0700); }},
    };
    for (const auto& [what, write] : CASES) {
        SCOPED_TRACE(what);
        ScratchDirectory locale;
        ASSERT_EQ(mkdir("de", 0700), 0);
        ASSERT_EQ(mkdir("de/LC_MESSAGES", 0700), 0);
        write(locale.path() + "/de/LC_MESSAGES/kavenna.mo");
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(loadTranslation({"de"}, {locale.path()}));
        const std::string told = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(told.find("refused; playing in English"), std::string::npos) << told;
        EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;
        EXPECT_EQ(translationLanguage(), "en");
        NullGame game;
        game.skipIntro();
        EXPECT_EQ(narrow(findId(ID_START_GAME)->getText()), "Start Game");
    }
    Entries snowman = SOUND;
    snowman[1].second = "Spiel \xe2\x98\x83";
    ScratchDirectory locale;
    ASSERT_EQ(mkdir("de", 0700), 0);
    ASSERT_EQ(mkdir("de/LC_MESSAGES", 0700), 0);
    file(moFile(snowman))(locale.path() + "/de/LC_MESSAGES/kavenna.mo");
    ASSERT_TRUE(loadTranslation({"de"}, {locale.path()}));
    {
        NullGame game;
        game.skipIntro();
        EXPECT_EQ(narrow(findId(ID_START_GAME)->getText()), "Spiel ?");
    }
    useTranslation(Catalogue(), "");
}

} // namespace
