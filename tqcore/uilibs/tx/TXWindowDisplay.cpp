// Opening the display: the connection with its retry, the colormap and the six default colours,
// the default GC and font, the cut-buffer watcher, the error handlers, and the native pixel format.
#include <tx/TXWindow.h>

#include <tx/ErrorCatcher.h>
#include <tx/TXUtil.h>
#include <tx/XErrorException.h>
#include <tx/displayState.h>

#include <plat/BoolParameter.h>
#include <plat/Exception.h>
#include <plat/IntParameter.h>
#include <plat/utf8.h>

#include <X11/Xatom.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace tx {

Display* TXWindow::connection = nullptr;

plat::LogSrc windowLog("TXWindow");

namespace {

plat::BoolParameter ownColormap("owncmap",
                                "Use a private colormap rather than the default one, to prevent "
                                "other applications of being starved of colors.",
                                false);
plat::BoolParameter synchronise("xsync", "Enable X synchronization for debugging", false);
plat::IntParameter decorationWidth("WMDecorationWidth",
                                   "Width of window manager decoration around a window", 6, false,
                                   nullptr, 0, INT_MAX);
plat::IntParameter decorationHeight("WMDecorationHeight",
                                    "Height of window manager decoration around a window", 24,
                                    false, nullptr, 0, INT_MAX);

constexpr unsigned short DefaultColourLevels[DefaultColours] = {0x0000, 0xBBBB, 0xEEEE,
                                                                0x5555, 0x8888, 0xFFFF};
constexpr const char* PreferredFont = "-*-helvetica-medium-r-*-*-12-*-*-*-*-*-*-*";
constexpr const char* FallbackFont = "fixed";
constexpr int MaxPointerButtons = 8;

// Records when cut buffer 0 changes, for whoever needs to compare it with selection times.
class CutBufferEventHandler : public TXEventHandler {
public:
    bool handleEvent(XEvent& event) override {
        if (event.type == PropertyNotify && event.xproperty.atom == XA_CUT_BUFFER0)
            displayState().cutBufferTime = event.xproperty.time;
        return false;
    }
};

CutBufferEventHandler cutBufferHandler;

std::int64_t colourDistance(const XColor& a, const XColor& b) {
    auto square = [](int difference) {
        std::int64_t half = difference / 2;
        return half * half;
    };
    return square(int(a.red) - int(b.red)) + square(int(a.green) - int(b.green)) +
           square(int(a.blue) - int(b.blue));
}

// With the colormap full, each failed colour shares the nearest cell that can be taken
// read-only; cells taken but not chosen are given back.
void shareNearestCells(Display* display, Colormap colormap, Visual* visual, const XColor* wanted,
                       const bool* allocated, unsigned long* pixels) {
    int cellCount = visual->map_entries;
    std::vector<XColor> cells(std::size_t(std::max(cellCount, 0)));
    for (int i = 0; i < cellCount; i++)
        cells[std::size_t(i)].pixel = std::size_t(i);
    XQueryColors(display, colormap, cells.data(), cellCount);
    std::vector<bool> taken(cells.size()), used(cells.size());
    for (std::size_t i = 0; i < cells.size(); i++) {
        XColor shared = cells[i];
        if (!XAllocColor(display, colormap, &shared))
            continue;
        if (shared.pixel == i)
            taken[i] = true;
        else
            XFreeColors(display, colormap, &shared.pixel, 1, 0);
    }
    for (int c = 0; c < DefaultColours; c++) {
        if (allocated[c])
            continue;
        std::size_t best = 0;
        bool found = false;
        for (std::size_t i = 0; i < cells.size(); i++) {
            if (taken[i] && (!found || colourDistance(cells[i], wanted[c]) <
                                           colourDistance(cells[best], wanted[c]))) {
                best = i;
                found = true;
            }
        }
        pixels[c] = best;
        if (found)
            used[best] = true;
    }
    for (std::size_t i = 0; i < cells.size(); i++) {
        if (taken[i] && !used[i]) {
            unsigned long pixel = i;
            XFreeColors(display, colormap, &pixel, 1, 0);
        }
    }
}

void allocateDefaultColours(Display* display, Colormap colormap, Visual* visual,
                            unsigned long* pixels) {
    XColor wanted[DefaultColours];
    bool allocated[DefaultColours];
    bool allFound = true;
    for (int c = 0; c < DefaultColours; c++) {
        wanted[c] = {};
        wanted[c].red = wanted[c].green = wanted[c].blue = DefaultColourLevels[c];
        wanted[c].flags = DoRed | DoGreen | DoBlue;
        XColor colour = wanted[c];
        allocated[c] = XAllocColor(display, colormap, &colour) != 0;
        pixels[c] = allocated[c] ? colour.pixel : 0;
        allFound = allFound && allocated[c];
    }
    if (!allFound)
        shareNearestCells(display, colormap, visual, wanted, allocated, pixels);
}

XFontStruct* loadDefaultFont(Display* display) {
    XFontStruct* font = XLoadQueryFont(display, PreferredFont);
    if (!font)
        font = XLoadQueryFont(display, FallbackFont);
    if (!font)
        throw plat::Exception("Failed to load any font");
    return font;
}

int readPointerButtonCount(Display* display) {
    unsigned char map[MaxPointerButtons];
    return std::clamp(XGetPointerMapping(display, map, MaxPointerButtons), 0, MaxPointerButtons);
}

// Outside every ErrorCatcher an X error is logged and otherwise ignored: Xlib's own handler
// would end the process, losing whatever the program meant to report.
int logUncaughtError(Display*, XErrorEvent* error) {
    XErrorException failure("X Error", error->error_code);
    windowLog.error("%s, request %d.%d, resource 0x%lx", failure.message(), error->request_code,
                    error->minor_code, error->resourceid);
    return 0;
}

// Xlib exits when this returns, so it does not: the report is made and the process ends here,
// without another request on the dead connection.
int reportLostConnection(Display* display) {
    int cause = errno;
    displayState().connectionLost = true;
    char line[512];
    std::snprintf(line, sizeof line, "X connection to \"%s\" lost%s%s", DisplayString(display),
                  cause ? ": " : "", cause ? std::strerror(cause) : "");
    auto& handler = displayState().connectionLostHandler;
    if (handler) {
        handler(line);
    } else {
        windowLog.error("%s", line);
        std::fprintf(stderr, "%s\n", line);
    }
    std::exit(1);
}

Display* openConnection(const char* displayName) {
    if (displayName && *displayName)
        setenv("DISPLAY", displayName, 1);
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        // Some Xauthority files name the local host "localhost" rather than its host name.
        setenv("XAUTHLOCALHOSTNAME", "localhost", 1);
        display = XOpenDisplay(nullptr);
    }
    if (!display) {
        plat::DString name = plat::sanitiseUtf8(XDisplayName(nullptr));
        throw plat::ExceptionFmt("unable to open display \"%s\"", name.c_str());
    }
    return display;
}

} // namespace

