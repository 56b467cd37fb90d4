// A translation catalogue in GNU gettext's binary form (a .mo file, as
// msgfmt writes it), read and checked by the game rather than the C
// library: a player may write one beside the game, and the C library's
// gettext trusts it (a plural rule dividing by zero raises SIGFPE, and a
// translation's "%n" would reach printf). Accepted is a catalogue in
// UTF-8 within the limits of limits.h whose every translation is valid
// UTF-8 without control characters but line breaks, has exactly the
// plural forms its header's rule names, uses exactly the conversions of
// its English text (%d, %s, %N$d, %N$s, %%) and is at most about twice
// as long, on at most two more lines; anything
// else refuses the whole catalogue, and the game speaks English.
#pragma once

#include "file_checks/plural_rule.h"

#include <map>
#include <string>
#include <vector>

struct Catalogue {
    // Each English text (singular and plural joined by a NUL, as the
    // file has them) and its translation, one text for each plural form.
    std::map<std::string, std::vector<std::string>> texts;
    PluralRule plural;
};

// Reads `bytes` as a catalogue; false, with `catalogue` empty, when they
// are refused.
bool readCatalogue(const std::vector<unsigned char>& bytes, Catalogue& catalogue);

// The conversions of a C format as its arguments are used: "%d of %d"
// and "%2$d of %1$d" both use argument 1 and 2 as numbers, in some
// order. False for a format with any other conversion.
bool formatConversions(const std::string& format, std::string& conversions);
