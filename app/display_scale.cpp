#include "app/display_scale.h"

#include <cstdlib>
#include <cstring>

namespace {

// A positive whole number, all of `text` (blanks around it aside); 0 for
// anything else.
long positiveNumber(const char* text, const char* end) {
    while (text < end && (*text == ' ' || *text == '\t'))
        ++text;
    while (end > text && (end[-1] == ' ' || end[-1] == '\t' || end[-1] == '\r'))
        --end;
    if (text == end || *text < '0' || *text > '9' || end - text > 6)
        return 0;
    long value = 0;
    for (const char* c = text; c < end; ++c) {
        if (*c < '0' || *c > '9')
            return 0;
        value = value * 10 + (*c - '0');
    }
    return value;
}

int scaleFromGdk(const char* gdkScale) {
    if (!gdkScale)
        return 0;
    const long value = positiveNumber(gdkScale, gdkScale + std::strlen(gdkScale));
    if (value <= 0)
        return 0;
    return value >= MAX_SCALE ? MAX_SCALE : 1;
}

// The resource string holds one "name:\tvalue" per line. Xft.dpi may be
// fractional ("192.5"); only its whole part matters here.
int scaleFromResources(const std::string& resources) {
    static const char NAME[] = "Xft.dpi:";
    size_t line = 0;
    while (line < resources.size()) {
        size_t end = resources.find('\n', line);
        if (end == std::string::npos)
            end = resources.size();
        if (resources.compare(line, sizeof NAME - 1, NAME) == 0) {
            const char* value = resources.c_str() + line + sizeof NAME - 1;
            const char* valueEnd = resources.c_str() + end;
            const char* point = static_cast<const char*>(std::memchr(value, '.', valueEnd - value));
            const long dpi = positiveNumber(value, point ? point : valueEnd);
            if (dpi > 0)
                return dpi >= 144 ? MAX_SCALE : 1;
            return 0;
        }
        line = end + 1;
    }
    return 0;
}

bool fits(int scale, const ScaleInputs& inputs) {
    if (inputs.workWidth <= 0 || inputs.workHeight <= 0)
        return true;
    return LAYOUT_WIDTH * scale <= inputs.workWidth && LAYOUT_HEIGHT * scale <= inputs.workHeight;
}

} // namespace

int chooseScale(const ScaleInputs& inputs) {
    int scale = inputs.option;
    if (scale == 0)
        scale = scaleFromGdk(inputs.gdkScale);
    if (scale == 0)
        scale = scaleFromResources(inputs.xResources);
    if (scale == 0)
        scale = 1;
    return fits(scale, inputs) ? scale : 1;
}
