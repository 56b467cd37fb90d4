// Finding the assets: in the archive beside the game, in an archive that
// stores them in a folder and in another case, or loose in the working
// directory when the archive is missing; decoding them as the engine
// would, without ever letting one of its own image loaders run.
#include "app/assets.h"
#include "file_checks/font_check.h"
#include "file_checks/picture.h"
#include "platform/memory.h"
#include "support/null_game.h"
#include "ui/control_ids.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <unistd.h>

using namespace irr;

namespace {

void expectEveryPictureLoaded() {
    EXPECT_NE(pictures.hiddenTexture, nullptr);
    EXPECT_NE(pictures.menuBackgroundTexture, nullptr);
    EXPECT_NE(pictures.splashTexture, nullptr);
    EXPECT_NE(pictures.buttonFaceTexture, nullptr);
    for (int k = 0; k < TILE_COUNT; ++k)
        EXPECT_NE(pictures.faceTextures[k], nullptr) << "picture " << k;
    for (int k = 0; k < PAIR_COUNT; ++k)
        EXPECT_EQ(pictures.faceTextures[k], pictures.faceTextures[k + PAIR_COUNT])
            << "picture " << k;
    // Ten different pictures, not one picture ten times.
    for (int k = 1; k < PAIR_COUNT; ++k)
        EXPECT_NE(pictures.faceTextures[k], pictures.faceTextures[0]);
}

// The pictures the layout sizes; each also comes at twice the pixels.
const char* const LAID_OUT_PICTURES[] = {"h.jpg", "m.png", "s.png", "w.jpg", "1.jpg",
                                         "2.jpg", "3.jpg", "4.jpg", "5.jpg", "6.jpg",
                                         "7.jpg", "8.jpg", "9.jpg", "10.jpg"};

// "h.jpg" drawn at twice the pixels is "h@2x.jpg".
std::string twiceSizeName(const std::string& name) {
    const size_t dot = name.rfind('.');
    return name.substr(0, dot) + "@2x" + name.substr(dot);
}

void writeFile(const std::string& name, const std::string& bytes) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string dataFile(const std::string& name) {
    return readFile(std::string(KAVENNA_DATA_DIR) + "/" + name);
}

// The build's font description in ASCII, without the lines of glyphs
// beyond it: the build writes it in UTF-16 for the translations.
std::string asciiFont(const std::string& name) {
    const std::string bytes = dataFile(name);
    if (bytes.compare(0, 2, "\xff\xfe") != 0)
        return bytes;
    std::string ascii, line;
    bool beyond = false;
    for (size_t at = 2; at + 1 < bytes.size(); at += 2) {
        const unsigned c =
            static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
        beyond = beyond || c >= 0x80;
        line += static_cast<char>(c);
        if (c == '\n') {
            ascii += beyond ? "" : line;
            line.clear();
            beyond = false;
        }
    }
    return ascii + line;
}

// The engine takes a font's tallest glyph rectangle as its line height.
unsigned lineHeight(const std::string& description) {
    unsigned tallest = 0;
    for (size_t at = 0; (at = description.find(" r=\"", at)) != std::string::npos; ++at) {
        unsigned left, top, right, bottom;
        if (std::sscanf(description.c_str() + at, " r=\"%u,%u,%u,%u\"", &left, &top, &right,
                        &bottom) == 4 &&
            bottom - top > tallest)
            tallest = bottom - top;
    }
    return tallest;
}

// Whether the driver's texture cache holds anything by this name, under
// whatever path the engine would have given it.
bool textureNamed(const char* name) {
    video::IVideoDriver* driver = gameState.videoDriver;
    for (u32 i = 0; i < driver->getTextureCount(); ++i) {
        const io::path& path = driver->getTextureByIndex(i)->getName().getPath();
        const io::path file = gameState.device->getFileSystem()->getFileBasename(path);
        if (file.equals_ignore_case(name))
            return true;
    }
    return false;
}

void expectGameFont() {
    gui::IGUIFont* font = gameState.guiEnvironment->getSkin()->getFont();
    ASSERT_NE(font, nullptr);
    EXPECT_NE(font, gameState.guiEnvironment->getBuiltInFont());
    EXPECT_EQ(font, gameState.guiEnvironment->getFont("f.xml"));
}

TEST(Assets, TheArchiveBesideTheGameHoldsEverything) {
    NullGame game;
    EXPECT_EQ(gameState.device->getFileSystem()->getFileArchiveCount(), 1u);
    EXPECT_EQ(findId(ID_ARCHIVE_ERROR_BOX), nullptr);
    expectEveryPictureLoaded();
    expectGameFont();
}

TEST(Assets, NamesInTheArchiveIgnoreFoldersAndCase) {
    ScratchDirectory dir;
    dir.copyIn(KAVENNA_FOLDER_CASE_ARCHIVE, "tesmor.dat");
    NullGame game;
    EXPECT_EQ(findId(ID_ARCHIVE_ERROR_BOX), nullptr);
    expectEveryPictureLoaded();
    expectGameFont();
}

TEST(Assets, WithoutTheArchiveABoxSaysSoAndLooseFilesServe) {
    ScratchDirectory dir;
    dir.addLooseAssets();
    NullGame game;
    EXPECT_EQ(gameState.device->getFileSystem()->getFileArchiveCount(), 0u);
    expectEveryPictureLoaded();
    expectGameFont();

    gui::IGUIElement* box = findId(ID_ARCHIVE_ERROR_BOX);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->getType(), gui::EGUIET_MESSAGE_BOX);
    EXPECT_EQ(narrow(box->getText()), "error opening tesmor.dat");
    // Modal boxes sit inside a modal screen that holds the fader back.
    EXPECT_EQ(box->getParent()->getType(), gui::EGUIET_MODAL_SCREEN);
    EXPECT_EQ(countId(ID_ARCHIVE_ERROR_BOX), 1);

