// What the game says with speech on: each screen as it appears, the
// button, tile or menu title the focus reaches (or where it stays), each
// menu item the keys highlight, each tile turned with what followed, and
// each message box; and how each sentence meets the others
// (platform/speech.h). The sentences are made from the game's state
// alone (the *Sentence functions); the say* functions speak them, and do
// nothing while speech is off.
#pragma once

#include "game/rules.h"
#include "platform/translation.h"

#include <irrlicht.h>
#include <string>
#include <vector>

// The spoken name of the picture with value `value` ("red circle").
std::string pictureName(int value);
// Where tile `id` lies: "row 2, column 3", counted from the top left.
std::string tilePlace(int id);

// The element that just got the focus: a button's text; on the board the
// tile's place and what lies there, or the menu bar's title and how it
// opens; a message box's title and text. Empty for anything else.
std::string focusSentence(irr::gui::IGUIElement* element);
std::string messageBoxSentence(irr::gui::IGUIElement* box);

// In English; said in the player's language.
// TRANSLATORS: spoken as the game starts with speech on.
const char* const WELCOME_SENTENCE =
    N_("Kavenna, a pair-matching game. When the main menu comes, press Tab, then Enter, to "
       "start. Control S turns speech off and on.");
const char* const SPEECH_ON_SENTENCE = N_("Speech on. Control S turns it off.");
const char* const SPEECH_OFF_SENTENCE = N_("Speech off.");

// The one sentence a tile click gives, from what the rules made of it:
// the picture turned and where, then a pair found or two different
// pictures, and after the last pair the box that announces the win.
std::string turnSentence(int id, const Move& move);

void sayWelcome();
void sayScreen(const std::string& sentence);
void sayBoard();
// From the receiver's focus event; `lost` is the element that had it.
void sayFocus(irr::gui::IGUIElement* element, irr::gui::IGUIElement* lost);
// A key that left the focus where it was says so: where it stays, after
// an arrow that found nothing that way (`right`, `down` as the arrow
// points) what lay there.
void sayFocusAgain(irr::gui::IGUIElement* element);
void sayNothingThatWay(irr::gui::IGUIElement* element, irr::s32 right, irr::s32 down);
// From the start of a tile click until its sentence is said, the focus
// moves the click makes on its way (a win box taking the focus and
// handing it round) are not said: the click's sentence tells what
// happened, and where the keyboard's focus lands after it is said after it.
void holdFocusSentences();
void sayTurn(int id, const Move& move);
// The item of `menu` the keyboard just highlighted.
void sayMenuItem(irr::gui::IGUIContextMenu* menu, irr::s32 item);
// Ctrl+S: speech on or off; on, however the service was lost before.
void toggleSpeech();
