#include "app/language.h"

#include "platform/translation.h"

#include <climits>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

// KAVENNA_PROGRAM_TO_LOCALE, the installed catalogues' folder seen from
// the installed program's, is set when the build is configured.

namespace {

// The folder the program runs from, or "" when the system will not say.
std::string programFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return "";
    const std::string program(path, static_cast<size_t>(length));
    return program.substr(0, program.rfind('/'));
}

} // namespace

void chooseLanguage(const char* option) {
    const std::vector<std::string> languages =
        option ? languageForms(option)
               : wantedLanguages(std::getenv("LANGUAGE"), std::getenv("LC_ALL"),
                                 std::getenv("LC_MESSAGES"), std::getenv("LANG"));
    const std::string folder = programFolder();
    std::vector<std::string> directories;
    if (!folder.empty()) {
        directories.push_back(folder + "/locale");
        directories.push_back(folder + "/" KAVENNA_PROGRAM_TO_LOCALE);
    }
    loadTranslation(languages, directories);
}