    const std::vector<gui::IGUIElement*> answers = answerButtons(box);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(narrow(answers[0]->getText()),
              narrow(gameState.guiEnvironment->getSkin()->getDefaultText(gui::EGDT_MSG_BOX_YES)));

    // Laid out for the game's own font: the whole message and caption fit.
    gui::IGUIStaticText* text = messageText(box);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(narrow(text->getText()), "error opening tesmor.dat");
    EXPECT_EQ(text->getActiveFont(), gameState.guiEnvironment->getFont("f.xml"));
    EXPECT_LE(text->getTextWidth(), text->getAbsolutePosition().getWidth());
    EXPECT_LE(text->getTextHeight(), text->getAbsolutePosition().getHeight());
    const core::dimension2d<u32> caption =
        gameState.guiEnvironment->getSkin()->getFont()->getDimension(L"error opening tesmor.dat");
    EXPECT_LT(static_cast<s32>(caption.Width), box->getAbsolutePosition().getWidth());

    // The box stays over the splash until the main menu clears it.
    game.setTime(gameState.startTime + 5000);
    game.frame();
    EXPECT_NE(findId(ID_ARCHIVE_ERROR_BOX), nullptr);
    game.skipIntro();
    EXPECT_EQ(findId(ID_ARCHIVE_ERROR_BOX), nullptr);
    EXPECT_NE(findId(ID_START_GAME), nullptr);
}

TEST(Assets, TheBoxCanBeDismissedAndTheIntroGoesOn) {
    ScratchDirectory dir;
    dir.addLooseAssets();
    NullGame game;
    game.dismissBox(ID_ARCHIVE_ERROR_BOX);
    EXPECT_EQ(findId(ID_ARCHIVE_ERROR_BOX), nullptr);
    EXPECT_TRUE(gameState.splashVisible);
    game.skipIntro();
    EXPECT_NE(findId(ID_START_GAME), nullptr);
}

TEST(Assets, WithNothingToLoadTheGameStillRuns) {
    ScratchDirectory dir;
    NullGame game;
    EXPECT_NE(findId(ID_ARCHIVE_ERROR_BOX), nullptr);
    EXPECT_EQ(pictures.hiddenTexture, nullptr);
    EXPECT_EQ(pictures.faceTextures[0], nullptr);
    game.startGame();
    EXPECT_EQ(countId(ID_START_GAME), 0);
    game.clickId(0);
    EXPECT_EQ(board.match.clickCount, 1);
}

