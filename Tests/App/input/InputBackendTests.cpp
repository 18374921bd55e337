// SPDX-License-Identifier: MIT
#include "ClickoryApp/input/InputBackend.h"

#include <gtest/gtest.h>

namespace clickory {
namespace {

InputBackend choose(const SessionEnvironment& environment)
{
    const auto result = chooseInputBackend(environment);
    EXPECT_TRUE(result.hasValue()) << (result ? "" : result.error());
    return result ? *result : InputBackend::x11;
}

TEST(InputBackend, ChoosesBySession)
{
    EXPECT_EQ(choose({":0", "", "x11", ""}), InputBackend::x11);
    EXPECT_EQ(choose({":0", "", "", ""}), InputBackend::x11);
    // An X server under Wayland sees only its own clients.
    EXPECT_EQ(choose({":0", "wayland-0", "wayland", ""}), InputBackend::libinput);
    EXPECT_EQ(choose({":0", "wayland-0", "", ""}), InputBackend::libinput);
    EXPECT_EQ(choose({":0", "", "wayland", ""}), InputBackend::libinput);
    EXPECT_EQ(choose({"", "", "tty", ""}), InputBackend::libinput);
}

TEST(InputBackend, ClickoryInputForcesOne)
{
    EXPECT_EQ(choose({":0", "", "x11", "libinput"}), InputBackend::libinput);
    EXPECT_EQ(choose({"", "wayland-0", "wayland", "x11"}), InputBackend::x11);
    const auto bad = chooseInputBackend({":0", "", "x11", "evdev"});
    ASSERT_FALSE(bad.hasValue());
    EXPECT_EQ(bad.error(), "CLICKORY_INPUT must be \"x11\" or \"libinput\", not \"evdev\"");
}

TEST(InputBackend, RawValuesRoundTrip)
{
    for (InputBackend backend : allInputBackends())
    {
        EXPECT_EQ(inputBackendFromRaw(rawValue(backend)), backend);
    }
    EXPECT_EQ(inputBackendFromRaw("X11"), std::nullopt);
}

} // namespace
} // namespace clickory
