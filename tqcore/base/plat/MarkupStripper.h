// Plain text from markup: the text of every run, joined.
#pragma once

#include <plat/DString.h>
#include <plat/MarkupHandler.h>

namespace plat {

class Markup::Stripper : public DString, public Markup::Handler {
public:
    Stripper() { clear(); }

    void startParagraph(int, double, double) override {}
    void endParagraph(bool) override {}
    void text(const Style& style, const char* text) override;
    // The link text, or the target when the text is empty.
    void link(const Style& style, const char* href, const char* text) override;
    void finish() override {}
};

} // namespace plat
