#include "platform/translation.h"

#include "file_checks/limits.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Translation {
    Catalogue catalogue;
    std::string language = "en";
};

Translation& translation() {
    static Translation current;
    return current;
}

// English, or the C library's own untranslated locale ("C.UTF-8" too).
bool isEnglish(const std::string& language) {
    const std::string name = language.substr(0, language.find_first_of("_.@"));
    return name.empty() || name == "C" || name == "POSIX" || name == "en";
}

// A regular file of at most `limit` bytes, read whole without waiting on
// a named pipe or a device.
bool readSmallFile(const std::string& path, unsigned limit, std::vector<unsigned char>& bytes) {
    const int file = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (file < 0)
        return false;
    struct stat status;
    bool read = fstat(file, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0 &&
                static_cast<unsigned long long>(status.st_size) <= limit;
    if (read) {
        bytes.resize(static_cast<size_t>(status.st_size));
        size_t done = 0;
        while (read && done < bytes.size()) {
            const ssize_t n = ::read(file, bytes.data() + done, bytes.size() - done);
            read = n > 0;
            done += read ? static_cast<size_t>(n) : 0;
        }
    }
    close(file);
    return read;
}

} // namespace

void useTranslation(const Catalogue& catalogue, const std::string& language) {
    translation().catalogue = catalogue;
    translation().language = language.empty() ? "en" : language;
}

const std::string& translationLanguage() {
    return translation().language;
}

const char* translate(const char* english) {
    const auto& texts = translation().catalogue.texts;
    const auto found = texts.find(english);
    return found == texts.end() ? english : found->second.front().c_str();
}

const char* translatePlural(const char* singular, const char* plural, unsigned long n) {
    const Catalogue& catalogue = translation().catalogue;
    const auto found = catalogue.texts.find(std::string(singular) + '\0' + plural);
    if (found == catalogue.texts.end())
        return n == 1 ? singular : plural;
    return found->second[pluralForm(catalogue.plural, n)].c_str();
}

std::string formatText(const std::string& format, const std::vector<std::string>& arguments) {
    std::string text;
    size_t next = 0;
    for (size_t at = 0; at < format.size(); ++at) {
        if (format[at] != '%' || at + 1 >= format.size()) {
            text += format[at];
            continue;
        }
        size_t argument = next;
        if (format[at + 1] >= '1' && format[at + 1] <= '9' && at + 2 < format.size() &&
            format[at + 2] == '$') {
            argument = static_cast<size_t>(format[at + 1] - '1');
            at += 2;
        } else if (format[at + 1] == '%') {
            text += '%';
            ++at;
            continue;
        } else {
            ++next;
        }
        ++at;
        if (argument < arguments.size())
            text += arguments[argument];
    }
    return text;
}

std::vector<std::string> languageForms(const std::string& language) {
    std::string name = language;
    std::string modifier;
    const size_t at = name.find('@');
    if (at != std::string::npos) {
        modifier = name.substr(at);
        name.erase(at);
    }
    name.erase(std::min(name.find('.'), name.size()));
    const std::string base = name.substr(0, std::min(name.find('_'), name.size()));
    std::vector<std::string> forms;
    for (const std::string& form : {name + modifier, name, base + modifier, base})
        if (!form.empty() && (forms.empty() || forms.back() != form))
            forms.push_back(form);
    return forms;
}

std::vector<std::string> wantedLanguages(const char* languageVariable, const char* lcAll,
                                         const char* lcMessages, const char* lang) {
    const char* locale = lcAll && *lcAll ? lcAll : lcMessages && *lcMessages ? lcMessages : lang;
    std::vector<std::string> wanted;
    if (!locale || !*locale || std::strcmp(locale, "C") == 0 || std::strcmp(locale, "POSIX") == 0)
        return wanted;
    std::string list = languageVariable && *languageVariable ? languageVariable : locale;
    for (size_t start = 0; start <= list.size();) {
        size_t end = list.find(':', start);
        if (end == std::string::npos)
            end = list.size();
        const std::string language = list.substr(start, end - start);
        start = end + 1;
        if (language.empty())
            continue;
        if (isEnglish(language))
            break;
        for (const std::string& form : languageForms(language))
            wanted.push_back(form);
    }
    return wanted;
}

bool loadTranslation(const std::vector<std::string>& languages,
                     const std::vector<std::string>& directories) {
    useTranslation(Catalogue(), "");
    for (const std::string& language : languages)
        for (const std::string& directory : directories) {
            const std::string path = directory + "/" + language + "/LC_MESSAGES/kavenna.mo";
            std::vector<unsigned char> bytes;
            struct stat status;
            if (stat(path.c_str(), &status) != 0)
                continue;
            Catalogue catalogue;
            if (readSmallFile(path, MAX_CATALOGUE_BYTES, bytes) &&
                readCatalogue(bytes, catalogue)) {
                useTranslation(catalogue, language);
                return true;
            }
            std::fprintf(stderr, "kavenna: the translation %s was refused; playing in English\n",
                         path.c_str());
            return false;
        }
    return false;
}
