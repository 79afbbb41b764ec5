// One function looked up at run time in the first of several optional shared libraries that has
// it; the library stays loaded while the object lives.
#pragma once

#include <plat/DString.h>
#include <plat/NonCopyable.h>

#include <string>
#include <vector>

namespace plat {

class DynamicFn : NonCopyable {
public:
    // libraries is a comma-separated list. Unless plainNames, an element is a name, optionally
    // followed by versions in brackets ("z[1],X11[6,5]"): a name without "/" is tried as
    // "lib<name>.so.<version>" for each version in order, or "lib<name>.so" without versions;
    // a name with "/" is opened as given. With plainNames every element is a file name. symbols
    // is a comma-separated list of alternative names, tried in order in each library. A list with
    // unbalanced brackets is logged as an error and tried not at all.
    DynamicFn(const char* libraries, const char* symbols, bool plainNames = false);
    ~DynamicFn();

    // The function, or null when no candidate has one of the symbols.
    void* get() const { return function; }
    template <typename Function>
    Function as() const {
        return reinterpret_cast<Function>(function);
    }
    // The file the function was found in; null when none.
    const char* libraryFile() const { return file.get(); }

    // The files that the library list names, in the order they are tried; false for a list with
    // unbalanced brackets.
    static bool candidateFiles(const char* libraries, bool plainNames,
                               std::vector<std::string>& files);

private:
    bool tryLibrary(const std::string& candidate, const char* symbols);

    void* library = nullptr;
    void* function = nullptr;
    DString file;
};

} // namespace plat
