#include "ui/narration.h"

#include "app/game_state.h"
#include "app/linux/speech.h"
#include "ui/control_ids.h"

using namespace irr;

namespace {

const int BOARD_ROWS = 5;
const int PAIR_COUNT = 10;

// Made when the build is configured from data/pictures.txt, in the order
// of the picture files 1.jpg to 10.jpg.
const char* const PICTURE_NAMES[PAIR_COUNT] = {
#include "picture_names.inc"
};

// The game's texts are ASCII; speech takes UTF-8.
std::string utf8(const wchar_t* text) {
    std::string out;
    for (; text && *text; ++text) {
        const unsigned c = static_cast<unsigned>(*text);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool isTileButton(gui::IGUIElement* element) {
    const s32 id = element->getID();
    return element->getType() == gui::EGUIET_BUTTON && id >= 0 && id < TILE_COUNT &&
           gameState.tileButtons[id] == element;
}

bool faceUp(int id) {
    return (gameState.revealedCount >= 1 && gameState.firstTile == id) ||
           (gameState.revealedCount == 2 && gameState.secondTile == id);
}

bool inside(gui::IGUIElement* element, gui::IGUIElement* parent) {
    for (; element; element = element->getParent())
        if (element == parent)
            return true;
    return false;
}

// Lines of a box's text read as sentences.
std::string asSentences(std::string text) {
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at))
        text.replace(at, 1, ". ");
    return text;
}

void say(const std::string& sentence, SpeechPriority priority) {
    if (speechOn())
        speak(sentence, priority);
}

} // namespace

std::string pictureName(int value) {
    // Value v shows picture file v % 10 + 1 (app/assets.cpp).
    return PICTURE_NAMES[((value % PAIR_COUNT) + PAIR_COUNT) % PAIR_COUNT];
}

std::string tilePlace(int id) {
    return "row " + std::to_string(id % BOARD_ROWS + 1) + ", column " +
           std::to_string(id / BOARD_ROWS + 1);
}

std::string messageBoxSentence(gui::IGUIElement* box) {
    std::string title = utf8(box->getText());
    std::string message;
    for (gui::IGUIElement* child : box->getChildren())
        if (child->getType() == gui::EGUIET_STATIC_TEXT)
            message = asSentences(utf8(child->getText()));
    if (message.empty() || message == title)
        return title;
    return title + ". " + message;
}

std::string focusSentence(gui::IGUIElement* element) {
    if (!element)
        return "";
    if (element->getType() == gui::EGUIET_MESSAGE_BOX)
        return messageBoxSentence(element);
    if (element->getType() == gui::EGUIET_MENU) {
        // The bar holds the one title, "Menu"; its drop-down is not yet
        // open when the bar takes the focus, even when a key opens it.
        gui::IGUIContextMenu* bar = static_cast<gui::IGUIContextMenu*>(element);
        return bar->getItemCount() ? utf8(bar->getItemText(0)) + ", opens with Enter" : "";
    }
    if (element->getType() != gui::EGUIET_BUTTON)
        return "";
    if (!isTileButton(element))
        return utf8(element->getText());
    const int id = element->getID();
    if (!element->isVisible())
        return tilePlace(id) + ", empty";
    if (faceUp(id))
        return tilePlace(id) + ", " + pictureName(gameState.tileValues[id]);
    return tilePlace(id) + ", face down";
}

TileClick noteTileClick(int id) {
    TileClick click;
    click.id = id;
    click.revealedBefore = gameState.revealedCount;
    click.firstBefore = gameState.firstTile;
    click.pairsBefore = gameState.matchedPairs;
    gameState.tileClickUnderWay = true;
    return click;
}

bool tileClickWon(const TileClick& click) {
    return click.revealedBefore == 1 && click.firstBefore != click.id &&
           gameState.revealedCount == 2 &&
           gameState.tileValues[gameState.firstTile] == gameState.tileValues[click.id] &&
           click.pairsBefore + 1 == PAIR_COUNT;
}

std::string tileClickSentence(const TileClick& click) {
    const int id = click.id;
    const std::string turned = pictureName(gameState.tileValues[id]) + ", " + tilePlace(id);
    if (click.revealedBefore == 1 && click.firstBefore == id)
        return turned + ", face up already";
    if (gameState.revealedCount != 2)
        return turned;
    const int first = gameState.firstTile;
    if (gameState.tileValues[first] != gameState.tileValues[id])
        return turned + ". Two different pictures.";
    std::string sentence = turned + ". Pair found, " + std::to_string(click.pairsBefore + 1) +
                           " of " + std::to_string(PAIR_COUNT) + ".";
    // The win box takes the focus inside the click; it is read here,
    // after what led to it.
    if (tileClickWon(click))
        for (gui::IGUIElement* child : gameState.guiEnvironment->getRootGUIElement()->getChildren())
            for (gui::IGUIElement* box : child->getChildren())
                if (box->getID() == ID_WIN_BOX)
                    sentence += " " + messageBoxSentence(box);
    return sentence;
}

void sayWelcome() {
    say(WELCOME_SENTENCE, SPEECH_LASTING);
}

void sayScreen(const char* sentence) {
    say(sentence, SPEECH_RESULT);
}

void sayBoard() {
    say("New game: 20 tiles face down, in 5 rows of 4.", SPEECH_RESULT);
}

void sayFocus(gui::IGUIElement* element, gui::IGUIElement* lost) {
    if (!speechOn() || !element || gameState.tileClickUnderWay)
        return;
    if (element->getType() == gui::EGUIET_MESSAGE_BOX) {
        // A box takes the focus as it opens, hands it to its button and
        // takes it back: it is read the first time only, and the win box
        // with the click that won.
        if (element->getID() != ID_WIN_BOX && !inside(lost, element))
            say(messageBoxSentence(element), SPEECH_LASTING);
        return;
    }
    say(focusSentence(element), SPEECH_FOCUS);
}

void sayFocusAgain(gui::IGUIElement* element) {
    say(focusSentence(element), SPEECH_FOCUS);
}

void sayNothingThatWay(gui::IGUIElement* element, s32 right, s32 down) {
    const char* way = right > 0   ? "to the right"
                      : right < 0 ? "to the left"
                      : down > 0  ? "below"
                                  : "above";
    const std::string where = focusSentence(element);
    if (!where.empty())
        say(std::string("Nothing ") + way + "; still " + where, SPEECH_FOCUS);
}

void sayTileClick(const TileClick& click) {
    gameState.tileClickUnderWay = false;
    if (speechOn())
        say(tileClickSentence(click), tileClickWon(click) ? SPEECH_LASTING : SPEECH_RESULT);
}

void sayMenuItem(gui::IGUIContextMenu* menu, s32 item) {
    if (!speechOn() || !menu || item < 0 || item >= static_cast<s32>(menu->getItemCount()))
        return;
    // Only where the focus is, like a button reached: the next key cuts
    // it off.
    say(utf8(menu->getItemText(item)), SPEECH_FOCUS);
}

void toggleSpeech() {
    // With the service lost, speech is on but silent: the key that finds
    // it so connects again rather than turning speech off.
    if (speechOn() && speechConnected())
        stopSpeech(SPEECH_OFF_SENTENCE);
    else if (startSpeech())
        say(SPEECH_ON_SENTENCE, SPEECH_RESULT);
}
