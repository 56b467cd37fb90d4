// The game's data files: the font and every picture it draws, from the
// archive beside it (tesmor.dat) or loose in the working directory, in two
// steps around the window. Before it, `checkAssets` mounts the archive
// (checked once) and reads every file of the set for the scale, holding
// each picture to the size the game draws it at and the font description
// to the font check, decoding nothing: every refusal, and the fall-back
// from scale 2 to scale 1, is decided before a window of the wrong size
// could be made. After the window's first frame, `loadAssets` decodes and
// uploads them, the splash first. Nothing reaches the engine unchecked
// (file_checks/). A refused file counts as a missing one; an archive holding
// one counts as damaged, and the loose files serve; and every file that
// could not be used is told once, in a box (ui/file_report.h).
#pragma once

#include "file_checks/archive_check.h"
#include "file_checks/font_check.h"
#include "game/board_shape.h"
#include "ui/file_report.h"

#include <irrlicht.h>
#include <string>
#include <vector>

// A file checked before the window. A picture is read again, whole, when
// it is decoded; a font description is held as it was checked.
struct CheckedFile {
    std::string name;
    bool fromArchive = false;
    // Accepted: of the kind and size the game draws.
    bool accepted = false;
    unsigned maxBytes = 0;
    std::vector<unsigned char> bytes;
    // The size the picture must decode to.
    unsigned width = 0;
    unsigned height = 0;
};

// The pictures the layout draws (the splash, the menu background, the
// tile back, the button face and ten tile faces) and the window's icons.
const int PICTURE_COUNT = 4 + PAIR_COUNT;
const int ICON_COUNT = 5;

struct AssetPlan {
    AssetPlan() = default;
    AssetPlan(const AssetPlan&) = delete;
    AssetPlan& operator=(const AssetPlan&) = delete;
    ~AssetPlan();

    // 1, or 2 when the set drawn at twice the pixels is whole.
    int scale = 1;
    // The archive, checked and mounted, until it counts as damaged.
    irr::io::IFileArchive* archive = nullptr;
    // The game's device has taken it over from the plan.
    bool archiveAdopted = false;
    // Before the window: its entries as checked, and the archive file
    // itself, whose pictures' headers are read from it directly.
    std::vector<ArchiveEntry> archiveEntries;
    int archiveFile = -1;
    CheckedFile fontDescription;
    CheckedFile fontPicture;
    FontDescription font;
    CheckedFile pictures[PICTURE_COUNT];
    CheckedFile icons[ICON_COUNT];
    FileReport report;
};

// What the game's font must offer at `scale`: every character its texts
// and the names of its files use, and a line height the layout holds at
// that scale.
FontNeeds gameFontNeeds(int scale);

// Before the window: checks the files of the set for `scale` (1 or 2)
// with an engine device of its own that opens no window (the null
// driver: the engine's file system and XML reader). A set for scale 2
// that is not whole means scale 1, and standard error says why.
void checkAssets(int scale, AssetPlan& plan);

// Once the game's device exists: mounts the checked archive in its file
// system, where it stays for the rest of the run.
void adoptCheckedArchive(AssetPlan& plan);

// After the window's first frame: decodes every picture and uploads it
// into `pictures` (ui/pictures.h), the font into the skin and the icons
// onto the window, and shows the box when a file was missing or refused. A picture that
// fails to decode now is replaced as a refused one is: by its loose file
// (the archive then counts as damaged), or at scale 2 by its scale-1
// picture at twice the size.
void loadAssets(AssetPlan& plan);
