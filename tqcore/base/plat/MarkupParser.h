// Markup parsers: turning markup text into paragraphs, and driving a handler with them.
#pragma once

#include <plat/Markup.h>
#include <plat/MarkupHandler.h>

#include <vector>

namespace plat {

class Markup::Parser {
public:
    virtual ~Parser() = default;

    // Parses, then calls the handler: for each paragraph startParagraph, text or link for each
    // run, endParagraph; finally finish. Invalid markup is logged under "MarkupParser" and the
    // handler receives nothing; returns whether the markup was valid. Null is empty markup.
    virtual bool render(const char* markup, Handler& handler);

    // Appends the paragraphs of the markup; throws plat::Exception naming what is invalid.
    virtual void parse(const char* markup, std::vector<Paragraph>& paragraphs) = 0;
};

} // namespace plat