// On the null driver textures are dummies, so the pictures themselves are
// compared: the game's decoding must give exactly what the engine's own
// loaders give for every shipped picture (read here from files that are
// known to be sound).
TEST(Assets, EveryShippedPictureDecodesAsTheEngineDecodesIt) {
    NullGame game;
    for (const std::string& name : shownAssetNames()) {
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".xml") == 0)
            continue;
        SCOPED_TRACE(name);
        video::IImage* ours = loadCheckedPicture(gameState.device->getFileSystem(),
                                                 gameState.videoDriver, name.c_str());
        video::IImage* engines = gameState.videoDriver->createImageFromFile(
            (std::string(KAVENNA_DATA_DIR) + "/" + name).c_str());
        ASSERT_NE(ours, nullptr);
        ASSERT_NE(engines, nullptr);
        EXPECT_EQ(ours->getColorFormat(), engines->getColorFormat());
        ASSERT_EQ(ours->getDimension(), engines->getDimension());
        EXPECT_GT(ours->getDimension().Width, 0u);
        const size_t bytes = ours->getImageDataSizeInBytes();
        ASSERT_EQ(bytes, engines->getImageDataSizeInBytes());
        EXPECT_EQ(std::memcmp(ours->lock(), engines->lock(), bytes), 0);
        ours->drop();
        engines->drop();
    }
}

// The shipped pictures with alpha are white glyphs, the same in any
// channel order: a picture in many colours, written as a PNG with alpha,
// must come back pixel for pixel.
TEST(Assets, APictureWithAlphaKeepsItsColours) {
    ScratchDirectory dir;
    NullGame game;
    const core::dimension2d<u32> size(37, 21);
    video::IImage* drawn = gameState.videoDriver->createImage(video::ECF_A8R8G8B8, size);
    for (u32 y = 0; y < size.Height; ++y)
        for (u32 x = 0; x < size.Width; ++x)
            drawn->setPixel(x, y, video::SColor(55 + x * 5, x * 7, y * 12, 255 - x * 3));
    ASSERT_TRUE(gameState.videoDriver->writeImageToFile(drawn, "colours.png"));
    video::IImage* read =
        loadCheckedPicture(gameState.device->getFileSystem(), gameState.videoDriver, "colours.png");
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->getColorFormat(), video::ECF_A8R8G8B8);
    ASSERT_EQ(read->getDimension(), size);
    for (u32 y = 0; y < size.Height; ++y)
        for (u32 x = 0; x < size.Width; ++x)
            ASSERT_EQ(read->getPixel(x, y).color, drawn->getPixel(x, y).color) << x << "," << y;
    read->drop();
    drawn->drop();
}

// Files the engine's loaders would take, as whatever format the bytes
// say, but that are not what their names claim: the game refuses them,
// and nothing by their names ever enters the texture cache.
TEST(Assets, NoEngineImageLoaderEverRuns) {
    ScratchDirectory dir;
    dir.addLooseAssets();
    {
        NullGame writer;
        video::IImage* picture =
            loadCheckedPicture(gameState.device->getFileSystem(), gameState.videoDriver, "m.png");
        ASSERT_NE(picture, nullptr);
        ASSERT_TRUE(gameState.videoDriver->writeImageToFile(picture, "picture.bmp"));
        ASSERT_TRUE(gameState.videoDriver->writeImageToFile(picture, "picture.tga"));
        picture->drop();
    }
    writeFile("h.jpg", dataFile("m.png"));
    writeFile("m.png", dataFile("h.jpg"));
    writeFile("s.png", readFile("picture.bmp"));
    writeFile("w.jpg", readFile("picture.tga"));
    writeFile("f0.png", dataFile("1.jpg"));

    NullGame game;
    EXPECT_EQ(pictures.hiddenTexture, nullptr);
    EXPECT_EQ(pictures.menuBackgroundTexture, nullptr);
    EXPECT_EQ(pictures.splashTexture, nullptr);
    EXPECT_EQ(pictures.buttonFaceTexture, nullptr);
    for (const char* name : {"h.jpg", "m.png", "s.png", "w.jpg", "f0.png"})
        EXPECT_FALSE(textureNamed(name)) << name;
    // Without its picture the font is left out too, and the engine's
    // built-in one serves.
    EXPECT_EQ(gameState.guiEnvironment->getSkin()->getFont(),
              gameState.guiEnvironment->getBuiltInFont());
    EXPECT_NE(pictures.faceTextures[0], nullptr);
    game.startGame();
    game.clickId(0);
    EXPECT_EQ(board.match.clickCount, 1);
}

