// A node of a parsed or built XML document: an element with its attributes and children, an
// attribute, or a run of text. Parents own their attributes and children by value.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace xml {

class Node {
public:
    enum Kind : int { Element = 0, Attribute = 1, Text = 2 };

    // The factories below read better; this lets containers build nodes in place.
    Node(Kind kind, std::string name, std::string value)
        : nodeKind(kind), nodeName(std::move(name)), nodeValue(std::move(value)) {}

    static Node element(std::string name);
    static Node attribute(std::string name, std::string value);
    static Node text(std::string content);

    Kind kind() const { return nodeKind; }
    // The name of an element or attribute; empty for text.
    const std::string& name() const { return nodeName; }
    // The value of an attribute or the content of a text node; empty for an element.
    const std::string& value() const { return nodeValue; }
    const std::vector<Node>& attributes() const { return nodeAttributes; }
    // Elements and text nodes in document order.
    const std::vector<Node>& children() const { return nodeChildren; }

    // The value of the attribute of that name, or null.
    const std::string* attributeValue(std::string_view attributeName) const;
    // The first child element of that name, or null.
    const Node* firstChild(std::string_view elementName) const;
    // The text children joined.
    std::string textContent() const;

    // Returns the stored child, which stays in place until the next child is appended.
    Node& appendChild(Node child);
    // Extends a trailing text child, so that adjacent text stays one node.
    void appendText(std::string_view content);
    // Replaces the value of an existing attribute of that name.
    void setAttribute(std::string name, std::string value);
    // Adds an attribute without looking for one of the same name; for callers that have
    // already ruled that out.
    void appendAttribute(std::string_view name, std::string value);
    void reserveAttributes(std::size_t count) { nodeAttributes.reserve(count); }

    bool operator==(const Node& other) const = default;

private:
    Kind nodeKind;
    std::string nodeName;
    std::string nodeValue;
    std::vector<Node> nodeAttributes;
    std::vector<Node> nodeChildren;
};

} // namespace xml
