// The process-wide state behind the display connection, shared by the sources of TXWindow.
// Internal to the toolkit.
#pragma once

#include <tx/TXWindow.h>

#include <plat/DString.h>
#include <plat/LogSrc.h>

#include <functional>
#include <map>
#include <vector>

namespace tx {

enum DefaultColour { Black, LightGrey, VeryLightGrey, DarkGrey, MidGrey, White, DefaultColours };

struct DisplayState {
    Window root = 0;
    Colormap colormap = 0;
    unsigned long pixels[DefaultColours] = {};
    GC gc = nullptr;
    XFontStruct* font = nullptr;
    int pointerButtons = 0;
    std::map<Window, TXWindow*> windows;
    // Most recent last.
    std::vector<TXWindow*> grabList;
    std::vector<TXWindow*> modalStack;
    std::vector<TXEventHandler*> globalHandlers;
    std::map<TXEventHandler*, long> rootHandlers;
    std::map<Atom, TXWindow*> selectionOwners;
    plat::DString defaultClass;
    plat::DString defaultClassSource;
    std::vector<long> defaultIcon;
    bool applicationFocus = false;
    Time cutBufferTime = 0;
    Window timeWindow = 0;
    std::function<void(const char*)> connectionLostHandler;
    bool connectionLost = false;
};

DisplayState& displayState();

// Nothing else may be done on the display after this: every call is a programming error.
Display* requireDisplay();

// The most recent window on the grab list that wants the grab and is mapped.
TXWindow* grabHolder(bool pointer);

extern plat::LogSrc windowLog;

} // namespace tx
