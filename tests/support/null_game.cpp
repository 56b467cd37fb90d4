#include "support/null_game.h"

#include "app/frame_loop.h"
#include "app/frame_pacing.h"
#include "ui/control_ids.h"

#include <cstdlib>
#include <dlfcn.h>
#include <fstream>
#include <gtest/gtest.h>
#include <png.h>
#include <sstream>
#include <unistd.h>
#include <zip.h>

using namespace irr;

namespace {

void postMouse(EMOUSE_INPUT_EVENT kind, s32 x, s32 y, u32 buttons) {
    SEvent event{};
    event.EventType = EET_MOUSE_INPUT_EVENT;
    event.MouseInput.Event = kind;
    event.MouseInput.X = x;
    event.MouseInput.Y = y;
    event.MouseInput.ButtonStates = buttons;
    gameState.device->postEventFromUser(event);
}

void postKey(EKEY_CODE key, bool down, bool control, bool shift) {
    gameState.device->postEventFromUser(keyEvent(key, down, control, shift));
}

gui::IGUIElement* findIn(gui::IGUIElement* parent, s32 id) {
    for (gui::IGUIElement* child : parent->getChildren()) {
        if (child->getID() == id)
            return child;
        if (gui::IGUIElement* found = findIn(child, id))
            return found;
    }
    return nullptr;
}

int countIn(gui::IGUIElement* parent, s32 id) {
    int count = 0;
    for (gui::IGUIElement* child : parent->getChildren())
        count += (child->getID() == id) + countIn(child, id);
    return count;
}

} // namespace

SIrrlichtCreationParameters lastDeviceParameters;
u32 clockStepWhileLoading = 0;

// The game's start-up calls this one: it notes what was asked and hands
// on to the engine's own. As the only function of the engine's library
// the game calls by name, it leaves that library unlinked, so the
// library is opened here.
extern "C" IrrlichtDevice* createDeviceEx(const SIrrlichtCreationParameters& parameters) {
    using Create = IrrlichtDevice* (*)(const SIrrlichtCreationParameters&);
    static const auto engine =
        reinterpret_cast<Create>(dlsym(dlopen(KAVENNA_ENGINE_LIBRARY, RTLD_NOW), "createDeviceEx"));
    lastDeviceParameters = parameters;
    IrrlichtDevice* device = engine(parameters);
    return device;
}

// Decoding a PNG starts here: when asked to, the game's clock moves on
// once, as it would while a picture is decoded with frames running
// meanwhile.
extern "C" png_structp png_create_read_struct(png_const_charp version, png_voidp error,
                                              png_error_ptr onError, png_error_ptr onWarning) {
    using Create = png_structp (*)(png_const_charp, png_voidp, png_error_ptr, png_error_ptr);
    static const auto libpng = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "png_create_read_struct"));
    if (clockStepWhileLoading && gameState.device) {
        ITimer* timer = gameState.device->getTimer();
        timer->setTime(timer->getTime() + clockStepWhileLoading);
        clockStepWhileLoading = 0;
    }
    return libpng(version, error, onError, onWarning);
}

NullGame::NullGame(int scale) {
    const bool started = startUp(video::EDT_NULL, scale, context, receiver);
    if (!started)
        ADD_FAILURE() << "the null device could not be created";
    gameState.device->getTimer()->stop();
}

NullGame::~NullGame() {
    shutDown();
}

bool NullGame::frame() {
    return runFrame();
}

bool NullGame::quietFrame() {
    const u32 drawn = framePacing.framesDrawn;
    framePacing.inputPosted = false;
    runFrame();
    framePacing.inputPosted = true;
    return framePacing.framesDrawn != drawn;
}

void NullGame::setTime(u32 ms) {
    gameState.device->getTimer()->setTime(ms);
}

void NullGame::skipIntro() {
    setTime(gameState.startTime + INTRO_MS + 1);
    frame();
}

void NullGame::move(s32 x, s32 y) {
    postMouse(EMIE_MOUSE_MOVED, x, y, 0);
}

void NullGame::click(s32 x, s32 y) {
    postMouse(EMIE_MOUSE_MOVED, x, y, 0);
    postMouse(EMIE_LMOUSE_PRESSED_DOWN, x, y, EMBSM_LEFT);
    postMouse(EMIE_LMOUSE_LEFT_UP, x, y, 0);
    frame();
}

void NullGame::click(gui::IGUIElement* element) {
    ASSERT_NE(element, nullptr);
    const core::position2d<s32> centre = element->getAbsolutePosition().getCenter();
    click(centre.X, centre.Y);
}

void NullGame::clickId(s32 id) {
    click(findId(id));
}

