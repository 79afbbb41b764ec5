// Builders that write escaped markup.
#include <plat/Markup.h>

#include <plat/TextBuilder.h>
#include <plat/utf8.h>

#include <cmath>

namespace plat {

namespace {

void appendEscaped(TextBuilder& out, const char* text) {
    DString valid = sanitiseUtf8(text);
    for (const char* p = valid.c_str(); *p; ++p) {
        switch (*p) {
        case '"':
            out.append("&quot;");
            break;
        case '&':
            out.append("&amp;");
            break;
        case '\'':
            out.append("&apos;");
            break;
        case '<':
            out.append("&lt;");
            break;
        case '>':
            out.append("&gt;");
            break;
        default:
            out.append(*p);
        }
    }
}

const char* alignmentName(int alignment) {
    switch (alignment) {
    case Markup::AlignCenter:
        return "center";
    case Markup::AlignRight:
        return "right";
    case Markup::AlignJustify:
        return "justify";
    default:
        return "left";
    }
}

// Wraps markup that is already escaped in a span for a style other than the default.
DString wrapStyled(const DString& inner, const Markup::Style& style) {
    if (style.isDefault())
        return inner;
    DString result;
    TextBuilder out(result);
    out.append("<span style=\"");
    out.append(Markup::styleText(style).c_str());
    out.append("\">");
    out.append(inner.c_str());
    out.append("</span>");
    return result;
}

Markup::Style colorAndSize(const char* color, int size) {
    Markup::Style style;
    style.color.assign(color);
    style.size = size;
    return style;
}

void appendLinkStart(TextBuilder& out, const char* href) {
    out.append("<a href=\"");
    appendEscaped(out, href);
    out.append('"');
}

void appendLinkEnd(TextBuilder& out, const char* text) {
    out.append('>');
    appendEscaped(out, text);
    out.append("</a>");
}

} // namespace

DString Markup::escape(const char* text) {
    DString result;
    TextBuilder out(result);
    appendEscaped(out, text);
    return result;
}

DString Markup::styled(const char* text, const Style& style) {
    return wrapStyled(escape(text), style);
}

DString Markup::styledColor(const char* text, const char* color, int size) {
    return styled(text, colorAndSize(color, size));
}

DString Markup::bold(const char* text, const char* color, int size) {
    DString inner;
    TextBuilder out(inner);
    out.append("<b>");
    appendEscaped(out, text);
    out.append("</b>");
    return wrapStyled(inner, colorAndSize(color, size));
}

DString Markup::divOpen(int alignment, const Style* style) {
    DString result;
    TextBuilder out(result);
    out.append("<div style=\"text-align:");
    out.append(alignmentName(alignment));
    if (style) {
        out.append(';');
        out.append(styleText(*style).c_str());
    }
    out.append("\">");
    return result;
}

DString Markup::linkColor(const char* text, const char* href, const char* color) {
    DString result;
    TextBuilder out(result);
    appendLinkStart(out, href);
    if (color) {
        out.append(" style=\"color:");
        appendEscaped(out, color);
        out.append('"');
    }
    appendLinkEnd(out, text);
    return result;
}

DString Markup::linkStyle(const char* text, const char* href, const Style& style) {
    DString result;
    TextBuilder out(result);
    appendLinkStart(out, href);
    out.append(" style=\"");
    out.append(styleText(style).c_str());
    out.append('"');
    appendLinkEnd(out, text);
    return result;
}

DString Markup::styleText(const Style& style, const char* background) {
    DString result;
    result.format("font-size:%ld%%;font-weight:%d;", std::lround(style.size * 100.0 / 120.0),
                  int(style.weight));
    TextBuilder out(result);
    if (style.flags & Style::Italic)
        out.append("font-style:italic;");
    if (style.flags & Style::Underline)
        out.append("text-decoration:underline;");
    if (!style.color.isNull()) {
        out.append("color:");
        appendEscaped(out, style.color.get());
        out.append(';');
    }
    if (background) {
        out.append("background-color:");
        appendEscaped(out, background);
        out.append(';');
    }
    return result;
}

} // namespace plat
