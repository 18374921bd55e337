// SPDX-License-Identifier: MIT
#include "ClickoryCore/input/SoundRole.h"

#include <gtest/gtest.h>

namespace clickory {
namespace {

TEST(SoundRole, RawValuesAreTheCaseNamesAndRoundTrip)
{
    EXPECT_EQ(rawValue(SoundRole::keyDown), "keyDown");
    EXPECT_EQ(rawValue(SoundRole::mouseRightUp), "mouseRightUp");
    EXPECT_EQ(rawValue(SoundRole::scrollTick), "scrollTick");
    for (SoundRole role : allSoundRoles()) {
        EXPECT_EQ(soundRoleFromRaw(rawValue(role)), role) << rawValue(role);
    }
    EXPECT_EQ(allSoundRoles()[4], SoundRole::enterDown);
    EXPECT_EQ(soundRoleFromRaw("enterUp"), std::nullopt);
    EXPECT_EQ(soundRoleFromRaw("KeyDown"), std::nullopt);
}

} // namespace
} // namespace clickory
