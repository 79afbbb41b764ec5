// How plat's own texts (usage, help, argument errors, parameter descriptions) are translated.
// The translation service lives in a library above plat and installs itself here when a program
// links it; until then, and in programs without it, the English built-in texts are used.
#pragma once

#include <plat/DString.h>

namespace plat {

class Translator {
public:
    // The text for key, or the key itself after reporting it missing together with the caller's
    // file and line (when file is given). Texts stay valid until the process ends.
    virtual const char* translate(const char* key, const char* file, int line) = 0;
    // The text for key as a format of the formatting language of translated texts.
    virtual const char* translateFormat(const char* key, const char* file, int line) = 0;
    // The text for key, or null; reports nothing and leaves the text's use open.
    virtual const char* findTranslation(const char* key) = 0;
    // A format whose one conversion ("%S") takes text.
    virtual DString formatText(const char* format, const char* text) = 0;

protected:
    ~Translator() = default;
};

// The translator must live until the process ends.
void installTranslator(Translator& translator);
// The installed translator, or the English one.
Translator& translator();

} // namespace plat

// Pass the caller's file and line for the missing-text report.
#define PLAT_TR(key) ::plat::translator().translate(key, __FILE__, __LINE__)
#define PLAT_TRF(key) ::plat::translator().translateFormat(key, __FILE__, __LINE__)