void NullGame::pointAtMenu(int index) {
    gui::IGUIContextMenu* bar = menuBar();
    ASSERT_NE(bar, nullptr);
    const core::rect<s32> barRect = bar->getAbsolutePosition();
    click(barRect.UpperLeftCorner.X + 12, barRect.getCenter().Y);
    gui::IGUIContextMenu* sub = bar->getSubMenu(0);
    ASSERT_TRUE(sub->isVisible()) << "the Menu title did not open its submenu";
    // Items are stacked between a 3-pixel top margin and a 5-pixel bottom one.
    const core::rect<s32> subRect = sub->getAbsolutePosition();
    const s32 itemHeight = (subRect.getHeight() - 8) / static_cast<s32>(sub->getItemCount());
    pointer = core::position2d<s32>(subRect.getCenter().X, subRect.UpperLeftCorner.Y + 3 +
                                                               itemHeight * index + itemHeight / 2);
    postMouse(EMIE_MOUSE_MOVED, pointer.X, pointer.Y, 0);
}

void NullGame::chooseMenu(int index) {
    pointAtMenu(index);
    click(pointer.X, pointer.Y);
}

void NullGame::dismissBox(s32 boxId) {
    gui::IGUIElement* box = findId(boxId);
    ASSERT_NE(box, nullptr);
    const std::vector<gui::IGUIElement*> answers = answerButtons(box);
    ASSERT_FALSE(answers.empty()) << "the box has no answer button";
    click(answers.front());
}

void NullGame::startGame() {
    skipIntro();
    clickId(ID_START_GAME);
}

void NullGame::pressKey(EKEY_CODE key, bool control, bool shift) {
    postKey(key, true, control, shift);
    postKey(key, false, control, shift);
    frame();
}

void NullGame::pressWithAlt(EKEY_CODE key) {
    postKey(KEY_LMENU, true, false, false);
    postKey(key, true, false, false);
    postKey(key, false, false, false);
    postKey(KEY_LMENU, false, false, false);
    frame();
}

gui::IGUIElement* findId(s32 id) {
    return findIn(gameState.guiEnvironment->getRootGUIElement(), id);
}

int countId(s32 id) {
    return countIn(gameState.guiEnvironment->getRootGUIElement(), id);
}

int screenElementCount() {
    return static_cast<int>(gameState.guiEnvironment->getRootGUIElement()->getChildren().size());
}

std::string fontPictureName(gui::IGUIFont* font) {
    if (!font || font->getType() != gui::EGFT_BITMAP)
        return "";
    gui::IGUISpriteBank* glyphs = static_cast<gui::IGUIFontBitmap*>(font)->getSpriteBank();
    return glyphs->getTextureCount() ? glyphs->getTexture(0)->getName().getPath().c_str() : "";
}

std::string toolTipText() {
    // The engine adds it to the root as a sub-element.
    for (gui::IGUIElement* child : gameState.guiEnvironment->getRootGUIElement()->getChildren())
        if (child->isSubElement() && child->getType() == gui::EGUIET_STATIC_TEXT)
            return narrow(child->getText());
    return "";
}

std::vector<gui::IGUIElement*> answerButtons(gui::IGUIElement* box) {
    std::vector<gui::IGUIElement*> answers;
    for (gui::IGUIElement* child : box->getChildren())
        if (child->getType() == gui::EGUIET_BUTTON && child->isVisible() && *child->getText())
            answers.push_back(child);
    return answers;
}

gui::IGUIStaticText* messageText(gui::IGUIElement* box) {
    for (gui::IGUIElement* child : box->getChildren())
        if (child->getType() == gui::EGUIET_STATIC_TEXT)
            return static_cast<gui::IGUIStaticText*>(child);
    return nullptr;
}

gui::IGUIContextMenu* menuBar() {
    for (gui::IGUIElement* child : gameState.guiEnvironment->getRootGUIElement()->getChildren())
        if (child->getType() == gui::EGUIET_MENU)
            return static_cast<gui::IGUIContextMenu*>(child);
    return nullptr;
}

gui::IGUIElement* focused() {
    return gameState.guiEnvironment->getFocus();
}

SEvent keyEvent(EKEY_CODE key, bool down, bool control, bool shift) {
    SEvent event{};
    event.EventType = EET_KEY_INPUT_EVENT;
    event.KeyInput.Key = key;
    event.KeyInput.PressedDown = down;
    event.KeyInput.Control = control;
    event.KeyInput.Shift = shift;
    return event;
}

SEvent guiEvent(gui::IGUIElement* caller, gui::EGUI_EVENT_TYPE type) {
    SEvent event{};
    event.EventType = EET_GUI_EVENT;
    event.GUIEvent.Caller = caller;
    event.GUIEvent.Element = nullptr;
    event.GUIEvent.EventType = type;
    return event;
}

bool buttonClicked(NullGame& game, s32 id) {
    return game.receiver.OnEvent(guiEvent(findId(id), gui::EGET_BUTTON_CLICKED));
}

