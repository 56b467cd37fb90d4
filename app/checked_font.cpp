#include "app/checked_font.h"

#include "app/textures.h"
#include "ui/game_state.h"

using namespace irr;

namespace {

// Holds one checked file in memory, where the engine finds it by name
// ahead of every other archive and of the working directory.
class CheckedFileArchive : public io::IFileArchive {
  public:
    CheckedFileArchive(const io::path& name, const std::vector<unsigned char>& bytes)
        : files(gameState.device->getFileSystem()),
          list(files->createEmptyFileList("", true, true)), bytes(bytes) {
        list->addItem(name, 0, static_cast<u32>(bytes.size()), false, 0);
        list->sort();
    }
    ~CheckedFileArchive() override { list->drop(); }

    io::IReadFile* createAndOpenFile(const io::path& name) override {
        const s32 index = list->findFile(name);
        return index < 0 ? nullptr : createAndOpenFile(static_cast<u32>(index));
    }
    io::IReadFile* createAndOpenFile(u32 index) override {
        if (index != 0)
            return nullptr;
        return files->createMemoryReadFile(const_cast<unsigned char*>(bytes.data()),
                                           static_cast<s32>(bytes.size()), list->getFullFileName(0),
                                           false);
    }
    const io::IFileList* getFileList() const override { return list; }

  private:
    io::IFileSystem* files;
    io::IFileList* list;
    const std::vector<unsigned char>& bytes;
};

std::string narrow(const wchar_t* text) {
    std::string narrowed;
    for (; text && *text; ++text)
        narrowed += static_cast<char>(*text);
    return narrowed;
}

std::string twice(int value) {
    return std::to_string(2 * value);
}

} // namespace

gui::IGUIFont* makeFont(const std::string& name, const std::vector<unsigned char>& description,
                        const std::string& pictureName, video::IImage* picture) {
    video::ITexture* texture = addPictureTexture(pictureName.c_str(), picture);
    picture->drop();
    if (!texture)
        return nullptr;
    io::IFileSystem* files = gameState.device->getFileSystem();
    CheckedFileArchive* memory = new CheckedFileArchive(name.c_str(), description);
    files->addFileArchive(memory);
    const u32 last = files->getFileArchiveCount() - 1;
    files->moveFileArchive(last, -static_cast<s32>(last));
    gui::IGUIFont* font = gameState.guiEnvironment->getFont(name.c_str());
    files->removeFileArchive(memory);
    if (!font)
        gameState.videoDriver->removeTexture(texture);
    return font;
}

std::vector<unsigned char> twiceSizeDescription(const std::vector<unsigned char>& bytes) {
    io::IFileSystem* files = gameState.device->getFileSystem();
    io::IReadFile* file =
        files->createMemoryReadFile(const_cast<unsigned char*>(bytes.data()),
                                    static_cast<s32>(bytes.size()), "font description", false);
    io::IXMLReader* xml = files->createXMLReader(file);
    file->drop();
    std::string out = "<?xml version=\"1.0\"?>\n<font type=\"bitmap\">\n";
    std::wstring wide;
    while (xml && xml->read()) {
        if (xml->getNodeType() != io::EXN_ELEMENT)
            continue;
        const std::wstring element = xml->getNodeName();
        if (element == L"Texture") {
            out += "<Texture index=\"0\" filename=\"" +
                   narrow(xml->getAttributeValue(L"filename")) + "\" hasAlpha=\"true\" />\n";
        } else if (element == L"c") {
            std::string character;
            const wchar_t c = xml->getAttributeValue(L"c")[0];
            character = c == L'&'    ? "&amp;"
                        : c == L'<'  ? "&lt;"
                        : c == L'>'  ? "&gt;"
                        : c == L'"'  ? "&quot;"
                        : c == L'\'' ? "&apos;"
                                     : std::string(1, static_cast<char>(c & 0x7f));
            // Beyond ASCII, a placeholder byte marks where the character goes
            // once the description is written in UTF-16.
            if (c >= 0x80) {
                character = "\x01";
                wide.push_back(c);
            }
            // Digit runs apart, as the check accepted them.
            std::string rectangle;
            int value = -1;
            for (const wchar_t* r = xml->getAttributeValue(L"r");; ++r) {
                if (*r >= L'0' && *r <= L'9') {
                    value = (value < 0 ? 0 : value * 10) + (*r - L'0');
                } else if (value >= 0) {
                    rectangle += (rectangle.empty() ? "" : ",") + twice(value);
                    value = -1;
                }
                if (!*r)
                    break;
            }
            out += "<c c=\"" + character + "\" r=\"" + rectangle + "\" u=\"" +
                   twice(xml->getAttributeValueAsInt(L"u")) + "\" o=\"" +
                   twice(xml->getAttributeValueAsInt(L"o")) + "\" i=\"0\" />\n";
        }
    }
    if (xml)
        xml->drop();
    out += "</font>\n";
    if (wide.empty())
        return std::vector<unsigned char>(out.begin(), out.end());
    // The engine's reader takes characters beyond ASCII in UTF-16 only.
    std::vector<unsigned char> utf16 = {0xff, 0xfe};
    size_t next = 0;
    for (char byte : out) {
        const wchar_t c = byte == '\x01' ? wide[next++] : static_cast<wchar_t>(byte);
        utf16.push_back(static_cast<unsigned char>(c & 0xff));
        utf16.push_back(static_cast<unsigned char>((c >> 8) & 0xff));
    }
    return utf16;
}
