// An owned text that is set once and read many times (parameter values). Unlike DString it has
// no spare capacity; like DString it may hold no text at all (null), distinct from "".
#pragma once

#include <plat/fixedText.h>

#include <cstring>
#include <memory>

namespace plat {

class String {
public:
    String() = default;
    // Duplicates at most maxLen bytes of text (negative: all of it); null stays null.
    explicit String(const char* text, long maxLen = -1) : text(strDup(text, maxLen)) {}
    String(const String& other) : String(other.get()) {}
    String(String&& other) noexcept = default;
    String& operator=(const String& other) {
        if (this != &other)
            text.reset(strDup(other.get()));
        return *this;
    }
    String& operator=(String&& other) noexcept = default;

    // The text, or null when there is none.
    const char* get() const { return text.get(); }
    // The text, or "" when there is none.
    const char* c_str() const { return text ? text.get() : ""; }
    bool isNull() const { return !text; }

    void assign(const char* newText, long maxLen = -1) { text.reset(strDup(newText, maxLen)); }
    // Hands the array to the caller (release with delete[]); the String becomes null.
    char* release() { return text.release(); }

    // Equal texts, or both null.
    bool operator==(const String& other) const {
        if (!text || !other.text)
            return !text && !other.text;
        return std::strcmp(text.get(), other.text.get()) == 0;
    }

private:
    std::unique_ptr<char[]> text;
};

} // namespace plat
