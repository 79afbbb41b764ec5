// Breaking parsed markup into lines of a given width. The user interface measures and draws
// through a callback; the layout decides where lines break and where each piece of text goes.
#pragma once

#include <plat/MarkupHandler.h>

#include <vector>

namespace plat {

class Markup::Layout : public Markup::Handler {
public:
    class Callback;

    // A width for text that is not wrapped; large, yet far from overflowing when added to.
    static constexpr int UnlimitedWidth = 1 << 28;

    // A piece of a run that lies on one line. text points into the run's text, which is only
    // valid during the callback.
    struct Fragment {
        const char* text;
        int length;
        // Pixels from the layout's left edge and top.
        int x;
        int y;
        int width;
        int line;
        int alignment;
        // The target for a piece of a link, else null.
        const char* href;
    };

    struct Line {
        int top;
        // The largest height of the runs on the line; 0 for a line nothing reached.
        int height;
        // The paragraph's left padding and the width left between its paddings.
        int left;
        int available;
        // The width the fragments take.
        int used;
        int alignment;
    };

    Layout(Callback& callback, int width);

    void startParagraph(int alignment, double paddingLeft, double paddingRight) override;
    void endParagraph(bool isLast) override;
    void text(const Style& style, const char* text) override;
    void link(const Style& style, const char* href, const char* text) override;
    void finish() override {}

    const std::vector<Line>& lines() const { return lineList; }
    // The bottom of the last line.
    int height() const;

private:
    void placeRun(const Style& style, const char* text, const char* href);
    const char* placeSegment(const char* start, const char* end, int runHeight, const char* href);
    const char* placeLongWord(const char* start, const char* end, int runHeight, const char* href);
    void emit(const char* start, int length, int width, int runHeight, const char* href);
    void beginLine(int top, bool continued);
    void wrap();
    int measure(const char* start, const char* end);
    Line& currentLine() { return lineList.back(); }

    Callback& callback;
    int width;
    int alignment = AlignLeft;
    int left = 0;
    int available = 0;
    std::vector<Line> lineList;
    int paragraphFirstLine = 0;
    bool lineHasText = false;
    // A line begun by wrapping; blanks and line ends at its start are dropped.
    bool continuedLine = false;
};

class Markup::Layout::Callback {
public:
    virtual ~Callback() = default;

    // Pixels per unit of paragraph padding.
    virtual double scale() = 0;
    // Pixels between the last line of a paragraph and the first of the next.
    virtual int paragraphSpacing() = 0;
    // Selects the font and colours for the run that follows.
    virtual void setStyle(const Style& style) = 0;
    // The width of bytes of the current run in its font.
    virtual int textWidth(const char* text, int length) = 0;
    // The height of a line in the current run's font.
    virtual int lineHeight() = 0;
    virtual void addFragment(const Fragment& fragment) = 0;
};

} // namespace plat
