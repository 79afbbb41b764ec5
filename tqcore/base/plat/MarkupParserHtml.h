// The parser of the markup language: a body of text with div, span, b, i, u, font, a and br
// elements and CSS-like style attributes.
#pragma once

#include <plat/MarkupParser.h>

namespace plat {

class Markup::ParserHtml : public Markup::Parser {
public:
    void parse(const char* markup, std::vector<Paragraph>& paragraphs) override;
};

} // namespace plat