// The check is no lock on the shipped files: other well-formed pictures
// and other well-formed font descriptions, written differently, serve:
// one with other line ends, quotes and blanks, and one in UTF-16 with a
// glyph beyond ASCII, which the engine draws at its own width.
TEST(Assets, WellFormedReplacementsStillShow) {
    std::string redrawn = asciiFont("f.xml");
    redrawn.replace(redrawn.find("f0.png"), 6, "g0.png");
    for (size_t at = 0; (at = redrawn.find("\n", at)) != std::string::npos; at += 2)
        redrawn.replace(at, 1, "\r\n");
    redrawn.replace(redrawn.find("<font"), 0, "<!-- redrawn, with single quotes -->\n");
    redrawn.replace(redrawn.find("<c c=\" \""), 8, "<c  c = ' '");
    std::wstring wide = L"\xfeff";
    for (char c : asciiFont("f.xml"))
        wide += static_cast<wchar_t>(c);
    wide.replace(wide.find(L"</font>"), 0,
                 L"<c c=\"\u00e9\" r=\"200,100,209,119\" u=\"0\" o=\"1\" i=\"0\" />\n");
    std::string utf16;
    for (wchar_t c : wide) {
        utf16 += static_cast<char>(c & 0xff);
        utf16 += static_cast<char>(c >> 8);
    }
    for (const std::string& font : {redrawn, utf16}) {
        ScratchDirectory dir;
        dir.addLooseAssets();
        writeFile("1.jpg", dataFile("2.jpg"));
        writeFile("g0.png", dataFile("f0.png"));
        writeFile("f.xml", font);

        NullGame game;
        expectEveryPictureLoaded();
        expectGameFont();
        video::IImage* first =
            loadCheckedPicture(gameState.device->getFileSystem(), gameState.videoDriver, "1.jpg");
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->getDimension(), core::dimension2d<u32>(100, 50));
        first->drop();
        if (font == redrawn)
            EXPECT_TRUE(textureNamed("g0.png"));
        else
            EXPECT_EQ(gameState.guiEnvironment->getSkin()->getFont()->getDimension(L"\u00e9"),
                      core::dimension2d<u32>(10, 19));
    }
}

// The set for a window at twice the size is the same drawing at twice the
// pixels, read from the archive beside the game and checked as the 1x set
// is: each picture exactly twice its 1x picture, and a font the check takes
// as it takes the 1x one, whose lines are about twice as tall and whose
// glyphs all lie inside its own picture.
TEST(Assets, TheTwiceSizeSetIsTwiceTheSize) {
    NullGame game;
    for (const char* name : LAID_OUT_PICTURES) {
        SCOPED_TRACE(name);
        video::IImage* once =
            loadCheckedPicture(gameState.device->getFileSystem(), gameState.videoDriver, name);
        video::IImage* twice = loadCheckedPicture(
            gameState.device->getFileSystem(), gameState.videoDriver, twiceSizeName(name).c_str());
        ASSERT_NE(once, nullptr);
        ASSERT_NE(twice, nullptr);
        EXPECT_EQ(twice->getDimension().Width, 2 * once->getDimension().Width);
        EXPECT_EQ(twice->getDimension().Height, 2 * once->getDimension().Height);
        once->drop();
        twice->drop();
    }
    unsigned heights[2] = {};
    const std::string fonts[2] = {"f.xml", twiceSizeName("f.xml")};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(fonts[i]);
        const std::string text = dataFile(fonts[i]);
        const std::vector<unsigned char> bytes(text.begin(), text.end());
        FontDescription font;
        ASSERT_TRUE(checkFontDescription(gameState.device->getFileSystem(), bytes,
                                         gameFontNeeds(i + 1), font));
        EXPECT_EQ(font.textureName, i == 0 ? "f0.png" : twiceSizeName("f0.png"));
        video::IImage* picture = loadCheckedPicture(
            gameState.device->getFileSystem(), gameState.videoDriver, font.textureName.c_str());
        ASSERT_NE(picture, nullptr);
        EXPECT_LE(font.right, picture->getDimension().Width);
        EXPECT_LE(font.bottom, picture->getDimension().Height);
        picture->drop();
        heights[i] = lineHeight(asciiFont(fonts[i]));
    }
    EXPECT_GT(heights[0], 10u);
    EXPECT_GE(heights[1], 2 * heights[0] - 2);
    EXPECT_LE(heights[1], 2 * heights[0] + 2);
}

