// The translator hook and its English stand-in.
#include <plat/Translator.h>

#include <plat/BuiltinTextTable.h>
#include <plat/configurationTexts.h>
#include <plat/keepLinked.h>

#include <atomic>
#include <string>

namespace plat {

PLAT_KEEP_LINKED(configurationTexts);

namespace {

// Looks keys up in the English column of the built-in tables.
class EnglishTranslator final : public Translator {
public:
    const char* translate(const char* key, const char*, int) override { return englishOf(key); }
    const char* translateFormat(const char* key, const char*, int) override {
        return englishOf(key);
    }
    const char* findTranslation(const char* key) override {
        return key ? BuiltinTextTable::english(key) : nullptr;
    }

    // The English texts use "%S" and "%%" only.
    DString formatText(const char* format, const char* text) override {
        std::string result;
        for (const char* at = format; *at; ++at) {
            if (at[0] == '%' && at[1] == 'S') {
                result += text;
                ++at;
            } else if (at[0] == '%' && at[1] == '%') {
                result += '%';
                ++at;
            } else {
                result += *at;
            }
        }
        return DString(result.c_str());
    }

private:
    static const char* englishOf(const char* key) {
        if (!key)
            return "";
        const char* text = BuiltinTextTable::english(key);
        return text ? text : key;
    }
};

EnglishTranslator english;
// Constant-initialised, so that translations during static construction find the stand-in.
constinit std::atomic<Translator*> installed{nullptr};

} // namespace

void installTranslator(Translator& translator) {
    installed.store(&translator);
}

Translator& translator() {
    Translator* current = installed.load();
    return current ? *current : english;
}

} // namespace plat
