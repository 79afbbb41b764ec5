// Building and querying document nodes.
#include <xml/Node.h>

#include <gtest/gtest.h>

namespace {

using xml::Node;

TEST(Node, AdjacentTextStaysOneNode) {
    Node element = Node::element("e");
    element.appendText("a");
    element.appendText("");
    element.appendText("b");
    element.appendChild(Node::element("c"));
    element.appendText("d");
    ASSERT_EQ(element.children().size(), 3u);
    EXPECT_EQ(element.children()[0].value(), "ab");
    EXPECT_EQ(element.textContent(), "abd");
}

TEST(Node, SetAttributeReplacesAnExistingValue) {
    Node element = Node::element("e");
    element.setAttribute("a", "1");
    element.setAttribute("b", "2");
    element.setAttribute("a", "3");
    ASSERT_EQ(element.attributes().size(), 2u);
    EXPECT_EQ(*element.attributeValue("a"), "3");
    EXPECT_EQ(element.attributeValue("c"), nullptr);
}

} // namespace