// The picture `name` cut two thirds in: its header reads as sound, its
// pixels do not decode, which only shows once the window exists.
std::string cutAfterHeader(const std::string& name) {
    const std::string whole = dataFile(name);
    return whole.substr(0, whole.size() * 2 / 3);
}

const char* const PICTURE_NAMES_AT_ONE[] = {"s.png", "m.png", "h.jpg", "w.jpg", "1.jpg",
                                            "2.jpg", "3.jpg", "4.jpg", "5.jpg", "6.jpg",
                                            "7.jpg", "8.jpg", "9.jpg", "10.jpg"};

// Every way a file can be missing or refused, in the archive or loose, at
// both scales: what the box says, the scale the game plays at, whether
// the archive stays mounted, and which picture serves as the tile back.
TEST(Assets, EveryFileThatCannotBeUsedIsToldAndItsStandInServes) {
    const std::string tileBackAt2x = dataFile("h@2x.jpg");
    std::set<std::string> everyPicture(std::begin(PICTURE_NAMES_AT_ONE),
                                       std::end(PICTURE_NAMES_AT_ONE));
    const struct {
        const char* what;
        int scale;
        // The archive: entries replaced and left out, or no archive.
        std::map<std::string, std::string> archive;
        std::set<std::string> leftOut;
        bool withArchive;
        // Loose files: all of them, or only those given.
        bool allLoose;
        std::map<std::string, std::string> loose;
        int played;
        bool mounted;
        std::string caption;
        std::string text;
        std::string tileBack;
    } CASES[] = {
        {"the archive lacks w.jpg and its loose copy is refused",
         1,
         {},
         {"w.jpg"},
         true,
         false,
         {{"w.jpg", tileBackAt2x}},
         1,
         true,
         "error opening w.jpg",
         "damaged: w.jpg",
         "h.jpg"},
        {"the archive holds no picture and none is loose",
         1,
         {},
         everyPicture,
         true,
         false,
         {},
         1,
         true,
         "error opening s.png",
         "missing: s.png m.png h.jpg w.jpg 1.jpg 2.jpg 3.jpg 4.jpg 5.jpg 6.jpg 7.jpg 8.jpg 9.jpg "
         "10.jpg",
         ""},
        {"the archive lacks an icon and its loose copy is another size",
         1,
         {},
         {"icon-32.png"},
         true,
         false,
         {{"icon-32.png", dataFile("icon-64.png")}},
         1,
         true,
         "error opening icon-32.png",
         "damaged: icon-32.png",
         "h.jpg"},
        {"a tile picture of twice the size in the archive",
         1,
         {{"h.jpg", tileBackAt2x}},
         {},
         true,
         true,
         {},
         1,
         false,
         "error opening tesmor.dat",
         "error opening tesmor.dat",
         "h.jpg"},
        {"a tile picture of twice the size, loose",
         1,
         {},
         {},
         false,
         true,
         {{"h.jpg", tileBackAt2x}},
         1,
         false,
         "error opening tesmor.dat",
         "error opening tesmor.dat\ndamaged: h.jpg",
         ""},
        {"a tile picture that fails to decode, in the archive",
         1,
         {{"h.jpg", cutAfterHeader("h.jpg")}},
         {},
         true,
         true,
         {},
         1,
         false,
         "error opening tesmor.dat",
         "error opening tesmor.dat",
         "h.jpg"},
        {"a tile picture that fails to decode, loose",
         1,
         {},
         {},
         false,
         true,
         {{"h.jpg", cutAfterHeader("h.jpg")}},
         1,
         false,
         "error opening tesmor.dat",
         "error opening tesmor.dat\ndamaged: h.jpg",
         ""},
        {"at 2, a 1x menu background under its 2x name in the archive",
         2,
         {{"m@2x.png", dataFile("m.png")}},
         {},
         true,
         false,
         {},
         1,
         true,
         "error opening m@2x.png",
         "damaged: m@2x.png",
         "h.jpg"},
        {"at 2, a 1x tile back under its 2x name, loose",
         2,
         {},
         {},
         false,
         true,
         {{"h@2x.jpg", dataFile("h.jpg")}},
         1,
         false,
         "error opening tesmor.dat",
         "error opening tesmor.dat\ndamaged: h@2x.jpg",
         "h.jpg"},
        {"at 2, an archive without icons: they are the same at every scale",
         2,
         {},
         {"icon-16.png", "icon-32.png", "icon-48.png", "icon-64.png", "icon-128.png"},
         true,
         false,
         {},
         2,
         true,
         "error opening icon-16.png",
         "missing: icon-16.png icon-32.png icon-48.png icon-64.png icon-128.png",
         "h@2x.jpg"},
        {"at 2, a tile picture that fails to decode, in the archive",
         2,
         {{"h@2x.jpg", cutAfterHeader("h@2x.jpg")}},
         {},
         true,
         false,
         {},
         2,
         true,
         "error opening h@2x.jpg",
         "damaged: h@2x.jpg",
         "h.jpg"},
        {"at 2, a tile picture that fails to decode, loose",
         2,
         {},
         {},
         false,
         true,
         {{"h@2x.jpg", cutAfterHeader("h@2x.jpg")}},
         2,
         false,
         "error opening tesmor.dat",
         "error opening tesmor.dat\ndamaged: h@2x.jpg",
         "h.jpg"},
    };
    for (const auto& c : CASES) {
        SCOPED_TRACE(c.what);
        ScratchDirectory dir;
        if (c.allLoose)
            dir.addLooseAssets();
        for (const auto& file : c.loose)
            writeFile(file.first, file.second);
        if (c.withArchive)
            writeAssetArchive(c.archive, c.leftOut);
        NullGame game(c.scale);
        EXPECT_EQ(gameState.scale, c.played);
        EXPECT_EQ(lastDeviceParameters.WindowSize.Width, 800u * c.played);
        EXPECT_EQ(gameState.device->getFileSystem()->getFileArchiveCount(), c.mounted ? 1u : 0u);
        gui::IGUIElement* box = findId(ID_ARCHIVE_ERROR_BOX);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(countId(ID_ARCHIVE_ERROR_BOX), 1);
        EXPECT_EQ(narrow(box->getText()), c.caption);
        EXPECT_EQ(fileReportText(), c.text);
        if (c.tileBack.empty()) {
            EXPECT_EQ(pictures.hiddenTexture, nullptr);
        } else {
            ASSERT_NE(pictures.hiddenTexture, nullptr);
            EXPECT_EQ(pictures.hiddenTexture->getName().getPath(), c.tileBack.c_str());
        }
    }
}

