// The game in the player's language: the language chosen as every gettext
// program chooses it, arguments placed where a translation wants them, a
// pseudo-language that leaves no English on any screen or in any sentence
// and still fits, and every shipped language fitting its places at both
// scales with every character in the game's font.
#include "app/command_line.h"
#include "game/rules.h"
#include "platform/translation.h"
#include "support/null_game.h"
#include "ui/control_ids.h"
#include "ui/narration.h"
#include "ui/texts.h"

#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

using namespace irr;

namespace {

// Speaks `language` from the catalogues in `directory` while it lives.
struct Speaking {
    Speaking(const std::string& language, const std::string& directory) {
        EXPECT_TRUE(loadTranslation({language}, {directory})) << language;
    }
    ~Speaking() { useTranslation(Catalogue(), ""); }
};

std::vector<std::string> shippedLanguages() {
    std::istringstream list(KAVENNA_LANGUAGES);
    std::vector<std::string> languages;
    for (std::string language; list >> language;)
        languages.push_back(language);
    return languages;
}

TEST(Language, ChosenFromTheEnvironmentAsGettextChoosesIt) {
    struct Case {
        const char* language;
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        std::vector<std::string> wanted;
    };
    const Case CASES[] = {
        {nullptr, nullptr, nullptr, "de_DE.UTF-8", {"de_DE", "de"}},
        {"fr:de", nullptr, nullptr, "de_DE.UTF-8", {"fr", "de"}},
        {nullptr, nullptr, "pl_PL.UTF-8", "de_DE.UTF-8", {"pl_PL", "pl"}},
        {nullptr, "ru_RU.UTF-8", "pl_PL.UTF-8", "de_DE.UTF-8", {"ru_RU", "ru"}},
        {"pt_BR", "C.UTF-8", nullptr, nullptr, {"pt_BR", "pt"}},
        {nullptr,
         nullptr,
         nullptr,
         "sr_RS.UTF-8@latin",
         {"sr_RS@latin", "sr_RS", "sr@latin", "sr"}},
        // The C locale, or none, is English whatever LANGUAGE says; so is
        // English named before any other.
        {"fr", "C", nullptr, "de_DE.UTF-8", {}},
        {"fr", nullptr, nullptr, "POSIX", {}},
        {"fr", nullptr, nullptr, nullptr, {}},
        {"en:de", "C.UTF-8", nullptr, nullptr, {}},
        {"", "", "", "", {}},
    };
    for (const Case& c : CASES) {
        SCOPED_TRACE(testing::Message()
                     << (c.language ? c.language : "-") << " / " << (c.lcAll ? c.lcAll : "-")
                     << " / " << (c.lcMessages ? c.lcMessages : "-") << " / "
                     << (c.lang ? c.lang : "-"));
        EXPECT_EQ(wantedLanguages(c.language, c.lcAll, c.lcMessages, c.lang), c.wanted);
    }
    // --language wherever it stands, up to the end of the options.
    const std::vector<std::pair<std::vector<const char*>, const char*>> LINES = {
        {{"kavenna", "--language", "de"}, "de"},
        {{"kavenna", "--speech", "--language=ru", "--scale", "2"}, "ru"},
        {{"kavenna", "--", "--language", "de"}, nullptr},
        {{"kavenna", "--language"}, nullptr},
        {{"kavenna"}, nullptr},
    };
    for (const auto& [words, language] : LINES) {
        std::vector<char*> argv;
        for (const char* word : words)
            argv.push_back(const_cast<char*>(word));
        const char* found = languageOption(static_cast<int>(argv.size()), argv.data());
        EXPECT_STREQ(found, language) << words.back();
    }
    // A language the game has no catalogue for is English, without a word.
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(loadTranslation(languageForms("xh_ZA.UTF-8"), {KAVENNA_LOCALE_DIR}));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(translationLanguage(), "en");
    EXPECT_STREQ(_("Start Game"), "Start Game");
}

TEST(Language, ArgumentsGoWhereTheTranslationPutsThem) {
    const std::vector<std::string> ARGUMENTS = {"3", "red circle"};
    const std::pair<const char*, const char*> CASES[] = {
        {"%s of %s", "3 of red circle"},  {"%2$s: %1$s", "red circle: 3"}, {"100%% %s", "100% 3"},
        {"no arguments", "no arguments"}, {"%d clicks", "3 clicks"},
    };
    for (const auto& [format, text] : CASES)
        EXPECT_EQ(formatText(format, ARGUMENTS), text) << format;
}

struct ShownText {
    gui::IGUIElement* element;
    std::wstring text;
    // The element's own caption or text, not its tool-tip or an item.
    bool caption;
};

// Every text on screen now, with the element it is on: captions, static
// texts, box texts, menu items and tool-tips.
std::vector<ShownText> screenTexts() {
    std::vector<ShownText> texts;
    std::function<void(gui::IGUIElement*)> collect = [&](gui::IGUIElement* element) {
        if (!element->isVisible())
            return;
        if (element->getText() && *element->getText())
            texts.push_back({element, element->getText(), true});
        if (!element->getToolTipText().empty())
            texts.push_back({element, element->getToolTipText().c_str(), false});
        if (element->getType() == gui::EGUIET_MENU ||
            element->getType() == gui::EGUIET_CONTEXT_MENU) {
            gui::IGUIContextMenu* menu = static_cast<gui::IGUIContextMenu*>(element);
            for (u32 i = 0; i < menu->getItemCount(); ++i)
                texts.push_back({element, menu->getItemText(i), false});
        }
        for (gui::IGUIElement* child : element->getChildren())
            collect(child);
    };
    collect(gameState.guiEnvironment->getRootGUIElement());
    return texts;
}

// The screens a player meets, each handed to `check` with its name: the
// missing-archive box, the main menu and a tool-tip, About, the board
// with its menu open, and the win box.
void visitEveryScreen(int scale, const std::function<void(const char*)>& check) {
    {
        ScratchDirectory dir;
        dir.addLooseAssets();
        NullGame game(scale);
        check("the missing archive's box");
    }
    NullGame game(scale);
    game.skipIntro();
    game.move(400 * scale, 325 * scale);
    game.setTime(gameState.device->getTimer()->getTime() + 1500);
    game.frame();
    check("the main menu with a tool-tip");
    game.clickId(ID_ABOUT);
    check("About");
    game.clickId(ID_BACK);
    captureStdout([&] { game.clickId(ID_START_GAME); });
    game.pointAtMenu(0);
    check("the board, its menu open");
    game.pressKey(KEY_ESCAPE);
    captureStdout([&] { playEveryPair(game); });
    check("the win box");
}

// Every letter of `text` stands inside the pseudo-language's brackets,
// however they nest: no English word is left.
bool allTransformed(const std::wstring& text) {
    int depth = 0;
    for (wchar_t c : text) {
        depth += c == L'[' ? 1 : c == L']' ? -1 : 0;
        if (depth == 0 && ((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z')))
            return false;
    }
    return true;
}

std::wstring wide(const std::string& text) {
    return onScreen(text).c_str();
}

// The places whose size the game sets, and what each holds at most: the
// buttons' captions on one line, the About text in its lines; a box, as
// the engine sizes it, within the window.
void expectEveryTextFits(const char* screen) {
    const core::rect<s32> window =
        gameState.guiEnvironment->getRootGUIElement()->getAbsolutePosition();
    for (const auto& [element, text, caption] : screenTexts()) {
        SCOPED_TRACE(testing::Message() << screen << ": " << utf8(text.c_str()));
        const core::rect<s32> place = element->getAbsolutePosition();
        EXPECT_EQ(text.find(L'?'), std::wstring::npos) << "a character the font lacks";
        EXPECT_TRUE(window.isRectCollided(place) && window.isPointInside(place.UpperLeftCorner) &&
                    window.isPointInside(place.LowerRightCorner - core::position2d<s32>(1, 1)))
            << "out of the window";
        if (caption && element->getType() == gui::EGUIET_BUTTON &&
            element->getParent() == gameState.guiEnvironment->getRootGUIElement()) {
            EXPECT_TRUE(textFits(text.c_str(), place.getWidth()));
        }
        if (caption && element->getType() == gui::EGUIET_STATIC_TEXT && !element->isSubElement()) {
            EXPECT_TRUE(textFits(text.c_str(), place.getWidth(), place.getHeight()));
        }
    }
}

// A caption fits its place, with the margin it keeps from the edges, at
// each scale; a text that wraps fits its lines, and a word too wide for
// any line does not fit at all.
TEST(Language, TextsAreMeasuredAsTheEngineDrawsThem) {
    struct Case {
        const wchar_t* text;
        s32 width;
        s32 height;
        bool fits;
    };
    const Case CASES[] = {
        {L"Start Game", 200, 0, true},
        {L"Start Game, and a good deal more", 200, 0, false},
        {L"Visit my website for more games", 300, 0, true},
        {L"Visit my website for more games", 270, 0, false},
        {L"Devolped By Tesmor Pell", 300, 100, true},
        {L"one two three four five six seven eight nine ten eleven twelve thirteen fourteen "
         L"fifteen sixteen seventeen eighteen nineteen twenty twenty-one twenty-two twenty-three "
         L"twenty-four twenty-five twenty-six twenty-seven",
         300, 100, false},
        {L"Developed\nby\nTesmor\nPell\nand\nfriends", 300, 100, false},
        {L"Unbelievablylongwordthatnolinecanhold", 300, 100, false},
    };
    for (int scale : {1, 2}) {
        NullGame game(scale);
        for (const Case& c : CASES)
            EXPECT_EQ(textFits(c.text, c.width * scale, c.height * scale), c.fits)
                << utf8(c.text) << " at scale " << scale;
    }
}

TEST(Language, ThePseudoLanguageLeavesNoEnglishAnywhereAndFits) {
    Speaking pseudo("xx", KAVENNA_PSEUDO_LOCALE_DIR);
    for (int scale : {1, 2}) {
        SCOPED_TRACE(testing::Message() << "scale " << scale);
        visitEveryScreen(scale, [](const char* screen) {
            for (const ShownText& shown : screenTexts()) {
                EXPECT_TRUE(allTransformed(shown.text))
                    << screen << ": " << utf8(shown.text.c_str());
                // What speech says of the element when the focus reaches it.
                EXPECT_TRUE(allTransformed(wide(focusSentence(shown.element))))
                    << screen << ": " << focusSentence(shown.element);
            }
            expectEveryTextFits(screen);
        });
    }
    // Every sentence a turn gives, and the fixed ones.
    Match match;
    const int partner = TILE_COUNT / 2;
    const int other = 1;
    for (int tile : {0, 0, other, partner, 0, partner}) {
        const Move move = onTileClicked(match, tile);
        match = move.match;
        EXPECT_TRUE(allTransformed(wide(turnSentence(tile, move)))) << turnSentence(tile, move);
    }
    Match last;
    last.matchedPairs = PAIR_COUNT - 1;
    const Move won = onTileClicked(onTileClicked(last, 0).match, partner);
    ASSERT_EQ(won.outcome, Outcome::WON);
    EXPECT_TRUE(allTransformed(wide(turnSentence(partner, won)))) << turnSentence(partner, won);
    for (const char* sentence : {WELCOME_SENTENCE, SPEECH_ON_SENTENCE, SPEECH_OFF_SENTENCE})
        EXPECT_TRUE(allTransformed(wide(_(sentence)))) << _(sentence);
    // And the command line's answers.
    for (const char* option : {"--help", "--version", "--scale=3"}) {
        char name[] = "kavenna";
        std::vector<char*> argv = {name, const_cast<char*>(option)};
        Options options;
        int exitCode = 0;
        ::testing::internal::CaptureStderr();
        const std::string out = captureStdout([&] {
            readCommandLine(static_cast<int>(argv.size()), argv.data(), options, exitCode);
        });
        std::string answer = out + ::testing::internal::GetCapturedStderr();
        // The version's own number and the program's name stay as they are.
        for (const char* kept : {"kavenna " KAVENNA_VERSION, "kavenna:"})
            for (size_t at; (at = answer.find(kept)) != std::string::npos;)
                answer.erase(at, std::string(kept).size());
        EXPECT_TRUE(allTransformed(wide(answer))) << option << ": " << answer;
    }
}

TEST(Language, EveryShippedLanguageFitsItsPlacesAtBothScales) {
    const std::vector<std::string> languages = shippedLanguages();
    ASSERT_GE(languages.size(), 6u);
    for (const std::string& language : languages) {
        SCOPED_TRACE(language);
        Speaking speaking(language, KAVENNA_LOCALE_DIR);
        for (int scale : {1, 2}) {
            SCOPED_TRACE(testing::Message() << "scale " << scale);
            visitEveryScreen(scale, [](const char* screen) {
                expectEveryTextFits(screen);
                // The captions are the translations: none fell back to
                // English for want of room.
                const std::pair<s32, const char*> CAPTIONS[] = {
                    {ID_START_GAME, "Start Game"},
                    {ID_ABOUT, "About"},
                    {ID_BACK, "Back"},
                    {ID_WEBSITE, "Visit my website for more games"}};
                for (const auto& [id, english] : CAPTIONS) {
                    if (gui::IGUIElement* button = findId(id)) {
                        EXPECT_EQ(utf8(button->getText()), _(english)) << screen;
                    }
                }
            });
        }
    }
}

} // namespace
