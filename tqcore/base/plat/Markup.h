// Markup, the small HTML subset of formatted user-visible text: the style and paragraph model that
// its parsers produce, and builders that write correctly escaped markup from code.
#pragma once

#include <plat/DString.h>
#include <plat/String.h>

#include <cstdint>
#include <vector>

namespace plat {

class Markup {
public:
    class Handler;
    class Parser;
    class ParserHtml;
    class Stripper;
    class Layout;
    class LinkCallback;

    enum Alignment : int { AlignLeft = 0, AlignCenter = 1, AlignRight = 2, AlignJustify = 3 };

    struct Style {
        static constexpr unsigned Italic = 1u << 0;
        static constexpr unsigned Underline = 1u << 1;
        static constexpr unsigned Link = 1u << 2;
        // Sizes are in units where NormalSize is the normal text size.
        static constexpr std::int32_t NormalSize = 120;
        static constexpr std::int32_t NormalWeight = 400;
        static constexpr std::int32_t BoldWeight = 700;

        unsigned flags = 0;
        std::int32_t size = NormalSize;
        std::int32_t weight = NormalWeight;
        // As written in the markup; the user interface resolves it. Null when not set.
        String color;
        // The target of a link run; null otherwise.
        String link;

        bool isDefault() const { return *this == Style(); }
        bool operator==(const Style& other) const = default;
    };

    struct Run {
        Style style;
        DString text;
    };

    struct Paragraph {
        int alignment = AlignLeft;
        // In units of the user interface's scale.
        double paddingLeft = 0;
        double paddingRight = 0;
        std::vector<Run> runs;
    };

    // Builders. Every text argument is made valid UTF-8 (invalid sequences become U+FFFD) and
    // escaped with the entities for '"', '&', '\'', '<' and '>'; colours are escaped likewise.

    static DString escape(const char* text);
    // The escaped text alone for the default style, else "<span style=\"...\">text</span>".
    static DString styled(const char* text, const Style& style);
    static DString styledColor(const char* text, const char* color, int size = Style::NormalSize);
    // "<b>text</b>", wrapped as styledColor wraps.
    static DString bold(const char* text, const char* color = nullptr,
                        int size = Style::NormalSize);
    // "<div style=\"text-align:<alignment>[;<style text>]\">".
    static DString divOpen(int alignment, const Style* style = nullptr);
    // "<a href=\"target\"[ style=\"color:<color>\"]>text</a>".
    static DString linkColor(const char* text, const char* href, const char* color = nullptr);
    // "<a href=\"target\" style=\"<style text>\">text</a>".
    static DString linkStyle(const char* text, const char* href, const Style& style);
    // "font-size:<percent>%;font-weight:<weight>;" then, as they apply, "font-style:italic;",
    // "text-decoration:underline;", "color:<color>;" and "background-color:<background>;".
    static DString styleText(const Style& style, const char* background = nullptr);
};

} // namespace plat
