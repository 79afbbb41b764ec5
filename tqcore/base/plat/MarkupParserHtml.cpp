// The markup language: the text is wrapped into an XML document and its element tree is walked
// with a current paragraph and, per element, a copy of the inherited style.
#include <plat/MarkupParserHtml.h>

#include <plat/Exception.h>
#include <plat/stringUtil.h>

#include <xml/Parser.h>

#include <cmath>
#include <string>
#include <strings.h>

namespace plat {

namespace {

using Style = Markup::Style;
using Paragraph = Markup::Paragraph;

// Larger numbers are refused, so that sizes, weights and paddings stay far from overflowing.
constexpr double LargestNumber = 1e6;

bool sameNoCase(const std::string& a, const char* b) {
    return strcasecmp(a.c_str(), b) == 0;
}

std::string trimmed(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return std::string();
    std::size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// A decimal number ("12", "1.5") at the start of text, whatever the locale; a unit after it is
// ignored. False when there is none or it is too large.
bool parseDecimal(const std::string& text, double& value, std::size_t& end) {
    std::size_t pos = 0;
    double number = 0;
    bool digits = false;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        number = number * 10 + (text[pos++] - '0');
        digits = true;
    }
    if (pos < text.size() && text[pos] == '.') {
        double scale = 0.1;
        for (++pos; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
            number += (text[pos] - '0') * scale;
            scale /= 10;
            digits = true;
        }
    }
    if (!digits || number > LargestNumber)
        return false;
    value = number;
    end = pos;
    return true;
}

// A size in the units where 120 is normal; a percentage is of that normal size.
bool parseSize(const std::string& text, std::int32_t& size) {
    double value;
    std::size_t end;
    if (!parseDecimal(text, value, end))
        return false;
    if (end < text.size() && text[end] == '%')
        value *= 1.2;
    size = std::int32_t(std::lround(value));
    return true;
}

void applyProperty(const std::string& name, const std::string& value, Style& style) {
    if (findNoCase(name.c_str(), "font-style")) {
        if (sameNoCase(value, "normal"))
            style.flags = 0;
        else if (sameNoCase(value, "italic"))
            style.flags |= Style::Italic;
    } else if (findNoCase(name.c_str(), "font-size")) {
        parseSize(value, style.size);
    } else if (findNoCase(name.c_str(), "font-weight")) {
        double weight;
        std::size_t end;
        if (parseDecimal(value, weight, end))
            style.weight = std::int32_t(std::lround(weight));
    } else if (findNoCase(name.c_str(), "text-decoration")) {
        if (sameNoCase(value, "underline"))
            style.flags |= Style::Underline;
    } else if (findNoCase(name.c_str(), "background")) {
        // There is no background in the style; taken as the text colour, a background colour
        // would make the text invisible on it.
    } else if (findNoCase(name.c_str(), "color")) {
        style.color.assign(value.c_str());
    }
}

// The properties of a div's style that belong to its paragraph; false for the others.
bool applyParagraphProperty(const std::string& name, const std::string& value,
                            Paragraph& paragraph) {
    double number;
    std::size_t end;
    if (findNoCase(name.c_str(), "text-align")) {
        if (sameNoCase(value, "right"))
            paragraph.alignment = Markup::AlignRight;
        else if (sameNoCase(value, "center"))
            paragraph.alignment = Markup::AlignCenter;
        else if (sameNoCase(value, "justify"))
            paragraph.alignment = Markup::AlignJustify;
        else
            paragraph.alignment = Markup::AlignLeft;
    } else if (findNoCase(name.c_str(), "padding-left")) {
        if (parseDecimal(value, number, end))
            paragraph.paddingLeft = number;
    } else if (findNoCase(name.c_str(), "padding-right")) {
        if (parseDecimal(value, number, end))
            paragraph.paddingRight = number;
    } else {
        return false;
    }
    return true;
}

void applyStyleAttribute(const std::string& text, Style& style, Paragraph* paragraph) {
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t semicolon = text.find(';', start);
        if (semicolon == std::string::npos)
            semicolon = text.size();
        std::string property = text.substr(start, semicolon - start);
        start = semicolon + 1;
        std::size_t colon = property.find(':');
        std::string name = trimmed(property.substr(0, colon));
        std::string value =
            colon == std::string::npos ? std::string() : trimmed(property.substr(colon + 1));
        if (name.empty())
            continue;
        if (paragraph && applyParagraphProperty(name, value, *paragraph))
            continue;
        applyProperty(name, value, style);
    }
}

enum class Tag { Div, Span, Bold, Italic, Underline, Font, Anchor, Break };

Tag tagOf(const std::string& name) {
    struct Entry {
        const char* name;
        Tag tag;
    };
    static const Entry tags[] = {
        {"div", Tag::Div},     {"span", Tag::Span}, {"b", Tag::Bold},   {"i", Tag::Italic},
        {"u", Tag::Underline}, {"font", Tag::Font}, {"a", Tag::Anchor}, {"br", Tag::Break},
    };
    for (const Entry& entry : tags) {
        if (sameNoCase(name, entry.name))
            return entry.tag;
    }
    throw ExceptionFmt("Unexpected tag %s", name.c_str());
}

// Attributes outside these elements are limited to style, color and size.
bool acceptsOtherAttributes(Tag tag) {
    return tag == Tag::Div || tag == Tag::Span || tag == Tag::Anchor;
}

class TreeWalker {
public:
    explicit TreeWalker(std::vector<Paragraph>& paragraphs) : paragraphs(paragraphs) {}