// At scale 2 a font picture that fails to decode once the window exists
// gives way to the font for scale 1 drawn at twice the size, never to
// half-size text or the engine's tiny font.
TEST(Assets, AtTwoAFontPictureThatFailsToDecodeGivesWayToTheFontForOneAtTwiceTheSize) {
    ScratchDirectory dir;
    dir.addLooseAssets();
    u32 widthAtOne = 0;
    {
        NullGame atOne(1);
        widthAtOne = gameState.guiEnvironment->getSkin()->getFont()->getDimension(L"AB").Width;
    }
    writeFile("f0@2x.png", cutAfterHeader("f0@2x.png"));
    NullGame game(2);
    EXPECT_EQ(gameState.scale, 2);
    EXPECT_EQ(fileReportText(), "error opening tesmor.dat\ndamaged: f0@2x.png");
    gui::IGUIFont* font = gameState.guiEnvironment->getSkin()->getFont();
    ASSERT_NE(font, nullptr);
    ASSERT_EQ(font->getType(), gui::EGFT_BITMAP);
    EXPECT_EQ(fontPictureName(font), "f0.png");
    EXPECT_EQ(font->getDimension(L"A").Height, 2 * lineHeight(asciiFont("f.xml")));
    EXPECT_EQ(font->getDimension(L"AB").Width, 2 * widthAtOne);
}

