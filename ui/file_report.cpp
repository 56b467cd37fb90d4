#include "ui/file_report.h"

#include "platform/translation.h"
#include "ui/control_ids.h"
#include "ui/game_state.h"
#include "ui/skin.h"

#include <algorithm>

using namespace irr;

namespace {

// Each with the archive's or the files' names in place of %s.
// TRANSLATORS: the box that tells which of the game's data files could
// not be used; %s is a file's name, or several.
const char* const OPENING = N_("error opening %s");
const char* const MISSING = N_("missing: %s");
const char* const DAMAGED = N_("damaged: %s");

void addLine(std::string& text, const char* phrase, const std::vector<std::string>& names) {
    if (names.empty())
        return;
    std::string listed;
    for (size_t i = 0; i < names.size(); ++i)
        listed += (i ? " " : "") + names[i];
    if (!text.empty())
        text += '\n';
    text += formatText(_(phrase), {listed});
}

} // namespace

void noteFile(std::vector<std::string>& names, const std::string& name) {
    if (std::find(names.begin(), names.end(), name) == names.end())
        names.push_back(name);
}

bool reportNeeded(const FileReport& report) {
    return !report.archive.empty() || !report.missing.empty() || !report.damaged.empty();
}

std::string reportCaption(const FileReport& report) {
    const std::string& first = !report.archive.empty()   ? report.archive
                               : !report.missing.empty() ? report.missing.front()
                               : !report.damaged.empty() ? report.damaged.front()
                                                         : report.archive;
    return formatText(_(OPENING), {first});
}

std::string reportText(const FileReport& report) {
    std::string text;
    if (!report.archive.empty())
        text = formatText(_(OPENING), {report.archive});
    addLine(text, MISSING, report.missing);
    addLine(text, DAMAGED, report.damaged);
    return text;
}

void showFileReport(const FileReport& report) {
    addGameMessageBox(reportCaption(report), reportText(report), gui::EMBF_YES,
                      ID_ARCHIVE_ERROR_BOX);
}