    void walkBody(const xml::Node& body) {
        Style style;
        applyAttributes(body, style, true, nullptr);
        walkChildren(body, style, nullptr);
        closeParagraph();
    }

private:
    void walkChildren(const xml::Node& element, const Style& style, const char* href) {
        for (const xml::Node& child : element.children()) {
            switch (child.kind()) {
            case xml::Node::Text:
                addRun(style, href, child.value());
                break;
            case xml::Node::Element:
                walkElement(child, style, href);
                break;
            default:
                throw ExceptionFmt("Unexpected node type %d", int(child.kind()));
            }
        }
    }

    void walkElement(const xml::Node& element, const Style& inherited, const char* href) {
        Tag tag = tagOf(element.name());
        if (tag == Tag::Div) {
            walkDiv(element, href);
            return;
        }
        Style style = inherited;
        if (tag == Tag::Bold)
            style.weight = Style::BoldWeight;
        else if (tag == Tag::Italic)
            style.flags |= Style::Italic;
        else if (tag == Tag::Underline)
            style.flags |= Style::Underline;
        applyAttributes(element, style, acceptsOtherAttributes(tag), nullptr);
        if (tag == Tag::Break) {
            // An empty element: anything written inside it is not text of the paragraph.
            addLineBreak();
            return;
        }
        if (tag == Tag::Anchor) {
            walkAnchor(element, style);
            return;
        }
        walkChildren(element, style, href);
    }

    // A link without text still gets its run, so that its target can stand in for the text.
    void walkAnchor(const xml::Node& element, const Style& style) {
        const char* href = hrefOf(element);
        int runsBefore = runsAdded;
        walkChildren(element, style, href);
        if (runsAdded == runsBefore)
            addRun(style, href, std::string());
    }

    void walkDiv(const xml::Node& element, const char* href) {
        closeParagraph();
        Style style;
        applyAttributes(element, style, true, &current);
        walkChildren(element, style, href);
        closeParagraph();
    }

    static const char* hrefOf(const xml::Node& element) {
        for (const xml::Node& attribute : element.attributes()) {
            if (sameNoCase(attribute.name(), "href"))
                return attribute.value().c_str();
        }
        throw Exception("Invalid hyperlink spec!");
    }

    static void applyAttributes(const xml::Node& element, Style& style, bool acceptOthers,
                                Paragraph* paragraph) {
        for (const xml::Node& attribute : element.attributes()) {
            const std::string& name = attribute.name();
            if (sameNoCase(name, "style"))
                applyStyleAttribute(attribute.value(), style, paragraph);
            else if (sameNoCase(name, "color"))
                style.color.assign(attribute.value().c_str());
            else if (sameNoCase(name, "size"))
                parseSize(attribute.value(), style.size);
            else if (!acceptOthers)
                throw ExceptionFmt("Unexpected attribute (%s = %s)", name.c_str(),
                                   attribute.value().c_str());
        }
    }

    void addRun(const Style& style, const char* href, const std::string& text) {
        Markup::Run run{style, DString(text.c_str())};
        if (href) {
            run.style.flags |= Style::Link;
            run.style.link.assign(href);
        }
        current.runs.push_back(std::move(run));
        ++runsAdded;
    }

    void addLineBreak() {
        if (current.runs.empty())
            current.runs.push_back(Markup::Run{Style(), DString("\n")});
        else
            current.runs.back().text.appendChar('\n');
    }

    void closeParagraph() {
        if (!current.runs.empty())
            paragraphs.push_back(std::move(current));
        current = Paragraph();
    }

    std::vector<Paragraph>& paragraphs;
    Paragraph current;
    int runsAdded = 0;
};

} // namespace

void Markup::ParserHtml::parse(const char* markup, std::vector<Paragraph>& paragraphs) {
    DString document;
    document.format("%s\n<body class=\"mui-markup\">%s</body>", "<?xml version=\"1.0\"?>",
                    markup ? markup : "");
    xml::Status status;
    std::optional<xml::Node> body = xml::Parser::parse(document.c_str(), status, "body");
    if (!body)
        throw ExceptionFmt("XML error %i:%i %s", status.line, status.column,
                           status.message.c_str());
    TreeWalker(paragraphs).walkBody(*body);
}

} // namespace plat
