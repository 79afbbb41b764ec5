// Building and querying XML document nodes.
#include <xml/Node.h>

#include <utility>

namespace xml {

Node Node::element(std::string name) {
    return Node(Element, std::move(name), std::string());
}

Node Node::attribute(std::string name, std::string value) {
    return Node(Attribute, std::move(name), std::move(value));
}

Node Node::text(std::string content) {
    return Node(Text, std::string(), std::move(content));
}

const std::string* Node::attributeValue(std::string_view attributeName) const {
    for (const Node& attribute : nodeAttributes) {
        if (attribute.nodeName == attributeName)
            return &attribute.nodeValue;
    }
    return nullptr;
}

const Node* Node::firstChild(std::string_view elementName) const {
    for (const Node& child : nodeChildren) {
        if (child.nodeKind == Element && child.nodeName == elementName)
            return &child;
    }
    return nullptr;
}

std::string Node::textContent() const {
    std::string content;
    for (const Node& child : nodeChildren) {
        if (child.nodeKind == Text)
            content += child.nodeValue;
    }
    return content;
}

Node& Node::appendChild(Node child) {
    nodeChildren.push_back(std::move(child));
    return nodeChildren.back();
}

void Node::appendText(std::string_view content) {
    if (content.empty())
        return;
    if (!nodeChildren.empty() && nodeChildren.back().nodeKind == Text) {
        nodeChildren.back().nodeValue += content;
        return;
    }
    nodeChildren.emplace_back(Text, std::string(), std::string(content));
}

void Node::setAttribute(std::string name, std::string value) {
    for (Node& existing : nodeAttributes) {
        if (existing.nodeName == name) {
            existing.nodeValue = std::move(value);
            return;
        }
    }
    nodeAttributes.emplace_back(Attribute, std::move(name), std::move(value));
}

void Node::appendAttribute(std::string_view name, std::string value) {
    nodeAttributes.emplace_back(Attribute, std::string(name), std::move(value));
}

} // namespace xml
