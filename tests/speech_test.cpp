// Speech: what each key and event says, how each sentence meets those
// before it (which cut off which, which wait, which must be heard whole),
// leaving as the protocol asks, and a service that is missing, silent,
// gone or back.
#include "game/board_shape.h"
#include "platform/speech.h"
#include "platform/translation.h"
#include "support/null_game.h"
#include "ui/control_ids.h"
#include "ui/menu_keys.h"
#include "ui/narration.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

using namespace irr;

namespace {

// The speech service, played by the test: a Unix socket named in
// SPEECHD_ADDRESS. The game writes without waiting, so whatever a step
// said is on the socket when the step returns; the test reads it then
// and answers each sentence with its number, as the service does; the
// game reads the answers at its next frame.
class HeardSpeech {
  public:
    HeardSpeech() : path(scratch.path() + "/speechd.sock") {
        setenv("SPEECHD_ADDRESS", ("unix_socket:" + path).c_str(), 1);
        listen();
    }
    ~HeardSpeech() {
        hangUp();
        close(listener);
        unsetenv("SPEECHD_ADDRESS");
    }
    void listen() {
        listener = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ASSERT_EQ(::listen(listener, 4), 0);
    }
    // The service goes away: no connection and nobody listening.
    void vanish() {
        hangUp();
        close(listener);
        unlink(path.c_str());
    }
    void hangUp() {
        if (connection >= 0)
            close(connection);
        connection = -1;
        pending.clear();
    }
    // The sentences said since the last call, as "priority: text", where
    // "result" stands for a "message" that first cancelled what was said
    // before it; a connection the game opened meanwhile is taken up.
    std::vector<std::string> said() {
        if (connection < 0)
            connection = accept(listener, nullptr, nullptr);
        char bytes[4096];
        ssize_t n = 0;
        while (connection >= 0 && (n = recv(connection, bytes, sizeof bytes, MSG_DONTWAIT)) > 0)
            pending.append(bytes, static_cast<std::size_t>(n));
        gameLeft = n == 0;
        leftRudely = n < 0 && errno == ECONNRESET;
        std::vector<std::string> sentences;
        for (std::size_t end; (end = pending.find("\r\n")) != std::string::npos;) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 2);
            commands.push_back(line);
            if (speaking && line == ".") {
                const bool result = priority == "message" && cancelled;
                sentences.push_back((result ? "result" : priority) + ": " + text);
                numbers[text] = ++numbered;
                if (answering)
                    answer("225-" + std::to_string(numbered) + "\r\n225 OK MESSAGE QUEUED\r\n");
                speaking = cancelled = false;
            } else if (speaking) {
                text += (text.empty() ? "" : "\n") + line.substr(line.rfind("..", 0) == 0);
            } else if (line == "SPEAK") {
                speaking = true;
                text.clear();
            } else if (line.rfind("SET SELF PRIORITY ", 0) == 0) {
                priority = line.substr(18);
            } else if (line == "CANCEL SELF") {
                cancelled = true;
            }
        }
        return sentences;
    }
    void answer(const std::string& lines) {
        if (connection >= 0)
            ::send(connection, lines.data(), lines.size(), MSG_NOSIGNAL);
    }
    // The service tells the game that `sentence` has been said to its end.
    void ended(const std::string& sentence) {
        ASSERT_TRUE(numbers.count(sentence)) << sentence;
        const std::string number = std::to_string(numbers[sentence]);
        answer("702-" + number + "\r\n702-1\r\n702 END\r\n");
    }
    std::vector<std::string> commands;
    // The game closed its end, having read all the service said; or with
    // answers unread.
    bool gameLeft = false;
    bool leftRudely = false;
    bool answering = true;

  private:
    ScratchDirectory scratch;
    std::string path;
    int listener = -1;
    int connection = -1;
    std::string pending;
    std::string priority = "none";
    std::string text;
    bool speaking = false;
    bool cancelled = false;
    int numbered = 0;
    std::map<std::string, int> numbers;
};

using Sentences = std::vector<std::string>;

const char* const GOODBYE = "231 HAPPY HACKING\r\n";

