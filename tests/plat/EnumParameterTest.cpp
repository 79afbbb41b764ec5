// Enumerated parameters: names without regard to case, indices, and owned name lists.
#include <plat/Configuration.h>
#include <plat/EnumParameter.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using plat::PreferencePriority;

const char* const Shapes[] = {"Round", "Square", "Triangle", nullptr};

TEST(EnumParameterValues, ByNameWithoutCaseOrByIndexWithinTheList) {
    plat::Configuration config("Test");
    plat::EnumParameter shape("Shape", "Shape.", "square", Shapes, false, &config);
    EXPECT_EQ(shape.getValue(), 1) << "the default is found without case too";
    EXPECT_TRUE(shape.setParam("TRIANGLE", PreferencePriority));
    EXPECT_STREQ(shape.getValueStr().get(), "Triangle");
    EXPECT_FALSE(shape.setParam("Hexagon", PreferencePriority));
    EXPECT_FALSE(shape.setParam("0", PreferencePriority)) << "numbers are not names";
    EXPECT_TRUE(shape.setParam(0, PreferencePriority));
    EXPECT_STREQ(shape.getValueName(), "Round");
    EXPECT_FALSE(shape.setParam(3, PreferencePriority));
    EXPECT_FALSE(shape.setParam(-1, PreferencePriority));
    EXPECT_STREQ(shape.formatValue(7).get(), "7");
}

TEST(EnumParameterValues, RunTimeParameterOwnsItsNames) {
    plat::Configuration config("Test");
    std::vector<std::string> texts{"low", "high"};
    std::vector<const char*> names{texts[0].c_str(), texts[1].c_str(), nullptr};
    plat::EnumParameter& level = config.addEnum("Level", "Level.", "high", names.data());
    texts[1].assign(texts[1].size(), 'x');
    names[1] = "changed";
    EXPECT_STREQ(level.getValueStr().get(), "high");
    EXPECT_TRUE(level.setParam("low", PreferencePriority));

    plat::Configuration other("Other");
    plat::ConfigParameter* copy = level.clone(&other);
    EXPECT_STREQ(copy->getValueStr().get(), "low");
    EXPECT_TRUE(copy->setParam("HIGH", PreferencePriority));
}

} // namespace
