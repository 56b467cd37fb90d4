#include "file_checks/catalogue.h"

#include "file_checks/limits.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <strings.h>

namespace {

const std::uint32_t MAGIC = 0x950412de;
const std::uint32_t MAGIC_SWAPPED = 0xde120495;
const size_t HEADER_BYTES = 28;

struct Bytes {
    const std::vector<unsigned char>& data;
    bool swapped;

    std::uint32_t word(size_t at) const {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value |= static_cast<std::uint32_t>(data[at + static_cast<size_t>(i)])
                     << (swapped ? 24 - 8 * i : 8 * i);
        return value;
    }

    // String `index` of the table at `table`: within the file, ending in
    // the NUL the format puts after each, and within the text limit.
    bool string(std::uint32_t table, std::uint32_t index, std::string& text) const {
        const std::uint64_t entry = std::uint64_t(table) + 8ull * index;
        if (entry + 8 > data.size())
            return false;
        const std::uint32_t length = word(static_cast<size_t>(entry));
        const std::uint32_t offset = word(static_cast<size_t>(entry) + 4);
        if (length > MAX_CATALOGUE_TEXT_BYTES || std::uint64_t(offset) + length + 1 > data.size() ||
            data[offset + length] != 0)
            return false;
        text.assign(reinterpret_cast<const char*>(data.data()) + offset, length);
        return true;
    }
};

// Well-formed UTF-8, shortest forms only and no surrogates, with no
// control character but a line break; `nuls` says whether NUL may stand
// between plural forms.
bool isCleanUtf8(const std::string& text, bool nuls) {
    const unsigned char* at = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* end = at + text.size();
    while (at < end) {
        const unsigned c = *at++;
        if (c < 0x80) {
            if ((c < 0x20 && c != '\n' && !(nuls && c == 0)) || c == 0x7f)
                return false;
            continue;
        }
        int more = c >= 0xf0 ? 3 : c >= 0xe0 ? 2 : c >= 0xc2 ? 1 : -1;
        if (more < 0 || c > 0xf4 || end - at < more)
            return false;
        unsigned code = c & (0x3f >> more);
        for (int i = 0; i < more; ++i) {
            if ((at[i] & 0xc0) != 0x80)
                return false;
            code = code << 6 | (at[i] & 0x3f);
        }
        at += more;
        const unsigned least[] = {0, 0x80, 0x800, 0x10000};
        if (code < least[more] || (code >= 0xd800 && code <= 0xdfff) || code > 0x10ffff ||
            (code >= 0x80 && code < 0xa0))
            return false;
    }
    return true;
}

// Characters of UTF-8 `text`, and the line breaks among them.
size_t characters(const std::string& text) {
    size_t count = 0;
    for (unsigned char c : text)
        count += (c & 0xc0) != 0x80;
    return count;
}

size_t lineBreaks(const std::string& text) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

// A translation runs longer than its English text in most languages, but
// not by several times: far beyond that, or over many more lines, no
// caption, box or sentence of the game could hold it.
bool lengthIsSane(const std::string& english, const std::string& translated) {
    return characters(translated) <= 2 * characters(english) + 40 &&
           lineBreaks(translated) <= lineBreaks(english) + 2;
}

std::vector<std::string> splitAtNuls(const std::string& text) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t nul; (nul = text.find('\0', start)) != std::string::npos; start = nul + 1)
        parts.push_back(text.substr(start, nul - start));
    parts.push_back(text.substr(start));
    return parts;
}

// The value of header field `name` ("Plural-Forms"), without the line's end.
bool headerField(const std::string& header, const char* name, std::string& value) {
    const size_t length = std::strlen(name);
    for (size_t line = 0; line < header.size();) {
        size_t end = header.find('\n', line);
        if (end == std::string::npos)
            end = header.size();
        if (end - line > length && header[line + length] == ':' &&
            strncasecmp(header.c_str() + line, name, length) == 0) {
            value = header.substr(line + length + 1, end - line - length - 1);
            value.erase(0, value.find_first_not_of(" \t"));
            return true;
        }
        line = end + 1;
    }
    return false;
}

