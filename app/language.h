// The player's language, chosen once as the game starts: --language's
// value, or else what the environment says as every gettext program
// reads it (platform/translation.h). Catalogues are looked for beside the
// program (locale/, in the build tree) and where an install puts them.
#pragma once

// `option` is --language's value, or null.
void chooseLanguage(const char* option);
