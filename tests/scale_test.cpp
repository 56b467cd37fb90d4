// The game at scale 2: which scale start-up chooses, and every screen
// laid out at twice its size at scale 1, with the pictures and the font of
// the set drawn at twice the pixels, or at scale 1 when that set is not
// whole.
#include "app/display_scale.h"
#include "support/null_game.h"
#include "ui/control_ids.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

using namespace irr;

namespace {

TEST(Scale, ChosenFromTheOptionTheDesktopAndTheWorkArea) {
    const std::string DPI_192 = "Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n";
    const std::string DPI_96 = "Xft.dpi:\t96\n";
    const struct {
        const char* what;
        int option;
        const char* gdk;
        std::string resources;
        int width, height;
        int scale;
    } CASES[] = {
        {"nothing said", 0, nullptr, "", 1920, 1080, 1},
        {"no X server at all", 0, nullptr, "", 0, 0, 1},
        {"--scale 2", 2, nullptr, "", 1920, 1080, 2},
        {"--scale 1 over the desktop's 2", 1, "2", DPI_192, 3840, 2160, 1},
        {"--scale 2 over the desktop's 1", 2, "1", DPI_96, 3840, 2160, 2},
        {"GDK_SCALE 2", 0, "2", "", 3840, 2160, 2},
        {"GDK_SCALE 3 means 2", 0, "3", "", 3840, 2160, 2},
        {"GDK_SCALE 1 over Xft.dpi 192", 0, "1", DPI_192, 3840, 2160, 1},
        {"GDK_SCALE 0 is no scale", 0, "0", DPI_192, 3840, 2160, 2},
        {"GDK_SCALE 1.5 is no whole number", 0, "1.5", "", 3840, 2160, 1},
        {"GDK_SCALE 2x is no number", 0, "2x", DPI_192, 3840, 2160, 2},
        {"GDK_SCALE -2", 0, "-2", "", 3840, 2160, 1},
        {"GDK_SCALE empty", 0, "", DPI_192, 3840, 2160, 2},
        {"GDK_SCALE huge", 0, "99999999999999999999", "", 3840, 2160, 1},
        {"Xft.dpi 192", 0, nullptr, DPI_192, 3840, 2160, 2},
        {"Xft.dpi 144 exactly", 0, nullptr, "Xft.dpi:\t144\n", 3840, 2160, 2},
        {"Xft.dpi 143", 0, nullptr, "Xft.dpi:\t143\n", 3840, 2160, 1},
        {"Xft.dpi 192.5, the last line", 0, nullptr, "Xcursor.size:\t48\nXft.dpi:\t192.5", 3840,
         2160, 2},
        {"Xft.dpi 96", 0, nullptr, DPI_96, 3840, 2160, 1},
        {"Xft.dpi garbage", 0, nullptr, "Xft.dpi:\tlarge\n", 3840, 2160, 1},
        {"another resource ending in Xft.dpi", 0, nullptr, "MyXft.dpi:\t192\n", 3840, 2160, 1},
        {"the window just fits", 2, nullptr, "", 1600, 1000, 2},
        {"a work area too narrow", 2, nullptr, "", 1599, 1200, 1},
        {"a work area too low (a panel)", 0, "2", "", 1920, 999, 1},
        {"too small for Xft.dpi's 2", 0, nullptr, DPI_192, 1366, 768, 1},
    };
    for (const auto& c : CASES) {
        ScaleInputs inputs;
        inputs.option = c.option;
        inputs.gdkScale = c.gdk;
        inputs.xResources = c.resources;
        inputs.workWidth = c.width;
        inputs.workHeight = c.height;
        EXPECT_EQ(chooseScale(inputs), c.scale) << c.what;
    }
}

// Where a screen stands in the game.
enum class Stage { INTRO, MAIN_MENU, ABOUT, BOARD, ONE_UP, MISS, PAIR_GONE, WON, NO_ARCHIVE };

bool isCloseButton(gui::IGUIElement* element) {
    gui::IGUIElement* parent = element->getParent();
    return parent && parent->getType() == gui::EGUIET_MESSAGE_BOX &&
           static_cast<gui::IGUIWindow*>(parent)->getCloseButton() == element;
}

// The menus and the boxes are laid out by the engine itself around their
// text, adding a few pixels of its own at one size (5 below the menu
// bar's text, 6 beside a box's), and the 2x font's lines run within a
// pixel or two of twice the 1x ones. Everything the game lays out is
// exactly twice the size.
const s32 ENGINE_SLACK = 8;

bool laidOutByEngine(gui::IGUIElement* element) {
    for (; element; element = element->getParent())
        if (element->getType() == gui::EGUIET_MENU ||
            element->getType() == gui::EGUIET_CONTEXT_MENU ||
            element->getType() == gui::EGUIET_MESSAGE_BOX)
            return true;
    return false;
}

// Every element on screen, in tree order: its type, id and rectangle.
void collect(gui::IGUIElement* parent, std::vector<std::string>& names,
             std::vector<core::rect<s32>>& rects, std::vector<bool>& engine) {
    for (gui::IGUIElement* child : parent->getChildren()) {
        // A box's close button shows only at scale 1 (ui/skin.h).
        if (!child->isVisible() || isCloseButton(child))
            continue;
        std::ostringstream name;
        name << child->getTypeName() << " " << child->getID() << " '" << narrow(child->getText())
             << "'";
        names.push_back(name.str());
        rects.push_back(child->getAbsolutePosition());
        engine.push_back(laidOutByEngine(child));
        collect(child, names, rects, engine);
    }
}

// Every deal the same, so that both scales see the same tiles: tile t
// pairs with tile t + 10.
void fixDeal() {
    for (int t = 0; t < 20; ++t)
        board.match.tileValues[t] = t % 10 + 1;
}

void reach(NullGame& game, Stage stage) {
    if (stage == Stage::INTRO || stage == Stage::NO_ARCHIVE)
        return;
    game.skipIntro();
    if (stage == Stage::MAIN_MENU)
        return;
    if (stage == Stage::ABOUT) {
        game.clickId(ID_ABOUT);
        return;
    }
    game.clickId(ID_START_GAME);
    fixDeal();
    const int clicks[] = {0, 1, 2, 12};
    const int count = stage == Stage::ONE_UP ? 1 : stage == Stage::MISS ? 2 : 0;
    for (int i = 0; i < count; ++i)
        game.clickId(clicks[i]);
    if (stage == Stage::PAIR_GONE || stage == Stage::WON) {
        for (int t = 0; t < (stage == Stage::WON ? 10 : 1); ++t) {
            game.clickId(t);
            game.clickId(t + 10);
        }
    }
    // The menu bar lays itself out for the font when first drawn.
    game.frame();
}

struct Screen {
    std::vector<std::string> names;
    std::vector<core::rect<s32>> rects;
    std::vector<bool> engine;
    int scale = 0;
};

Screen screenAt(int scale, Stage stage) {
    Screen screen;
    captureStdout([&] {
        NullGame game(scale);
        screen.scale = gameState.scale;
        reach(game, stage);
        game.frame();
        collect(gameState.guiEnvironment->getRootGUIElement(), screen.names, screen.rects,
                screen.engine);
    });
    return screen;
}

core::rect<s32> twice(const core::rect<s32>& r) {
    return core::rect<s32>(2 * r.UpperLeftCorner.X, 2 * r.UpperLeftCorner.Y,
                           2 * r.LowerRightCorner.X, 2 * r.LowerRightCorner.Y);
}

void expectTwice(Stage stage, const char* what) {
    SCOPED_TRACE(what);
    const Screen one = screenAt(1, stage);
    const Screen two = screenAt(2, stage);
    ASSERT_EQ(one.scale, 1);
    ASSERT_EQ(two.scale, 2);
    ASSERT_EQ(one.names, two.names);
    ASSERT_FALSE(one.rects.empty());
    for (size_t i = 0; i < one.rects.size(); ++i) {
        const core::rect<s32> expected = twice(one.rects[i]);
        const core::rect<s32>& got = two.rects[i];
        const s32 slack = one.engine[i] ? ENGINE_SLACK : 0;
        const s32 off[] = {got.UpperLeftCorner.X - expected.UpperLeftCorner.X,
                           got.UpperLeftCorner.Y - expected.UpperLeftCorner.Y,
                           got.LowerRightCorner.X - expected.LowerRightCorner.X,
                           got.LowerRightCorner.Y - expected.LowerRightCorner.Y};
        for (const s32 by : off)
            EXPECT_LE(std::abs(by), slack)
                << one.names[i] << ": edges off twice the 1x rectangle by " << off[0] << ", "
                << off[1] << ", " << off[2] << ", " << off[3];
    }
}

TEST(Scale, EveryScreenIsTwiceTheSizeAtTwo) {
    expectTwice(Stage::INTRO, "the intro");
    expectTwice(Stage::MAIN_MENU, "the main menu");
    expectTwice(Stage::ABOUT, "the About screen");
    expectTwice(Stage::BOARD, "a new board");
    expectTwice(Stage::ONE_UP, "one tile up");
    expectTwice(Stage::MISS, "two different tiles up");
    expectTwice(Stage::PAIR_GONE, "a pair gone");
    expectTwice(Stage::WON, "the win box");
}

TEST(Scale, TheMissingArchiveBoxIsTwiceTheSizeAtTwo) {
    ScratchDirectory scratch;
    scratch.addLooseAssets();
    expectTwice(Stage::NO_ARCHIVE, "the missing-archive box");
}

TEST(Scale, TwoTakesTheTwiceSizeSetAndAWindowOfTwiceTheSize) {
    NullGame game(2);
    ASSERT_EQ(gameState.scale, 2);
    EXPECT_EQ(lastDeviceParameters.WindowSize, core::dimension2d<u32>(1600, 1000));
    EXPECT_EQ(pictures.hiddenTexture->getName().getPath(), "h@2x.jpg");
    EXPECT_EQ(pictures.menuBackgroundTexture->getName().getPath(), "m@2x.png");
    EXPECT_EQ(pictures.faceTextures[TILE_COUNT - 1]->getName().getPath(),
              io::path((std::to_string(PAIR_COUNT) + "@2x.jpg").c_str()));
    gui::IGUIFont* font = gameState.guiEnvironment->getSkin()->getFont();
    ASSERT_EQ(font->getType(), gui::EGFT_BITMAP);
    EXPECT_EQ(fontPictureName(font), "f0@2x.png");
    // The engine's own sizes, such as the width of a box's buttons.
    EXPECT_EQ(gameState.guiEnvironment->getSkin()->getSize(gui::EGDS_BUTTON_WIDTH), 160);
}

// A 2x set that is not whole (a picture or the font missing, refused, or
// a picture drawn for scale 1 under its 2x name) means the whole game at
// 1: the 1x set, a reskinned one too, still shows, and the box names the
// file.
TEST(Scale, AnIncompleteTwiceSizeSetMeansScaleOne) {
    const char* const BROKEN[] = {"h@2x.jpg",  "m@2x.png", "w@2x.jpg",
                                  "10@2x.jpg", "f@2x.xml", "f0@2x.png"};
    enum class Broken { MISSING, ANOTHER_KIND, SCALE_ONE_PICTURE };
    for (const char* name : BROKEN) {
        for (const Broken how :
             {Broken::MISSING, Broken::ANOTHER_KIND, Broken::SCALE_ONE_PICTURE}) {
            const bool description = std::strstr(name, ".xml") != nullptr;
            // The font's size at each scale is the font check's to judge.
            if (how == Broken::SCALE_ONE_PICTURE && (description || std::strstr(name, "f0")))
                continue;
            SCOPED_TRACE(std::string(name) + (how == Broken::MISSING ? " missing"
                                              : how == Broken::ANOTHER_KIND
                                                  ? " of another kind"
                                                  : " at scale 1\'s size"));
            ScratchDirectory dir;
            dir.addLooseAssets();
            const std::string path = dir.path() + "/" + name;
            ASSERT_EQ(std::remove(path.c_str()), 0);
            std::string oneX = name;
            oneX.erase(oneX.find("@2x"), 3);
            // Bytes of another kind: a description for a picture, a
            // picture for the description.
            if (how == Broken::ANOTHER_KIND)
                dir.copyIn(std::string(KAVENNA_DATA_DIR) + (description ? "/h.jpg" : "/f.xml"),
                           name);
            else if (how == Broken::SCALE_ONE_PICTURE)
                dir.copyIn(std::string(KAVENNA_DATA_DIR) + "/" + oneX, name);
            NullGame game(2);
            EXPECT_EQ(gameState.scale, 1);
            EXPECT_EQ(lastDeviceParameters.WindowSize, core::dimension2d<u32>(800, 500));
            ASSERT_NE(pictures.hiddenTexture, nullptr);
            EXPECT_EQ(pictures.hiddenTexture->getName().getPath(), "h.jpg");
            EXPECT_EQ(gameState.guiEnvironment->getSkin()->getSize(gui::EGDS_BUTTON_WIDTH), 80);
            // Loose files, no archive: the box says so, at scale 1, and
            // names the file.
            EXPECT_EQ(countId(ID_ARCHIVE_ERROR_BOX), 1);
            EXPECT_EQ(fileReportText(), std::string("error opening tesmor.dat\n") +
                                            (how == Broken::MISSING ? "missing: " : "damaged: ") +
                                            name);
        }
    }
}

} // namespace
