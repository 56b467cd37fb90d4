#include "file_checks/font_check.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <expat.h>
#include <map>
#include <set>
#include <strings.h>
#include <tuple>

using namespace irr;

namespace {

const size_t MAX_ATTRIBUTE_CHARACTERS = 64;

// A character a caption may show, or a line's end or tab in the file.
bool isPrintable(unsigned c) {
    return (c >= 0x20 && c < 0x7f) || (c >= 0xa0 && c < 0xd800) || (c >= 0xe000 && c < 0xfffe);
}

bool isLayout(unsigned c) {
    return c == '\t' || c == '\n' || c == '\r';
}

// The two encodings the engine's reader and an XML parser read alike:
// plain ASCII, which the engine widens byte by byte, and UTF-16 in little
// endian after its byte order mark, which it widens unit by unit. Any
// other byte order mark, a NUL (where the engine stops), a unit of a
// surrogate pair (which the engine would not join) or a half unit at the
// end reads differently to the two.
bool isPlainAscii(const std::vector<unsigned char>& bytes) {
    for (unsigned char byte : bytes)
        if ((!isPrintable(byte) || byte >= 0x80) && !isLayout(byte))
            return false;
    return true;
}

bool isPlainUtf16(const std::vector<unsigned char>& bytes) {
    if (bytes.size() < 4 || bytes.size() % 2 != 0 || bytes[0] != 0xff || bytes[1] != 0xfe)
        return false;
    for (size_t at = 2; at < bytes.size(); at += 2) {
        const unsigned c = bytes[at] | static_cast<unsigned>(bytes[at + 1]) << 8;
        if (!isPrintable(c) && !isLayout(c))
            return false;
    }
    return true;
}

// The first pass, with expat: well-formed XML, nothing left open, and
// only constructs the engine's reader finds the end of. That reader
// scans for the closing '>' of each construct without looking for the
// end of its buffer, counts '<' and '>' to find a comment's end, and
// unescapes entities in quadratic time.
struct StrictParse {
    XML_Parser parser;
    int depth = 0;
    bool refused = false;
};

void refuse(void* data) {
    StrictParse* parse = static_cast<StrictParse*>(data);
    parse->refused = true;
    XML_StopParser(parse->parser, XML_FALSE);
}

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    StrictParse* parse = static_cast<StrictParse*>(data);
    ++parse->depth;
    const bool placed =
        parse->depth == 1 ? std::strcmp(name, "font") == 0
                          : parse->depth == 2 &&
                                (std::strcmp(name, "Texture") == 0 || std::strcmp(name, "c") == 0);
    bool shortValues = true;
    for (int i = 0; attributes[i]; i += 2)
        shortValues = shortValues && std::strlen(attributes[i + 1]) <= MAX_ATTRIBUTE_CHARACTERS;
    if (!placed || !shortValues)
        refuse(data);
}

void XMLCALL onEnd(void* data, const XML_Char*) {
    --static_cast<StrictParse*>(data)->depth;
}

void XMLCALL onText(void* data, const XML_Char* text, int length) {
    for (int i = 0; i < length; ++i)
        if (!std::strchr(" \t\r\n", text[i]))
            return refuse(data);
}

void XMLCALL onComment(void* data, const XML_Char* text) {
    if (std::strpbrk(text, "<>"))
        refuse(data);
}

void XMLCALL onInstruction(void* data, const XML_Char*, const XML_Char*) {
    refuse(data);
}

void XMLCALL onDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    refuse(data);
}

void XMLCALL onCdata(void* data) {
    refuse(data);
}

bool parsesStrictly(const std::vector<unsigned char>& bytes) {
    const bool ascii = isPlainAscii(bytes);
    if (bytes.empty() || bytes.size() > MAX_FONT_DESCRIPTION_BYTES ||
        !(ascii || isPlainUtf16(bytes)))
        return false;
    StrictParse parse;
    parse.parser = XML_ParserCreate(ascii ? "US-ASCII" : "UTF-16LE");
    if (!parse.parser)
        return false;
    XML_SetUserData(parse.parser, &parse);
    XML_SetElementHandler(parse.parser, onStart, onEnd);
    XML_SetCharacterDataHandler(parse.parser, onText);
    XML_SetCommentHandler(parse.parser, onComment);
    XML_SetProcessingInstructionHandler(parse.parser, onInstruction);
    XML_SetStartDoctypeDeclHandler(parse.parser, onDoctype);
    XML_SetStartCdataSectionHandler(parse.parser, onCdata);
    const bool parsed = XML_Parse(parse.parser, reinterpret_cast<const char*>(bytes.data()),
                                  static_cast<int>(bytes.size()), XML_TRUE) == XML_STATUS_OK;
    XML_ParserFree(parse.parser);
    return parsed && !parse.refused;
}

bool attributeIs(const io::IXMLReader* xml, const wchar_t* name, const wchar_t* value) {
    const wchar_t* actual = xml->getAttributeValue(name);
    return actual && std::wcscmp(actual, value) == 0;
}

// A bare file name, so the texture the game adds under it is the one the
// engine's loader asks its cache for. '@' is no path character to the
// engine, and the pictures drawn at twice the size carry it ("f0@2x.png").
bool isBareName(const wchar_t* name, std::string& narrow) {
    if (!name || !*name || std::wcslen(name) > MAX_ATTRIBUTE_CHARACTERS)
        return false;
    for (narrow.clear(); *name; ++name) {
        const wchar_t c = *name;
        if (!((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
              c == L'.' || c == L'_' || c == L'-' || c == L'@'))
            return false;
        narrow += static_cast<char>(c);
    }
    return true;
}

// The engine reads digit runs separated by any spaces and commas and
// ignores whatever follows the fourth; only that exact form, with no
// run longer than four digits, reads the same four numbers everywhere.
bool readRectangle(const wchar_t* text, unsigned (&edges)[4]) {
    if (!text)
        return false;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (*text != L',' && *text != L' ')
                return false;
            while (*text == L',' || *text == L' ')
                ++text;
        }
        unsigned value = 0;
        int digits = 0;
        for (; *text >= L'0' && *text <= L'9'; ++text, ++digits)
            value = value * 10 + static_cast<unsigned>(*text - L'0');
        if (digits == 0 || digits > 4)
            return false;
        edges[i] = value;
    }
    return *text == 0;
}