// The engine's copy of a picture stays allocated once its pages are
// handed back: only pages wholly within it may go, never a byte of the
// heap on either side of it.
TEST(Assets, OnlyWholePagesOfAPictureCopyGoBack) {
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    struct Case {
        size_t from, bytes;
    };
    const Case CASES[] = {{0, 3 * page},        {1, 3 * page},           {page - 1, page + 2},
                          {page - 1, 2 * page}, {10, page - 20},         {page, page},
                          {page + 1, page - 1}, {2 * page, 3 * page - 1}};
    unsigned char* heap = static_cast<unsigned char*>(std::aligned_alloc(page, 6 * page));
    ASSERT_NE(heap, nullptr);
    for (const Case& c : CASES) {
        SCOPED_TRACE(testing::Message() << "from " << c.from << ", " << c.bytes << " bytes");
        std::memset(heap, 0xa5, 6 * page);
        returnPagesOf(heap + c.from, c.bytes);
        for (size_t at = 0; at < 6 * page; ++at) {
            const size_t start = at / page * page;
            const bool whole = start >= c.from && start + page <= c.from + c.bytes;
            if (heap[at] != (whole ? 0 : 0xa5)) {
                ADD_FAILURE() << "byte " << at;
                break;
            }
        }
    }
    std::free(heap);
}

// A font must carry every character the game writes with it: the check
// asks for each one the screens show.
TEST(Assets, TheFontCheckAsksForTheCharactersOfEveryText) {
    std::set<wchar_t> shown;
    auto collect = [&shown](gui::IGUIElement* element, auto& self) -> void {
        for (const wchar_t* text : {element->getText(), element->getToolTipText().c_str()})
            for (; text && *text; ++text)
                if (*text != L'\n')
                    shown.insert(*text);
        if (element->getType() == gui::EGUIET_CONTEXT_MENU ||
            element->getType() == gui::EGUIET_MENU) {
            gui::IGUIContextMenu* menu = static_cast<gui::IGUIContextMenu*>(element);
            for (u32 i = 0; i < menu->getItemCount(); ++i) {
                for (const wchar_t* text = menu->getItemText(i); *text; ++text)
                    shown.insert(*text);
                if (menu->getSubMenu(i))
                    self(menu->getSubMenu(i), self);
            }
        }
        for (gui::IGUIElement* child : element->getChildren())
            self(child, self);
    };
    ScratchDirectory dir;
    dir.addLooseAssets();
    NullGame game;
    gui::IGUIElement* root = gameState.guiEnvironment->getRootGUIElement();
    collect(root, collect);
    game.skipIntro();
    collect(root, collect);
    game.clickId(ID_ABOUT);
    collect(root, collect);
    game.clickId(ID_BACK);
    game.clickId(ID_START_GAME);
    collect(root, collect);
    playEveryPair(game);
    ASSERT_NE(findId(ID_WIN_BOX), nullptr);
    collect(root, collect);

    const std::wstring required = gameFontNeeds(1).characters;
    for (wchar_t c : shown)
        EXPECT_NE(required.find(c), std::wstring::npos)
            << "no glyph asked for '" << static_cast<char>(c) << "'";
}

TEST(Assets, StartingUpWritesNothingToStandardOutput) {
    const std::string written = captureStdout([] {
        NullGame game;
        game.frame();
    });
    EXPECT_EQ(written, "");
    ScratchDirectory dir;
    const std::string withoutArchive = captureStdout([] {
        NullGame game;
        game.frame();
    });
    EXPECT_EQ(withoutArchive, "");
}

} // namespace
