// The receiver of parsed markup: paragraphs of styled runs, in order.
#pragma once

#include <plat/Markup.h>

namespace plat {

class Markup::Handler {
public:
    virtual ~Handler() = default;

    virtual void startParagraph(int alignment, double paddingLeft, double paddingRight) = 0;
    virtual void endParagraph(bool isLast) = 0;
    virtual void text(const Style& style, const char* text) = 0;
    virtual void link(const Style& style, const char* href, const char* text) = 0;
    virtual void finish() = 0;
};

} // namespace plat
