// SPDX-License-Identifier: MIT
#include "ClickoryApp/platform/x11/X11RawEventConverter.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace clickory {
namespace {

// Raw events built by hand, for what a virtual X server cannot produce: smooth-scrolling wheels and
// touchpads, and wheel buttons the server emulated from them.
struct RawEvent
{
    using Type = X11RawInput::Type;
    X11RawInput event{};
    std::array<unsigned char, 4> mask{};
    std::vector<double> values;

    RawEvent(Type type, int detail, bool emulated = false)
    {
        event.type = type;
        event.detail = detail;
        event.emulated = emulated;
        event.sourceId = 7;
        event.valuatorMaskLength = static_cast<int>(mask.size());
        event.valuatorMask = mask.data();
    }

    // Motion with values for the given valuators (ascending).
    static RawEvent motion(std::initializer_list<std::pair<int, double>> valuators)
    {
        RawEvent raw(Type::motion, 0);
        for (const auto& [number, value] : valuators)
        {
            raw.mask[static_cast<std::size_t>(number / 8)] |= static_cast<unsigned char>(1 << (number % 8));
            raw.values.push_back(value);
        }
        raw.event.valuatorValues = raw.values.data();
        return raw;
    }

    RawEvent(const RawEvent& other) : event(other.event), mask(other.mask), values(other.values)
    {
        event.valuatorMask = mask.data();
        event.valuatorValues = values.data();
    }
};

struct X11RawEventConverterTest : testing::Test
{
    X11ScrollAxis axis;
    int axisQueries = 0;
    X11RawEventConverter converter{[] { return Point{12, 34}; },
                                   [this](int) {
                                       ++axisQueries;
                                       return axis;
                                   }};

    std::optional<InputEvent> convert(const RawEvent& raw) { return converter.convert(raw.event); }
};

TEST_F(X11RawEventConverterTest, KeysAreLinuxCodesPlusEight)
{
    EXPECT_EQ(convert(RawEvent(RawEvent::Type::keyPress, 30 + 8)), InputEvent(KeyEvent{0, true, false, 0}));
    EXPECT_EQ(convert(RawEvent(RawEvent::Type::keyPress, 30 + 8)), InputEvent(KeyEvent{0, true, true, 0}));
    EXPECT_EQ(convert(RawEvent(RawEvent::Type::keyRelease, 30 + 8)), InputEvent(KeyEvent{0, false, false, 0}));
}

TEST_F(X11RawEventConverterTest, ButtonsMapToLeftRightAndOther)
{
    EXPECT_EQ(convert(RawEvent(RawEvent::Type::buttonPress, 1)), InputEvent(MouseEvent{0, true, {12, 34}}));
    EXPECT_EQ(convert(RawEvent(RawEvent::Type::buttonRelease, 3)), InputEvent(MouseEvent{1, false, {12, 34}}));
    EXPECT_EQ(convert(RawEvent(RawEvent::Type::buttonPress, 2)), InputEvent(MouseEvent{2, true, {12, 34}}));
    EXPECT_EQ(convert(RawEvent(RawEvent::Type::buttonPress, 9)), InputEvent(MouseEvent{2, true, {12, 34}}));
}

TEST_F(X11RawEventConverterTest, WheelButtonsAreNotchesUnlessEmulated)
{
    EXPECT_EQ(convert(RawEvent(RawEvent::Type::buttonPress, 4)), InputEvent(ScrollEvent{1.0, false, false, {12, 34}}));
    EXPECT_EQ(convert(RawEvent(RawEvent::Type::buttonRelease, 4)), std::nullopt);
    EXPECT_EQ(convert(RawEvent(RawEvent::Type::buttonPress, 5)), InputEvent(ScrollEvent{-1.0, false, false, {12, 34}}));
    EXPECT_EQ(convert(RawEvent(RawEvent::Type::buttonPress, 5, true)), std::nullopt);
    EXPECT_EQ(convert(RawEvent(RawEvent::Type::buttonPress, 6)), std::nullopt);
    EXPECT_EQ(convert(RawEvent(RawEvent::Type::buttonPress, 7)), std::nullopt);
}

TEST_F(X11RawEventConverterTest, SmoothWheelValuatorsSumToLines)
{
    axis = {3, 120.0, false};
    // Scrolling down in three fine steps of 40 (valuators grow downward) gives one line down.
    EXPECT_EQ(convert(RawEvent::motion({{0, 5.0}, {3, 40.0}})), std::nullopt);
    EXPECT_EQ(convert(RawEvent::motion({{3, 40.0}})), std::nullopt);
    EXPECT_EQ(convert(RawEvent::motion({{1, 2.0}, {3, 40.0}})), InputEvent(ScrollEvent{-1.0, false, false, {12, 34}}));
    EXPECT_EQ(convert(RawEvent::motion({{3, -240.0}})), InputEvent(ScrollEvent{2.0, false, false, {12, 34}}));
    // Plain motion, without the scroll valuator, gives nothing.
    EXPECT_EQ(convert(RawEvent::motion({{0, 3.0}, {1, 4.0}})), std::nullopt);
}

TEST_F(X11RawEventConverterTest, InvertedIncrementsFlipTheDirection)
{
    axis = {2, -120.0, false};
    EXPECT_EQ(convert(RawEvent::motion({{2, 120.0}})), InputEvent(ScrollEvent{1.0, false, false, {12, 34}}));
}

TEST_F(X11RawEventConverterTest, TouchpadValuatorsArePointsAndContinuous)
{
    axis = {3, 15.0, true};
    EXPECT_EQ(convert(RawEvent::motion({{3, 7.5}})), InputEvent(ScrollEvent{-7.5, true, false, {12, 34}}));
    axis = {3, 30.0, true};
    EXPECT_EQ(convert(RawEvent::motion({{3, -30.0}})), InputEvent(ScrollEvent{15.0, true, false, {12, 34}}));
    EXPECT_EQ(convert(RawEvent::motion({{3, 0.0}})), std::nullopt);
}

TEST_F(X11RawEventConverterTest, DevicesWithoutAScrollValuatorGiveNoScroll)
{
    axis = {};
    EXPECT_EQ(convert(RawEvent::motion({{0, 1.0}, {1, 1.0}})), std::nullopt);
    axis = {40, 120.0, false};  // beyond the event's mask
    EXPECT_EQ(convert(RawEvent::motion({{3, 1.0}})), std::nullopt);
}

} // namespace
} // namespace clickory