DisplayState& displayState() {
    static DisplayState* state = new DisplayState;
    return *state;
}

Display* requireDisplay() {
    PLAT_ASSERT(TXWindow::display());
    return TXWindow::display();
}

void TXWindow::init(const char* displayName) {
    if (connection)
        return;
    Display* display = openConnection(displayName);
    DisplayState& state = displayState();
    XSetErrorHandler(logUncaughtError);
    XSetIOErrorHandler(reportLostConnection);
    connection = display;
    try {
        if (synchronise.getValue())
            XSynchronize(display, True);
        int screen = DefaultScreen(display);
        state.root = RootWindow(display, screen);
        state.colormap = DefaultColormap(display, screen);
        Visual* visual = DefaultVisual(display, screen);
        if (ownColormap.getValue())
            state.colormap = XCreateColormap(display, state.root, visual, AllocNone);
        allocateDefaultColours(display, state.colormap, visual, state.pixels);
        state.font = loadDefaultFont(display);
        state.gc = XCreateGC(display, state.root, 0, nullptr);
        XSetForeground(display, state.gc, state.pixels[Black]);
        XSetBackground(display, state.gc, state.pixels[LightGrey]);
        XSetFont(display, state.gc, state.font->fid);
        state.pointerButtons = readPointerButtonCount(display);
    } catch (...) {
        connection = nullptr;
        XCloseDisplay(display);
        throw;
    }
    addRootEventHandler(&cutBufferHandler, true, PropertyChangeMask);
}

