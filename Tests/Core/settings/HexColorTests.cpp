// SPDX-License-Identifier: MIT
#include "ClickoryCore/settings/HexColor.h"

#include <gtest/gtest.h>

#include <string>

namespace clickory {
namespace {

const HexColor::RGB violet{138.0 / 255.0, 92.0 / 255.0, 246.0 / 255.0};

TEST(HexColor, ReadsSixDigitsWithOrWithoutHashAndSurroundingBlanks)
{
    for (const char* text : {"#8a5cf6", "8a5cf6", " #8a5cf6 ", "#8A5CF6", "\t8A5cF6\t ", "  #8a5cf6"}) {
        const auto color = HexColor::parse(text);
        ASSERT_TRUE(color.has_value()) << text;
        EXPECT_EQ(*color, violet) << text;
    }
}

TEST(HexColor, ComponentsSpanZeroToOne)
{
    EXPECT_EQ(HexColor::parse("#000000"), (HexColor::RGB{0.0, 0.0, 0.0}));
    EXPECT_EQ(HexColor::parse("#FFFFFF"), (HexColor::RGB{1.0, 1.0, 1.0}));
    // Each byte lands in its own component.
    EXPECT_EQ(HexColor::parse("#FF0000"), (HexColor::RGB{1.0, 0.0, 0.0}));
    EXPECT_EQ(HexColor::parse("#00FF00"), (HexColor::RGB{0.0, 1.0, 0.0}));
    EXPECT_EQ(HexColor::parse("#0000ff"), (HexColor::RGB{0.0, 0.0, 1.0}));
}

TEST(HexColor, RejectsTextThatIsNotSixHexDigits)
{
    for (const char* text : {"", "#", "#8a5cf", "8a5cf", "#8a5cf60", "##8a5cf6", "#8a5cg6", "#8a 5cf6", "+12345",
                             "-12345", "0x8a5cf6", "#8a5cf6\n", "\n#8a5cf6", "#8a5cf6#", "#8a5c\xc3\xa9"}) {
        EXPECT_FALSE(HexColor::parse(text).has_value()) << text;
    }
    // A NUL inside the text is not a digit.
    EXPECT_FALSE(HexColor::parse(std::string("#8a5cf\0", 7)).has_value());
}

} // namespace
} // namespace clickory
