#include "ui/file_report.h"

#include "ui/control_ids.h"
#include "ui/game_state.h"
#include "ui/skin.h"

#include <algorithm>

using namespace irr;

namespace {

const char* const OPENING = "error opening ";
const char* const MISSING = "missing: ";
const char* const DAMAGED = "damaged: ";

// The names are bytes from the game's own list or a checked font
// description: plain ASCII.
std::wstring widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

void addLine(std::string& text, const char* phrase, const std::vector<std::string>& names) {
    if (names.empty())
        return;
    if (!text.empty())
        text += '\n';
    text += phrase;
    for (size_t i = 0; i < names.size(); ++i)
        text += (i ? " " : "") + names[i];
}

} // namespace

void noteFile(std::vector<std::string>& names, const std::string& name) {
    if (std::find(names.begin(), names.end(), name) == names.end())
        names.push_back(name);
}

bool reportNeeded(const FileReport& report) {
    return !report.archive.empty() || !report.missing.empty() || !report.damaged.empty();
}

std::wstring reportCaption(const FileReport& report) {
    const std::string& first = !report.archive.empty()   ? report.archive
                               : !report.missing.empty() ? report.missing.front()
                               : !report.damaged.empty() ? report.damaged.front()
                                                         : report.archive;
    return widen(OPENING + first);
}

std::wstring reportText(const FileReport& report) {
    std::string text;
    if (!report.archive.empty())
        text = OPENING + report.archive;
    addLine(text, MISSING, report.missing);
    addLine(text, DAMAGED, report.damaged);
    return widen(text);
}

void showFileReport(const FileReport& report) {
    const std::wstring caption = reportCaption(report);
    const std::wstring text = reportText(report);
    dressMessageBox(gameState.guiEnvironment->addMessageBox(caption.c_str(), text.c_str(), true,
                                                            gui::EMBF_YES, nullptr,
                                                            ID_ARCHIVE_ERROR_BOX, nullptr));
}
