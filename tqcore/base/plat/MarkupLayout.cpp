// Line breaking of markup runs: whole segments when they fit, else the last word boundary that
// fits, else a new line, and a character boundary only for a word wider than a whole line.
#include <plat/MarkupLayout.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace plat {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isSkippedAtContinuation(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// A place where a line may break: the text before it ends at fragmentEnd (blanks excluded), the
// next line resumes at resume. Blanks that end a segment are one too, so that they never push a
// word that fits onto the next line.
struct BreakPoint {
    const char* fragmentEnd;
    const char* resume;
};

std::vector<BreakPoint> breakPoints(const char* start, const char* end) {
    std::vector<BreakPoint> points;
    const char* p = start;
    while (p < end) {
        if (!isBlank(*p)) {
            ++p;
            continue;
        }
        const char* blanks = p;
        while (p < end && isBlank(*p))
            ++p;
        points.push_back({blanks, p});
    }
    return points;
}

int toPixels(double units, double scale) {
    double pixels = std::round(units * scale);
    if (!(pixels > 0))
        return 0;
    return pixels > Markup::Layout::UnlimitedWidth ? Markup::Layout::UnlimitedWidth : int(pixels);
}

} // namespace

Markup::Layout::Layout(Callback& callback, int width)
    : callback(callback), width(std::clamp(width, 0, UnlimitedWidth)) {}

int Markup::Layout::height() const {
    if (lineList.empty())
        return 0;
    return lineList.back().top + lineList.back().height;
}

void Markup::Layout::startParagraph(int paragraphAlignment, double paddingLeft,
                                    double paddingRight) {
    double scale = callback.scale();
    alignment = paragraphAlignment;
    left = std::min(toPixels(paddingLeft, scale), width);
    available = std::max(width - left - toPixels(paddingRight, scale), 0);
    int top = 0;
    if (!lineList.empty())
        top = height() + callback.paragraphSpacing();
    paragraphFirstLine = int(lineList.size());
    beginLine(top, false);
}

void Markup::Layout::endParagraph(bool) {
    // A line that a final line feed or wrap opened and nothing reached does not count.
    if (int(lineList.size()) - 1 > paragraphFirstLine && !lineHasText && currentLine().height == 0)
        lineList.pop_back();
}

void Markup::Layout::text(const Style& style, const char* text) {
    placeRun(style, text, nullptr);
}

// A link without text shows its target, as the stripped text does; otherwise it could not be
// seen or clicked.
void Markup::Layout::link(const Style& style, const char* href, const char* text) {
    placeRun(style, text && *text ? text : href, href);
}

void Markup::Layout::placeRun(const Style& style, const char* text, const char* href) {
    if (lineList.empty())
        startParagraph(AlignLeft, 0, 0);
    callback.setStyle(style);
    int runHeight = callback.lineHeight();
    const char* p = text ? text : "";
    const char* end = p + std::strlen(p);
    while (p < end) {
        if (continuedLine) {
            while (p < end && isSkippedAtContinuation(*p))
                ++p;
            if (p == end)
                break;
        }
        if (*p == '\n') {
            currentLine().height = std::max(currentLine().height, runHeight);
            beginLine(currentLine().top + currentLine().height, false);
            ++p;
            continue;
        }
        const char* lineFeed = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
        p = placeSegment(p, lineFeed ? lineFeed : end, runHeight, href);
    }
}

// Places what fits of [start, end), which holds no line feed, and returns where to go on.
const char* Markup::Layout::placeSegment(const char* start, const char* end, int runHeight,
                                         const char* href) {
    int room = available - currentLine().used;
    int whole = measure(start, end);
    if (whole <= room) {
        emit(start, int(end - start), whole, runHeight, href);
        return end;
    }
    // Widths only grow with the text, so the last break point that fits is found by bisection.
    std::vector<BreakPoint> points = breakPoints(start, end);
    auto fits = std::partition_point(points.begin(), points.end(), [&](const BreakPoint& point) {
        return measure(start, point.fragmentEnd) <= room;
    });
    if (fits != points.begin()) {
        const BreakPoint& point = *(fits - 1);
        if (point.fragmentEnd > start)
            emit(start, int(point.fragmentEnd - start), measure(start, point.fragmentEnd),
                 runHeight, href);
        if (point.fragmentEnd > start || lineHasText) {
            wrap();
            return point.resume;
        }
    }
    if (lineHasText) {
        wrap();
        return start;
    }
    return placeLongWord(start, end, runHeight, href);
}

// On an empty line: as many characters as fit, at least one so that the text always advances.
const char* Markup::Layout::placeLongWord(const char* start, const char* end, int runHeight,
                                          const char* href) {
    std::vector<const char*> boundaries;
    for (const char* p = start + 1; p <= end; ++p) {
        if (p == end || !isContinuationByte(*p))
            boundaries.push_back(p);
    }
    int room = available - currentLine().used;
    auto fits = std::partition_point(boundaries.begin() + 1, boundaries.end(),
                                     [&](const char* p) { return measure(start, p) <= room; });
    const char* cut = *(fits - 1);
    emit(start, int(cut - start), measure(start, cut), runHeight, href);
    wrap();
    return cut;
}

void Markup::Layout::emit(const char* start, int length, int fragmentWidth, int runHeight,
                          const char* href) {
    Line& line = currentLine();
    Fragment fragment{start,     length,        line.left + line.used,
                      line.top,  fragmentWidth, int(lineList.size()) - 1,
                      alignment, href};
    callback.addFragment(fragment);
    line.used = std::min(line.used + std::max(fragmentWidth, 0), UnlimitedWidth);
    line.height = std::max(line.height, runHeight);
    lineHasText = true;
    continuedLine = false;
}

void Markup::Layout::beginLine(int top, bool continued) {
    lineList.push_back(Line{top, 0, left, available, 0, alignment});
    lineHasText = false;
    continuedLine = continued;
}

void Markup::Layout::wrap() {
    beginLine(currentLine().top + currentLine().height, true);
}

int Markup::Layout::measure(const char* start, const char* end) {
    return callback.textWidth(start, int(end - start));
}

} // namespace plat