bool readHeader(const std::string& header, PluralRule& plural) {
    std::string type;
    if (!headerField(header, "Content-Type", type))
        return false;
    std::transform(type.begin(), type.end(), type.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (type.find("charset=utf-8") == std::string::npos)
        return false;
    std::string rule;
    if (!headerField(header, "Plural-Forms", rule))
        return readPluralRule("nplurals=2; plural=n != 1;", plural);
    return readPluralRule(rule, plural);
}

// An entry's translations: as many as the rule has forms for a text
// with a plural, one otherwise, each with the English text's conversions.
bool readTranslations(const std::string& english, const std::string& translated,
                      const PluralRule& plural, std::vector<std::string>& forms) {
    const std::vector<std::string> ids = splitAtNuls(english);
    forms = splitAtNuls(translated);
    if (ids.size() > 2 || forms.size() != (ids.size() == 2 ? plural.forms : 1) ||
        !isCleanUtf8(english, true) || !isCleanUtf8(translated, true))
        return false;
    std::string wanted;
    if (!formatConversions(ids.back(), wanted))
        return false;
    for (const std::string& form : forms) {
        std::string used;
        if (form.empty() || !formatConversions(form, used) || used != wanted ||
            !lengthIsSane(ids.back(), form))
            return false;
    }
    return true;
}

} // namespace

bool formatConversions(const std::string& format, std::string& conversions) {
    std::vector<std::string> used;
    int sequential = 0;
    bool positional = false;
    for (size_t at = format.find('%'); at != std::string::npos; at = format.find('%', at)) {
        ++at;
        if (at < format.size() && format[at] == '%') {
            ++at;
            continue;
        }
        int argument = 0;
        if (at + 2 < format.size() && format[at] >= '1' && format[at] <= '9' &&
            format[at + 1] == '$') {
            argument = format[at] - '0';
            positional = true;
            at += 2;
        } else {
            argument = ++sequential;
        }
        if (at >= format.size() || (format[at] != 'd' && format[at] != 's'))
            return false;
        used.push_back(std::to_string(argument) + format[at]);
        ++at;
    }
    // A format numbers all its arguments or none.
    if (positional && sequential > 0)
        return false;
    std::sort(used.begin(), used.end());
    conversions.clear();
    for (const std::string& one : used)
        conversions += one + " ";
    return true;
}

bool readCatalogue(const std::vector<unsigned char>& data, Catalogue& catalogue) {
    catalogue = Catalogue();
    if (data.size() < HEADER_BYTES || data.size() > MAX_CATALOGUE_BYTES)
        return false;
    Bytes bytes{data, false};
    if (bytes.word(0) == MAGIC_SWAPPED)
        bytes.swapped = true;
    else if (bytes.word(0) != MAGIC)
        return false;
    const std::uint32_t count = bytes.word(8);
    const std::uint32_t english = bytes.word(12);
    const std::uint32_t translated = bytes.word(16);
    if ((bytes.word(4) >> 16) != 0 || count > MAX_CATALOGUE_ENTRIES)
        return false;
    std::vector<std::pair<std::string, std::string>> entries(count);
    bool headerSeen = false;
    Catalogue read;
    for (std::uint32_t i = 0; i < count; ++i) {
        auto& [id, text] = entries[i];
        if (!bytes.string(english, i, id) || !bytes.string(translated, i, text))
            return false;
        if (id.empty()) {
            if (headerSeen || !readHeader(text, read.plural))
                return false;
            headerSeen = true;
        }
    }
    if (!headerSeen)
        return false;
    for (const auto& [id, text] : entries) {
        std::vector<std::string> forms;
        if (id.empty())
            continue;
        if (!readTranslations(id, text, read.plural, forms) ||
            !read.texts.emplace(id, forms).second)
            return false;
    }
    catalogue = read;
    return true;
}
