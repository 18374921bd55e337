// SPDX-License-Identifier: MIT
#include "ClickoryApp/input/KeyboardState.h"

#include "ClickoryApp/input/EvdevKeyMap.h"
#include "ClickoryCore/input/KeyMap.h"

namespace clickory {
namespace {

constexpr std::int64_t capsLockCode = 57;
constexpr std::int64_t firstModifierCode = 54;

bool inRange(int evdevCode)
{
    return evdevCode >= 0 && evdevCode < EvdevKeyMap::evdevCodeLimit;
}

} // namespace

void KeyboardState::reset(bool capsLockOn)
{
    m_down.reset();
    m_heldModifiers.fill(0);
    m_capsLockOn = capsLockOn;
    recomputeFlags();
}

bool KeyboardState::isDown(int evdevCode) const
{
    return inRange(evdevCode) && m_down.test(static_cast<std::size_t>(evdevCode));
}

std::optional<InputEvent> KeyboardState::convert(int evdevCode, bool down)
{
    const std::int64_t code = EvdevKeyMap::macCode(evdevCode);
    const bool wasDown = isDown(evdevCode);
    if (inRange(evdevCode))
    {
        m_down.set(static_cast<std::size_t>(evdevCode), down);
    }

    if (!KeyMap::isModifierCode(code))
    {
        return KeyEvent{code, down, down && wasDown, m_flags};
    }

    if (code == capsLockCode)
    {
        if (!down || wasDown)
        {
            return std::nullopt;
        }
        m_capsLockOn = !m_capsLockOn;
        recomputeFlags();
        return ModifierEvent{code, m_capsLockOn};
    }

    if (down == wasDown)
    {
        return std::nullopt;  // a repeat of a held modifier, or a release of one we never saw go down
    }
    std::uint8_t& held = m_heldModifiers[static_cast<std::size_t>(code - firstModifierCode)];
    held = static_cast<std::uint8_t>(down ? held + 1 : held - 1);
    recomputeFlags();
    const std::uint64_t mask = KeyMap::modifierMask(code).value_or(0);
    return ModifierEvent{code, (m_flags & mask) != 0};
}

void KeyboardState::recomputeFlags()
{
    std::uint64_t flags = m_capsLockOn ? capsLockMask : 0;
    for (std::size_t i = 0; i < m_heldModifiers.size(); ++i)
    {
        const auto code = static_cast<std::int64_t>(i) + firstModifierCode;
        if (m_heldModifiers[i] > 0 && code != capsLockCode)
        {
            flags |= KeyMap::modifierMask(code).value_or(0);
        }
    }
    m_flags = flags;
}

} // namespace clickory
