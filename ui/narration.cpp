#include "ui/narration.h"

#include "platform/speech.h"
#include "ui/board.h"
#include "ui/control_ids.h"
#include "ui/game_state.h"
#include "ui/pictures.h"

using namespace irr;

namespace {

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

// What a focus move inside a tile click would say is left unsaid: the
// click's own sentence tells what happened.
bool turnUnderWay = false;

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
    return PICTURE_NAMES[pictureFileNumber(value) - 1];
}

std::string tilePlace(int id) {
    return "row " + std::to_string(tileRow(id) + 1) + ", column " +
           std::to_string(tileColumn(id) + 1);
}

std::string boxSentence(const std::string& title, const std::string& text) {
    const std::string message = asSentences(text);
    if (message.empty() || message == title)
        return title;
    return title + ". " + message;
}

std::string messageBoxSentence(gui::IGUIElement* box) {
    std::string message;
    for (gui::IGUIElement* child : box->getChildren())
        if (child->getType() == gui::EGUIET_STATIC_TEXT)
            message = utf8(child->getText());
    return boxSentence(utf8(box->getText()), message);
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
    const int id = tileOf(element);
    if (id < 0)
        return utf8(element->getText());
    switch (board.match.sides[id]) {
    case TileSide::GONE:
        return tilePlace(id) + ", empty";
    case TileSide::FACE_UP:
        return tilePlace(id) + ", " + pictureName(board.match.tileValues[id]);
    default:
        return tilePlace(id) + ", face down";
    }
}

std::string turnSentence(int id, const Move& move) {
    const Match& match = move.match;
    const std::string turned = pictureName(match.tileValues[id]) + ", " + tilePlace(id);
    switch (move.outcome) {
    case Outcome::NO_TILE:
        return "";
    case Outcome::NOTHING:
        return turned + ", face up already";
    case Outcome::TURNED:
    case Outcome::TURNED_BACK_AND_TURNED:
        return turned;
    case Outcome::DIFFERENT_PICTURES:
        return turned + ". Two different pictures.";
    case Outcome::PAIR_FOUND:
    case Outcome::WON:
        break;
    }
    std::string sentence = turned + ". Pair found, " + std::to_string(pairsFound(match)) + " of " +
                           std::to_string(PAIR_COUNT) + ".";
    // The win box takes the focus inside the click; it is read here,
    // after what led to it.
    if (move.outcome == Outcome::WON)
        sentence += " " + boxSentence(winCaption(), winText(match.clickCount));
    return sentence;
}

void sayWelcome() {
    say(WELCOME_SENTENCE, SPEECH_LASTING);
}

void sayScreen(const char* sentence) {
    say(sentence, SPEECH_RESULT);
}

void sayBoard() {
    say("New game: " + std::to_string(TILE_COUNT) + " tiles face down, in " +
            std::to_string(BOARD_ROWS) + " rows of " + std::to_string(BOARD_COLUMNS) + ".",
        SPEECH_RESULT);
}

void sayFocus(gui::IGUIElement* element, gui::IGUIElement* lost) {
    if (!speechOn() || !element || turnUnderWay)
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

void holdFocusSentences() {
    turnUnderWay = true;
}

void sayTurn(int id, const Move& move) {
    turnUnderWay = false;
    if (speechOn())
        say(turnSentence(id, move), move.outcome == Outcome::WON ? SPEECH_LASTING : SPEECH_RESULT);
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