void expectFreshBoard() {
    EXPECT_FALSE(gameState.menuBackgroundVisible);
    EXPECT_FALSE(gameState.splashVisible);
    EXPECT_EQ(board.match.clickCount, 0);
    EXPECT_EQ(board.match.revealedCount, 0);
    EXPECT_EQ(board.match.matchedPairs, 0);
    ASSERT_NE(menuBar(), nullptr);
    EXPECT_EQ(screenElementCount(), 21);
    for (int id = 0; id < TILE_COUNT; ++id) {
        SCOPED_TRACE(id);
        gui::IGUIButton* tile = board.tileButtons[id];
        ASSERT_EQ(findId(id), tile);
        EXPECT_EQ(narrow(tile->getText()), "");
        EXPECT_EQ(narrow(tile->getToolTipText().c_str()), "choose me");
        EXPECT_TRUE(tile->isVisible());
        EXPECT_TRUE(tile->isEnabled());
        EXPECT_EQ(buttonImage(tile), pictures.hiddenTexture);
    }
}

video::ITexture* buttonImage(gui::IGUIButton* button) {
    // The button interface has no getter; its serialised attributes carry
    // the image it draws.
    io::IAttributes* attributes =
        gameState.device->getFileSystem()->createEmptyAttributes(gameState.videoDriver);
    button->serializeAttributes(attributes);
    video::ITexture* image = attributes->getAttributeAsTexture("Image");
    attributes->drop();
    return image;
}

std::string narrow(const wchar_t* text) {
    std::string out;
    for (; text && *text; ++text)
        out += static_cast<char>(*text);
    return out;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

ScratchDirectory::ScratchDirectory() {
    char pattern[] = "/tmp/kavenna-test-XXXXXX";
    dir = mkdtemp(pattern);
    char* cwd = getcwd(nullptr, 0);
    previous = cwd;
    std::free(cwd);
    if (chdir(dir.c_str()) != 0)
        ADD_FAILURE() << "cannot enter " << dir;
}

ScratchDirectory::~ScratchDirectory() {
    if (chdir(previous.c_str()) != 0)
        ADD_FAILURE() << "cannot return to " << previous;
    const std::string remove = "rm -rf '" + dir + "'";
    if (std::system(remove.c_str()) != 0)
        ADD_FAILURE() << "cannot remove " << dir;
}

void ScratchDirectory::copyIn(const std::string& from, const std::string& name) const {
    std::ifstream in(from, std::ios::binary);
    ASSERT_TRUE(in.good()) << "missing " << from;
    std::ofstream out(dir + "/" + name, std::ios::binary);
    out << in.rdbuf();
}

void ScratchDirectory::addLooseAssets() const {
    std::ifstream list(std::string(KAVENNA_DATA_DIR) + "/assets.txt");
    for (std::string name; std::getline(list, name);)
        if (!name.empty() && name[0] != '#')
            copyIn(std::string(KAVENNA_DATA_DIR) + "/" + name, name);
}

int partnerOf(int tile) {
    for (int other = 0; other < TILE_COUNT; ++other)
        if (other != tile && board.match.tileValues[other] == board.match.tileValues[tile])
            return other;
    return -1;
}

void playEveryPair(NullGame& game) {
    for (int tile = 0; tile < TILE_COUNT; ++tile)
        if (partnerOf(tile) > tile && board.tileButtons[tile]->isVisible()) {
            game.click(board.tileButtons[tile]);
            game.click(board.tileButtons[partnerOf(tile)]);
        }
}

void writeAssetArchive(const std::map<std::string, std::string>& replaced,
                       const std::set<std::string>& leftOut) {
    int error = 0;
    zip_t* archive = zip_open("tesmor.dat", ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    std::ifstream list(std::string(KAVENNA_DATA_DIR) + "/assets.txt");
    std::vector<std::string> contents;
    contents.reserve(64);
    for (std::string name; std::getline(list, name);) {
        if (name.empty() || name[0] == '#' || leftOut.count(name))
            continue;
        const auto replacement = replaced.find(name);
        contents.push_back(replacement != replaced.end()
                               ? replacement->second
                               : readFile(std::string(KAVENNA_DATA_DIR) + "/" + name));
        zip_source_t* source =
            zip_source_buffer(archive, contents.back().data(), contents.back().size(), 0);
        const zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        ASSERT_GE(index, 0);
        const bool description = name.compare(name.size() - 4, 4, ".xml") == 0;
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                 description ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 9);
    }
    ASSERT_EQ(zip_close(archive), 0);
}

std::string fileReportText() {
    gui::IGUIElement* box = findId(ID_ARCHIVE_ERROR_BOX);
    gui::IGUIStaticText* text = box ? messageText(box) : nullptr;
    return text ? narrow(text->getText()) : "";
}

std::vector<std::string> shownAssetNames() {
    std::ifstream list(std::string(KAVENNA_DATA_DIR) + "/assets.txt");
    std::vector<std::string> names;
    for (std::string name; std::getline(list, name);)
        if (!name.empty() && name[0] != '#' && name.rfind("icon-", 0) != 0)
            names.push_back(name);
    return names;
}
