// The box that tells the player which of the game's data files could not
// be used: the archive, missing or damaged, and each file missing or
// refused by name, each once. Its texts are built here alone, from a few
// fixed phrases and the files' names, so that they can be translated in
// one place.
#pragma once

#include <string>
#include <vector>

struct FileReport {
    // The archive's name, when it is missing or damaged; empty otherwise.
    std::string archive;
    // Files found nowhere, and files refused (damaged, of another kind or
    // size than the game draws), in the order they were met.
    std::vector<std::string> missing;
    std::vector<std::string> damaged;
};

// Adds `name` to `names` unless it is there already.
void noteFile(std::vector<std::string>& names, const std::string& name);

bool reportNeeded(const FileReport& report);

// "error opening " and the archive's name, or else the first file named,
// in the player's language.
std::string reportCaption(const FileReport& report);
// One line for the archive ("error opening tesmor.dat", alone when it is
// all there is to say), one for the missing files ("missing: ..."), one
// for the refused ones ("damaged: ...").
std::string reportText(const FileReport& report);

// Shows the box over whatever is on screen, laid out for the skin's font
// of the moment.
void showFileReport(const FileReport& report);
