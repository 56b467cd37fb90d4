#include "ui/narration.h"

#include "platform/speech.h"
#include "ui/board.h"
#include "ui/control_ids.h"
#include "ui/game_state.h"
#include "ui/pictures.h"
#include "ui/texts.h"

using namespace irr;

namespace {

// Made when the build is configured from data/pictures.txt, in the order
// of the picture files, "1.jpg" on; in English, said in the player's
// language.
const char* const PICTURE_NAMES[PAIR_COUNT] = {
#include "picture_names.inc"
};

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
    return _(PICTURE_NAMES[pictureFileNumber(value) - 1]);
}

std::string tilePlace(int id) {
    // TRANSLATORS: spoken: where a tile lies, counted from the top left.
    return formatText(_("row %d, column %d"),
                      {std::to_string(tileRow(id) + 1), std::to_string(tileColumn(id) + 1)});
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
        return bar->getItemCount()
                   // TRANSLATORS: spoken: the menu title the keyboard reached.
                   ? formatText(_("%s, opens with Enter"), {utf8(bar->getItemText(0))})
                   : "";
    }
    if (element->getType() != gui::EGUIET_BUTTON)
        return "";
    const int id = tileOf(element);
    if (id < 0)
        return utf8(element->getText());
    switch (board.match.sides[id]) {
    case TileSide::GONE:
        // TRANSLATORS: spoken: a place the keyboard reached whose tile is
        // gone; then one whose tile lies face up, and its picture; then
        // one face down.
        return formatText(_("%s, empty"), {tilePlace(id)});
    case TileSide::FACE_UP:
        return formatText(_("%s, %s"), {tilePlace(id), pictureName(board.match.tileValues[id])});
    default:
        return formatText(_("%s, face down"), {tilePlace(id)});
    }
}

std::string turnSentence(int id, const Move& move) {
    const Match& match = move.match;
    // The picture first, then where it lies: "red circle, row 1, column 2".
    // TRANSLATORS: spoken as a tile turns: its picture, where it lies, and
    // what followed.
    const std::vector<std::string> turned = {pictureName(match.tileValues[id]), tilePlace(id)};
    switch (move.outcome) {
    case Outcome::NO_TILE:
        return "";
    case Outcome::NOTHING:
        return formatText(_("%s, %s, face up already"), turned);
    case Outcome::TURNED:
    case Outcome::TURNED_BACK_AND_TURNED:
        return formatText(_("%s, %s"), turned);
    case Outcome::DIFFERENT_PICTURES:
        return formatText(_("%s, %s. Two different pictures."), turned);
    case Outcome::PAIR_FOUND:
    case Outcome::WON:
        break;
    }
    std::string sentence = formatText(
        _("%s, %s. Pair found, %s of %s."),
        {turned[0], turned[1], std::to_string(pairsFound(match)), std::to_string(PAIR_COUNT)});
    // The win box takes the focus inside the click; it is read here,
    // after what led to it.
    if (move.outcome == Outcome::WON)
        sentence += " " + boxSentence(winCaption(), winText(match.clickCount));
    return sentence;
}

void sayWelcome() {
    say(_(WELCOME_SENTENCE), SPEECH_LASTING);
}

void sayScreen(const std::string& sentence) {
    say(sentence, SPEECH_RESULT);
}

void sayBoard() {
    // TRANSLATORS: spoken as a game is dealt: the numbers of tiles, of
    // rows and of tiles a row (20, 5 and 4).
    say(formatText(_("New game: %s tiles face down, in %s rows of %s."),
                   {std::to_string(TILE_COUNT), std::to_string(BOARD_ROWS),
                    std::to_string(BOARD_COLUMNS)}),
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
    // TRANSLATORS: spoken when an arrow key finds nothing that way: where
    // the keyboard stays.
    const char* nothing = right > 0   ? _("Nothing to the right; still %s")
                          : right < 0 ? _("Nothing to the left; still %s")
                          : down > 0  ? _("Nothing below; still %s")
                                      : _("Nothing above; still %s");
    const std::string where = focusSentence(element);
    if (!where.empty())
        say(formatText(nothing, {where}), SPEECH_FOCUS);
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
        stopSpeech(_(SPEECH_OFF_SENTENCE));
    else if (startSpeech())
        say(_(SPEECH_ON_SENTENCE), SPEECH_RESULT);
}
