// The player's language: the game's texts in English are the keys of the
// catalogue chosen at start-up (file_checks/catalogue.h), looked up here;
// without one, or for a text it lacks, the English text stands. Texts are
// UTF-8. `_` marks a text for the catalogue's template and translates it,
// `N_` only marks it, to be translated where it is used, and `P_` takes
// the form of a text that a count `n` asks for.
#pragma once

#include "file_checks/catalogue.h"

#include <string>
#include <vector>

#define _(text) translate(text)
#define N_(text) text
#define P_(singular, plural, n) translatePlural(singular, plural, static_cast<unsigned long>(n))

// From now on the texts are looked up in `catalogue`, of `language` ("de",
// "pt_BR"); an empty language means English.
void useTranslation(const Catalogue& catalogue, const std::string& language);
// The language in use, "en" without a catalogue.
const std::string& translationLanguage();

const char* translate(const char* english);
// The form of `singular` or `plural` that the count `n` takes.
const char* translatePlural(const char* singular, const char* plural, unsigned long n);

// `format` with its conversions (%d, %s, %N$d, %N$s, %%) replaced by
// `arguments` in turn, or by the one each names: the catalogue has made
// sure a translation uses just the conversions of its English text.
std::string formatText(const std::string& format, const std::vector<std::string>& arguments);

// The languages to look for, most wanted first, as gettext reads the
// environment: LANGUAGE's list unless the locale (LC_ALL, else
// LC_MESSAGES, else LANG) is C or POSIX or unset, else the locale's own.
// Each comes with the forms a catalogue may be filed under:
// "pt_BR.UTF-8@x" gives pt_BR@x, pt_BR, pt@x, pt. English ends the list.
std::vector<std::string> wantedLanguages(const char* languageVariable, const char* lcAll,
                                         const char* lcMessages, const char* lang);
// The forms of one language, as above.
std::vector<std::string> languageForms(const std::string& language);

// Looks for the catalogue of each language of `languages` in turn, in each
// of `directories` ("<dir>/<language>/LC_MESSAGES/kavenna.mo"), and uses
// the first one found; a refused one means English, said once on
// standard error. False when English stands.
bool loadTranslation(const std::vector<std::string>& languages,
                     const std::vector<std::string>& directories);
