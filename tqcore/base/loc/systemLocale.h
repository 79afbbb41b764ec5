// The C library's side of the locale choice: the messages locale that the environment names,
// the process locale chosen from the user's list, and locale objects for single threads.
#pragma once

#include <plat/NonCopyable.h>

#include <locale.h>
#include <string>
#include <vector>

namespace loc {

// The messages locale named by LC_ALL, LC_MESSAGES or LANG, read once per process without
// changing the process's locale; null when the C library cannot provide it.
const char* systemMessagesLocale();

// The process-wide C library locale. Not thread-safe: callers hold the translation mutex, and
// other threads must not rely on the process locale while it changes.
class ProcessLocale : plat::NonCopyable {
public:
    // Makes the first of the locales that the system provides the process's locale (each name is
    // tried with the ".UTF-8" codeset first, as systems often provide only that form); a name it
    // cannot provide is logged, and "C" is used when none can. A list equal to the previous one
    // changes nothing.
    void choose(const std::vector<std::string>& locales);
    // Returns to the locale the process had before the first choice.
    void restore();

private:
    std::vector<std::string> chosenFrom;
    std::string original;
    bool changed = false;
};

// A locale for the calling thread only (uselocale), chosen as ProcessLocale::choose chooses;
// the thread's previous locale returns when it ends, which must happen on the same thread.
class ThreadLocale : plat::NonCopyable {
public:
    explicit ThreadLocale(const std::vector<std::string>& locales);
    ~ThreadLocale();

private:
    locale_t locale;
    locale_t previous;
};

} // namespace loc