// Pairs in a known place: tile k and tile k + PAIR_COUNT hold value
// k % PAIR_COUNT + 1; on the board of 20 tiles,
// so tile 0 (row 1, column 1) and tile 10 (row 1, column 3) hold value 1,
// picture 2.jpg, and tile 5 (row 1, column 2) value 6, picture 7.jpg.
void dealKnownPairs() {
    for (int id = 0; id < TILE_COUNT; ++id)
        board.match.tileValues[id] = id % PAIR_COUNT + 1;
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

const std::string NEW_BOARD = "New game: " + std::to_string(TILE_COUNT) + " tiles face down, in " +
                              std::to_string(BOARD_ROWS) + " rows of " +
                              std::to_string(BOARD_COLUMNS) + ".";
const std::string WON = ". Pair found, " + std::to_string(PAIR_COUNT) + " of " +
                        std::to_string(PAIR_COUNT) + ". You won. Your number of clicks are ";

TEST(Speech, EachEventAndTheSentenceItGives) {
    HeardSpeech service;
    NullGame game;
    ASSERT_TRUE(startSpeech());
    const std::string TITLE = "text: Menu, opens with Enter";
    const std::string MAIN_MENU = "Main menu: Start Game, About.";
    const std::string ABOUT = "About: Devolped By Tesmor Pell.";
    // The one sentence a win is, heard by its end.
    std::string win;
    struct Step {
        const char* what;
        std::function<void()> act;
        Sentences heard;
    };
    const Step steps[] = {
        {"speech on at the start",
         [&] { sayWelcome(); },
         {std::string("result: ") + WELCOME_SENTENCE}},
        // The welcome must be heard whole: the main menu waits for it.
        {"the intro ends", [&] { game.skipIntro(); }, {"message: " + MAIN_MENU}},
        {"the welcome ends",
         [&] {
             service.ended(WELCOME_SENTENCE);
             game.frame();
         },
         {}},
        {"Tab", [&] { game.pressKey(KEY_TAB); }, {"text: Start Game"}},
        {"Up, nothing above",
         [&] { game.pressKey(KEY_UP); },
         {"text: Nothing above; still Start Game"}},
        {"Down", [&] { game.pressKey(KEY_DOWN); }, {"text: About"}},
        {"Space on About", [&] { game.pressKey(KEY_SPACE); }, {"result: " + ABOUT, "text: Back"}},
        {"Tab", [&] { game.pressKey(KEY_TAB); }, {"text: Visit my website for more games"}},
        {"Tab", [&] { game.pressKey(KEY_TAB); }, {"text: Back"}},
        {"Enter on Back",
         [&] { game.pressKey(KEY_RETURN); },
         {"result: " + MAIN_MENU, "text: Start Game"}},
        {"Escape, nothing to close", [&] { game.pressKey(KEY_ESCAPE); }, {"text: Start Game"}},
        {"F2, no board here", [&] { game.pressKey(KEY_F2); }, {"text: Start Game"}},
        {"Down, Space, Escape",
         [&] {
             game.pressKey(KEY_DOWN);
             game.pressKey(KEY_SPACE);
             game.pressKey(KEY_ESCAPE);
         },
         {"text: About", "result: " + ABOUT, "text: Back", "result: " + MAIN_MENU,
          "text: Start Game"}},
        {"Space on Start Game",
         [&] {
             captureStdout([&] { game.pressKey(KEY_SPACE); });
             dealKnownPairs();
         },
         {"result: " + NEW_BOARD, "text: row 1, column 1, face down"}},
        {"Up and Left in the corner",
         [&] {
             game.pressKey(KEY_UP);
             game.pressKey(KEY_LEFT);
         },
         {"text: Nothing above; still row 1, column 1, face down",
          "text: Nothing to the left; still row 1, column 1, face down"}},
        {"Space on a tile",
         [&] { game.pressKey(KEY_SPACE); },
         {"result: blue square, row 1, column 1"}},
        {"Space on it again",
         [&] { game.pressKey(KEY_SPACE); },
         {"result: blue square, row 1, column 1, face up already"}},
        {"Right", [&] { game.pressKey(KEY_RIGHT); }, {"text: row 1, column 2, face down"}},
        // A tile turned and what it brought are one sentence.
        {"Space on a different picture",
         [&] { game.pressKey(KEY_SPACE); },
         {"result: green plus, row 1, column 2. Two different pictures."}},
        {"Left, onto a face-up tile",
         [&] { game.pressKey(KEY_LEFT); },
         {"text: row 1, column 1, blue square"}},
        {"Down", [&] { game.pressKey(KEY_DOWN); }, {"text: row 2, column 1, face down"}},
        {"Up, Right, Right",
         [&] {
             game.pressKey(KEY_UP);
             game.pressKey(KEY_RIGHT);
             game.pressKey(KEY_RIGHT);
         },
         {"text: row 1, column 1, blue square", "text: row 1, column 2, green plus",
          "text: row 1, column 3, face down"}},
        {"Space: the first two turn back",
         [&] { game.pressKey(KEY_SPACE); },
         {"result: blue square, row 1, column 3"}},
        {"Left, Left, Space: a pair",
         [&] {
             game.pressKey(KEY_LEFT);
             game.pressKey(KEY_LEFT);
             game.pressKey(KEY_SPACE);
         },
         {"text: row 1, column 2, face down", "text: row 1, column 1, face down",
          "result: blue square, row 1, column 1. Pair found, 1 of 10.",
          "text: row 1, column 2, face down"}},
        // The menu: its title where the focus reaches it, each item as the
        // keys highlight it, each only about the focus.
        {"F10", [&] { game.pressKey(KEY_F10); }, {TITLE, "text: New Game"}},
        {"Down", [&] { game.pressKey(KEY_DOWN); }, {"text: Exit"}},
        {"Down, round the end", [&] { game.pressKey(KEY_DOWN); }, {"text: New Game"}},
        {"Up, round the top", [&] { game.pressKey(KEY_UP); }, {"text: Exit"}},
        {"Right, nothing beside", [&] { game.pressKey(KEY_RIGHT); }, {"text: Exit"}},
        {"Escape, back where it opened",
         [&] { game.pressKey(KEY_ESCAPE); },
         {"text: row 1, column 2, face down"}},
        {"Shift+Tab to the title", [&] { game.pressKey(KEY_TAB, false, true); }, {TITLE}},
        {"Left on the title",
         [&] { game.pressKey(KEY_LEFT); },
         {"text: Nothing to the left; still Menu, opens with Enter"}},
        {"Tab from the title",
         [&] { game.pressKey(KEY_TAB); },
         {"text: row 1, column 2, face down"}},
        {"Shift+Tab back", [&] { game.pressKey(KEY_TAB, false, true); }, {TITLE}},
        {"Enter on the title", [&] { game.pressKey(KEY_RETURN); }, {"text: New Game"}},
        {"F10 closes it", [&] { game.pressKey(KEY_F10); }, {TITLE}},
        {"Alt+M", [&] { game.pressWithAlt(KEY_KEY_M); }, {"text: New Game"}},
        {"Tab closes it and moves on",
         [&] { game.pressKey(KEY_TAB); },
         {"text: row 1, column 2, face down"}},
        // The mouse is heard too; the last pair and the box it opens are
        // one sentence, and the box's handing the focus round is not said.
        {"the rest by the mouse",
         [&] {
             playEveryPair(game);
             const Sentences heard = service.said();
             ASSERT_FALSE(heard.empty());
             win = heard.back();
             EXPECT_TRUE(endsWith(win, WON + "23. Play Again")) << win;
             EXPECT_EQ(win.rfind("result: ", 0), 0u) << win;
             EXPECT_EQ(std::count_if(heard.begin(), heard.end(),
                                     [](const std::string& sentence) {
                                         return sentence.find("You won") != std::string::npos;
                                     }),
                       1);
             EXPECT_EQ(std::count(heard.begin(), heard.end(), "text: OK"), 0);
         },
         {}},
        // The empty board after the win: the title is the one stop, and
        // the way on is heard.
        {"Tab in the box", [&] { game.pressKey(KEY_TAB); }, {"text: OK"}},
        {"Tab again, its only button", [&] { game.pressKey(KEY_TAB); }, {"text: OK"}},
        {"Escape answers it", [&] { game.pressKey(KEY_ESCAPE); }, {TITLE}},
        {"Tab, the board's only stop", [&] { game.pressKey(KEY_TAB); }, {TITLE}},
        {"Down opens the menu there", [&] { game.pressKey(KEY_DOWN); }, {"text: New Game"}},
        {"Escape closes it", [&] { game.pressKey(KEY_ESCAPE); }, {TITLE}},
        {"Up, nothing above the title",
         [&] { game.pressKey(KEY_UP); },
         {"text: Nothing above; still Menu, opens with Enter"}},
        {"Enter on the title", [&] { game.pressKey(KEY_RETURN); }, {"text: New Game"}},
        // The win must be heard whole: the new board waits for it.
        {"Enter on New Game",
         [&] { captureStdout([&] { game.pressKey(KEY_RETURN); }); },
         {"message: " + NEW_BOARD, "text: row 1, column 1, face down"}},
        {"the win ends",
         [&] {
             service.ended(win.substr(std::string("result: ").size()));
             game.frame();
         },
         {}},
        {"F2 cuts off what went before",
         [&] { captureStdout([&] { game.pressKey(KEY_F2); }); },
         {"result: " + NEW_BOARD, "text: row 1, column 1, face down"}},
        {"F10 again", [&] { game.pressKey(KEY_F10); }, {TITLE, "text: New Game"}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        EXPECT_EQ(service.said(), step.heard);
    }

    // Ctrl+S, anywhere, the menu open or not: off, cutting off what is
    // being said, and on again on a new connection.
    service.answer(GOODBYE);
    game.pressKey(KEY_KEY_S, true);
    EXPECT_EQ(service.said(), Sentences{"result: Speech off."});
    EXPECT_EQ(service.commands.back(), "QUIT");
    EXPECT_TRUE(service.gameLeft);
    EXPECT_FALSE(speechOn());
    EXPECT_TRUE(menuOpen());
    game.pressKey(KEY_DOWN);
    service.hangUp();
    game.pressKey(KEY_KEY_S, true);
    EXPECT_EQ(service.said(), Sentences{"result: Speech on. Control S turns it off."});
    game.pressKey(KEY_UP);
    EXPECT_EQ(service.said(), Sentences{"text: New Game"});
    EXPECT_EQ(service.commands.front(), "SET SELF CLIENT_NAME user:kavenna:main");
    EXPECT_EQ(std::count(service.commands.begin(), service.commands.end(),
                         "SET SELF CLIENT_NAME user:kavenna:main"),
              2);
    EXPECT_EQ(std::count(service.commands.begin(), service.commands.end(),
                         "SET SELF NOTIFICATION END on"),
              2);
}

// The service is asked for the voice of the player's language, as the
// catalogue's name says it ("pt_BR" is "pt-BR"); in English it chooses its
// own, as it always did.
TEST(Speech, TheServiceIsAskedForThePlayersLanguage) {
    const std::pair<const char*, const char*> CASES[] = {
        {"", nullptr}, {"de", "SET SELF LANGUAGE de"}, {"pt_BR", "SET SELF LANGUAGE pt-BR"}};
    for (const auto& [language, command] : CASES) {
        SCOPED_TRACE(language);
        if (*language) {
            ASSERT_TRUE(loadTranslation({language}, {KAVENNA_LOCALE_DIR}));
        }
        HeardSpeech service;
        NullGame game;
        ASSERT_TRUE(startSpeech());
        sayWelcome();
        service.said();
        const auto asked = std::find_if(
            service.commands.begin(), service.commands.end(),
            [](const std::string& line) { return line.rfind("SET SELF LANGUAGE", 0) == 0; });
        if (command) {
            ASSERT_NE(asked, service.commands.end());
            EXPECT_EQ(*asked, command);
            // Asked before the first sentence.
            EXPECT_LT(asked - service.commands.begin(),
                      std::find(service.commands.begin(), service.commands.end(), "SPEAK") -
                          service.commands.begin());
        } else {
            EXPECT_EQ(asked, service.commands.end());
        }
        useTranslation(Catalogue(), "");
    }
}

// Won by keys, the last tile, the pair and the box come first, then where
// the focus is: the box's button.
TEST(Speech, TheWinByKeysComesBeforeTheBoxsButton) {
    HeardSpeech service;
    NullGame game;
    ASSERT_TRUE(startSpeech());
    game.startGame();
    game.pressKey(KEY_TAB);
    dealKnownPairs();
    for (int tile = 0; tile < PAIR_COUNT; ++tile) {
        for (int turned : {tile, tile + PAIR_COUNT}) {
            while (focused() != board.tileButtons[turned])
                game.pressKey(KEY_TAB);
            service.said();
            game.pressKey(KEY_SPACE);
        }
    }
    const Sentences heard = service.said();
    ASSERT_EQ(heard.size(), 2u);
    // The last tile turned is the board's last, at its bottom right; a
    // perfect game takes a click for each tile.
    const std::string lastPlace =
        "row " + std::to_string(BOARD_ROWS) + ", column " + std::to_string(BOARD_COLUMNS);
    EXPECT_TRUE(endsWith(heard[0], lastPlace + WON + std::to_string(TILE_COUNT) + ". Play Again"))
        << heard[0];
    EXPECT_EQ(heard[1], "text: OK");
}

// Leaving closes the link as the protocol asks: QUIT, and its answer read
// before the socket is closed, whether speech is turned off or the game
// ends. A service that does not answer is waited for briefly only.
TEST(Speech, LeavingReadsTheAnswerToQuitBeforeClosing) {
    enum Leave { CONTROL_S, EXIT };
    for (Leave leave : {CONTROL_S, EXIT})
        for (bool answered : {true, false}) {
            SCOPED_TRACE(::testing::Message() << (leave == EXIT ? "exit" : "Ctrl+S")
                                              << (answered ? "" : ", unanswered"));
            HeardSpeech service;
            {
                NullGame game;
                ASSERT_TRUE(startSpeech());
                game.startGame();
                game.pressKey(KEY_TAB);
                EXPECT_FALSE(service.said().empty());
                game.frame();
                if (answered)
                    service.answer(GOODBYE);
                if (leave == CONTROL_S)
                    game.pressKey(KEY_KEY_S, true);
            }
            service.said();
            EXPECT_EQ(service.commands.back(), "QUIT");
            EXPECT_TRUE(service.gameLeft);
            EXPECT_FALSE(service.leftRudely) << "closed with the answer unread";
        }
}

// Speech off, a service listening: a whole game by keys and the menu
// opens no connection and queues nothing.
TEST(Speech, OffItConnectsToNothing) {
    HeardSpeech service;
    NullGame game;
    game.skipIntro();
    game.pressKey(KEY_TAB);
    game.pressKey(KEY_SPACE);
    game.pressKey(KEY_F10);
    game.pressKey(KEY_DOWN);
    game.pressKey(KEY_ESCAPE);
    playEveryPair(game);
    game.pressKey(KEY_ESCAPE);
    game.pressKey(KEY_RETURN);
    captureStdout([&] { game.pressKey(KEY_RETURN); });
    expectFreshBoard();
    EXPECT_EQ(service.said(), Sentences{});
    EXPECT_EQ(service.commands, Sentences{}) << "a connection was opened";
    EXPECT_EQ(speechLink().socket, -1);
    EXPECT_TRUE(speechLink().outgoing.empty());
}

TEST(Speech, ATextIsSentLineByLineWithLeadingDotsDoubled) {
    HeardSpeech service;
    NullGame game;
    ASSERT_TRUE(startSpeech());
    speak("first\r\n.\n..two\n.", SPEECH_RESULT);
    EXPECT_EQ(service.said(), Sentences{"result: first\n.\n..two\n."});
    EXPECT_EQ(Sentences(service.commands.end() - 6, service.commands.end()),
              (Sentences{"SPEAK", "first", "..", "...two", "..", "."}));
}

// No speech service: said once, and the game plays as without speech.
TEST(Speech, NoServiceIsReportedOnceAndTheGamePlaysOn) {
    ScratchDirectory empty;
    setenv("SPEECHD_ADDRESS", ("unix_socket:" + empty.path() + "/none.sock").c_str(), 1);
    NullGame game;
    EXPECT_FALSE(startSpeech());
    EXPECT_FALSE(speechOn());
    EXPECT_TRUE(speechLink().failureReported);
    game.pressKey(KEY_KEY_S, true);
    EXPECT_FALSE(speechOn());
    game.startGame();
    playEveryPair(game);
    EXPECT_NE(findId(ID_WIN_BOX), nullptr);
    unsetenv("SPEECHD_ADDRESS");
}

// A service that takes the connection and then neither reads nor
// answers: nothing the game does waits on it, and what piles up is held
// to a limit.
TEST(Speech, AServiceThatNeverAnswersCostsTheGameNothing) {
    HeardSpeech service;
    service.answering = false;
    NullGame game;
    ASSERT_TRUE(startSpeech());
    const std::string sentence(100, 'x');
    // Far more than the socket holds.
    for (int i = 0; i < 20000; ++i)
        speak(sentence, SPEECH_FOCUS);
    EXPECT_GT(speechLink().outgoing.size(), speechLink().sent);
    EXPECT_LT(speechLink().outgoing.size() - speechLink().sent, 80u * 1024);
    game.startGame();
    playEveryPair(game);
    ASSERT_NE(findId(ID_WIN_BOX), nullptr);
    EXPECT_EQ(board.match.clickCount, TILE_COUNT);
    // Once it reads, it hears whole sentences, and the game's later ones.
    Sentences heard = service.said();
    for (int pass = 0; pass < 1000 && !speechLink().outgoing.empty(); ++pass) {
        game.frame();
        const Sentences more = service.said();
        heard.insert(heard.end(), more.begin(), more.end());
    }
    ASSERT_TRUE(speechLink().outgoing.empty());
    EXPECT_LT(heard.size(), 20000u);
    EXPECT_EQ(std::count(heard.begin(), heard.end(), "text: " + sentence),
              static_cast<long>(heard.size()));
    game.pressKey(KEY_ESCAPE);
    EXPECT_EQ(service.said(), Sentences{"text: Menu, opens with Enter"});
    // The win came while the socket was full, and was dropped.
    captureStdout([&] { game.pressKey(KEY_F2); });
    EXPECT_EQ(service.said(),
              (Sentences{"result: " + NEW_BOARD, "text: row 1, column 1, face down"}));
}

// A service that goes away mid-game comes back by itself at the next
// sentence after it is back, however many were lost meanwhile, and
// every time; standard error says once that speech was lost. Ctrl+S
// with the service lost connects again rather than turning speech off.
TEST(Speech, ALostServiceComesBackByItselfAtTheNextSentence) {
    HeardSpeech service;
    NullGame game;
    ASSERT_TRUE(startSpeech());
    game.startGame();
    service.said();
    const std::string errors = captureStderr([&] {
        for (int outage = 1; outage <= 3; ++outage) {
            SCOPED_TRACE(::testing::Message() << "outage " << outage);
            service.vanish();
            game.frame();
            for (int lost = 0; lost < 5 * outage; ++lost)
                game.pressKey(KEY_TAB);
            EXPECT_TRUE(speechOn());
            EXPECT_EQ(speechLink().socket, -1);
            service.listen();
            game.pressKey(KEY_TAB);
            const Sentences heard = service.said();
            ASSERT_EQ(heard.size(), 1u);
            EXPECT_EQ(heard.front().rfind("text: row ", 0), 0u) << heard.front();
            EXPECT_EQ(std::count(service.commands.begin(), service.commands.end(),
                                 "SET SELF CLIENT_NAME user:kavenna:main"),
                      outage + 1);
        }
        service.vanish();
        game.frame();
        game.pressKey(KEY_KEY_S, true);
        EXPECT_TRUE(speechOn()) << "Ctrl+S with no service to connect to";
        service.listen();
        game.pressKey(KEY_KEY_S, true);
        EXPECT_EQ(service.said(), Sentences{"result: Speech on. Control S turns it off."});
        EXPECT_TRUE(speechOn());
    });
    EXPECT_EQ(errors, "kavenna: the speech service went away; speech comes back when it does\n");
    playEveryPair(game);
    EXPECT_NE(findId(ID_WIN_BOX), nullptr);
}

} // namespace