void TXWindow::setConnectionLostHandler(std::function<void(const char*)> handler) {
    displayState().connectionLostHandler = std::move(handler);
}

bool TXWindow::connectionLost() {
    return displayState().connectionLost;
}

Window TXWindow::root() {
    return displayState().root;
}

Colormap TXWindow::colormap() {
    return displayState().colormap;
}

GC TXWindow::defaultGC() {
    return displayState().gc;
}

XFontStruct* TXWindow::defaultFont() {
    return displayState().font;
}

unsigned long TXWindow::blackPixel() {
    return displayState().pixels[Black];
}

unsigned long TXWindow::lightGreyPixel() {
    return displayState().pixels[LightGrey];
}

unsigned long TXWindow::veryLightGreyPixel() {
    return displayState().pixels[VeryLightGrey];
}

unsigned long TXWindow::darkGreyPixel() {
    return displayState().pixels[DarkGrey];
}

unsigned long TXWindow::midGreyPixel() {
    return displayState().pixels[MidGrey];
}

unsigned long TXWindow::whitePixel() {
    return displayState().pixels[White];
}

int TXWindow::pointerButtonCount() {
    return displayState().pointerButtons;
}

bool TXWindow::applicationHasFocus() {
    return displayState().applicationFocus;
}

Time TXWindow::lastCutBufferChange() {
    return displayState().cutBufferTime;
}

void TXWindow::setDefaultIcon(std::vector<long> items) {
    displayState().defaultIcon = std::move(items);
}

const std::vector<long>& TXWindow::defaultIcon() {
    return displayState().defaultIcon;
}

rfb::Point TXWindow::getDecorationSize() {
    return {decorationWidth.getValue(), decorationHeight.getValue()};
}

rfb::PixelFormat TXWindow::getNativePixelFormat(Visual* visual, int depth) {
    Display* display = requireDisplay();
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    int bitsPerPixel = 0;
    for (int i = 0; i < count; i++) {
        if (formats[i].depth == depth) {
            bitsPerPixel = formats[i].bits_per_pixel;
            break;
        }
    }
    if (formats)
        XFree(formats);
    if (bitsPerPixel < 1 || bitsPerPixel > 32 || bitsPerPixel % 8 != 0)
        throw plat::Exception("Error: couldn't find suitable pixmap format");

    bool bigEndian = ImageByteOrder(display) == MSBFirst;
    bool trueColour = visual->c_class == TrueColor || visual->c_class == DirectColor;
    if (!trueColour) {
        if (depth != 8 || bitsPerPixel != 8)
            throw plat::ExceptionFmt("Unsupported palettized visual depth %d", depth);
        return rfb::PixelFormat(8, 8, bigEndian, false, 0, 0, 0, 0, 0, 0);
    }
    auto shiftOf = [](unsigned long mask) { return mask ? __builtin_ctzl(mask) : 0xFF; };
    auto maxOf = [](unsigned long mask, int shift) { return int(shift < 64 ? mask >> shift : 0); };
    int redShift = shiftOf(visual->red_mask);
    int greenShift = shiftOf(visual->green_mask);
    int blueShift = shiftOf(visual->blue_mask);
    return rfb::PixelFormat(bitsPerPixel, depth, bigEndian, true, maxOf(visual->red_mask, redShift),
                            maxOf(visual->green_mask, greenShift),
                            maxOf(visual->blue_mask, blueShift), redShift, greenShift, blueShift);
}

} // namespace tx