// One glyph as the engine will draw it: its rectangle in the picture, and
// the pixels added before (`u`) and after (`o`) it.
struct Glyph {
    unsigned edges[4];
    int before;
    int after;
};

bool readGlyph(const io::IXMLReader* xml, std::map<wchar_t, Glyph>& glyphs) {
    const wchar_t* character = xml->getAttributeValue(L"c");
    Glyph glyph;
    if (!character || std::wcslen(character) != 1 ||
        !isPrintable(static_cast<unsigned>(character[0])) || glyphs.count(character[0]) ||
        xml->getAttributeValueAsInt(L"i") != 0 ||
        !readRectangle(xml->getAttributeValue(L"r"), glyph.edges))
        return false;
    glyph.before = xml->getAttributeValueAsInt(L"u");
    glyph.after = xml->getAttributeValueAsInt(L"o");
    for (int offset : {glyph.before, glyph.after})
        if (offset < -MAX_GLYPH_OFFSET || offset > MAX_GLYPH_OFFSET)
            return false;
    glyphs[character[0]] = glyph;
    return true;
}

// The engine's alpha handling is the game's to choose: its atlas has
// alpha, and "false" would make the engine colour-key every pixel the
// shade of the picture's corner, transparent white, away.
bool textureIsSound(const io::IXMLReader* xml, FontDescription& font) {
    const wchar_t* alpha = xml->getAttributeValue(L"hasAlpha");
    const std::string& name = font.textureName;
    return xml->getAttributeValueAsInt(L"index") == 0 &&
           isBareName(xml->getAttributeValue(L"filename"), font.textureName) &&
           (!alpha || std::wcscmp(alpha, L"true") == 0) && name.size() > 4 &&
           strcasecmp(name.c_str() + name.size() - 4, ".png") == 0;
}

// Every caption stays readable: each glyph has pixels, no two characters
// share a picture (one rectangle for every letter reads "3444444"), the
// pixels added around a glyph stay within half a line, each character
// moves the pen on by at least a pixel and at most two lines' height,
// and the line is as tall as the layout holds.
bool glyphsAreReadable(const std::map<wchar_t, Glyph>& glyphs, const FontNeeds& needs,
                       FontDescription& font) {
    std::set<std::tuple<unsigned, unsigned, unsigned, unsigned>> rectangles;
    for (const auto& [character, glyph] : glyphs) {
        const unsigned* e = glyph.edges;
        if (e[0] >= e[2] || e[1] >= e[3] || !rectangles.insert({e[0], e[1], e[2], e[3]}).second)
            return false;
        font.right = e[2] > font.right ? e[2] : font.right;
        font.bottom = e[3] > font.bottom ? e[3] : font.bottom;
        font.lineHeight = e[3] - e[1] > font.lineHeight ? e[3] - e[1] : font.lineHeight;
    }
    if (font.lineHeight < needs.minLineHeight || font.lineHeight > needs.maxLineHeight)
        return false;
    const int line = static_cast<int>(font.lineHeight);
    for (const auto& [character, glyph] : glyphs) {
        const int advance =
            static_cast<int>(glyph.edges[2] - glyph.edges[0]) + glyph.before + glyph.after;
        if (2 * std::abs(glyph.before) > line || 2 * std::abs(glyph.after) > line || advance < 1 ||
            advance > 2 * line)
            return false;
    }
    return true;
}

// The second pass reads with the engine's own XML reader, exactly as its
// font loader will, so both see the same elements and attribute values.
bool readAsTheEngine(io::IXMLReader* xml, const FontNeeds& needs, FontDescription& font) {
    bool rootSeen = false;
    int textures = 0;
    std::map<wchar_t, Glyph> glyphs;
    while (xml->read()) {
        if (xml->getNodeType() != io::EXN_ELEMENT)
            continue;
        const wchar_t* name = xml->getNodeName();
        if (!rootSeen) {
            // Anything but a bitmap font makes the engine read the file
            // again as a picture.
            if (std::wcscmp(name, L"font") != 0 || !attributeIs(xml, L"type", L"bitmap"))
                return false;
            rootSeen = true;
        } else if (std::wcscmp(name, L"Texture") == 0) {
            if (++textures > 1 || !textureIsSound(xml, font))
                return false;
        } else if (std::wcscmp(name, L"c") != 0 || !readGlyph(xml, glyphs)) {
            return false;
        }
    }
    for (wchar_t c : needs.characters)
        if (!glyphs.count(c))
            return false;
    return textures == 1 && glyphsAreReadable(glyphs, needs, font);
}

} // namespace

bool checkFontDescription(io::IFileSystem* files, const std::vector<unsigned char>& bytes,
                          const FontNeeds& needs, FontDescription& font) {
    if (!parsesStrictly(bytes))
        return false;
    io::IReadFile* file =
        files->createMemoryReadFile(const_cast<unsigned char*>(bytes.data()),
                                    static_cast<s32>(bytes.size()), "font description", false);
    io::IXMLReader* xml = files->createXMLReader(file);
    file->drop();
    if (!xml)
        return false;
    font = FontDescription();
    const bool sound = readAsTheEngine(xml, needs, font);
    xml->drop();
    return sound;
}
