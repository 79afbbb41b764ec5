// Driving a markup handler with parsed paragraphs, and the report of invalid markup.
#include <plat/MarkupParser.h>

#include <plat/Exception.h>
#include <plat/Log.h>

namespace plat {

namespace {

LogSrc markupLog("MarkupParser");

void drive(const std::vector<Markup::Paragraph>& paragraphs, Markup::Handler& handler) {
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        const Markup::Paragraph& paragraph = paragraphs[i];
        handler.startParagraph(paragraph.alignment, paragraph.paddingLeft, paragraph.paddingRight);
        for (const Markup::Run& run : paragraph.runs) {
            if (run.style.flags & Markup::Style::Link)
                handler.link(run.style, run.style.link.c_str(), run.text.c_str());
            else
                handler.text(run.style, run.text.c_str());
        }
        handler.endParagraph(i + 1 == paragraphs.size());
    }
    handler.finish();
}

} // namespace

bool Markup::Parser::render(const char* markup, Handler& handler) {
    std::vector<Paragraph> paragraphs;
    try {
        parse(markup, paragraphs);
    } catch (const Exception& e) {
        markupLog.error("Invalid markup (%s): ### %s ###", e.message(), markup ? markup : "");
        return false;
    }
    drive(paragraphs, handler);
    return true;
}

} // namespace plat
