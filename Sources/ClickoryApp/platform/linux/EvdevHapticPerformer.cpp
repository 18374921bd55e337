// SPDX-License-Identifier: MIT
#include "ClickoryApp/platform/linux/EvdevHapticPerformer.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/input.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstring>

namespace clickory {

namespace {

constexpr std::size_t longBits = sizeof(unsigned long) * 8;

bool testBit(const unsigned long* bits, unsigned bit)
{
    return (bits[bit / longBits] >> (bit % longBits)) & 1UL;
}

// A pointer or button pad (touchpad) that can rumble.
bool isForceFeedbackTouchpad(int fd)
{
    unsigned long props[(INPUT_PROP_CNT + longBits - 1) / longBits] = {};
    unsigned long ff[(FF_CNT + longBits - 1) / longBits] = {};
    if (::ioctl(fd, EVIOCGPROP(sizeof(props)), props) < 0)
        return false;
    if (!testBit(props, INPUT_PROP_POINTER) && !testBit(props, INPUT_PROP_BUTTONPAD))
        return false;
    if (::ioctl(fd, EVIOCGBIT(EV_FF, sizeof(ff)), ff) < 0)
        return false;
    return testBit(ff, FF_RUMBLE);
}

} // namespace

EvdevHapticPerformer::EvdevHapticPerformer(const std::string& inputFolder)
{
    DIR* folder = ::opendir(inputFolder.c_str());
    if (!folder)
        return;
    while (const dirent* entry = ::readdir(folder))
    {
        if (std::strncmp(entry->d_name, "event", 5) != 0)
            continue;
        const std::string path = inputFolder + "/" + entry->d_name;
        const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (isForceFeedbackTouchpad(fd))
        {
            m_fd = fd;
            break;
        }
        ::close(fd);
    }
    ::closedir(folder);
    if (m_fd < 0)
        return;
    // Light, snap and step: ever stronger, all short.
    const std::uint16_t strengths[3] = {0x4000, 0x8000, 0xC000};
    const std::uint16_t lengths[3] = {12, 18, 24};
    for (int i = 0; i < 3; ++i)
    {
        ff_effect effect{};
        effect.type = FF_RUMBLE;
        effect.id = -1;
        effect.u.rumble.strong_magnitude = strengths[i];
        effect.u.rumble.weak_magnitude = strengths[i];
        effect.replay.length = lengths[i];
        if (::ioctl(m_fd, EVIOCSFF, &effect) >= 0)
            m_effects[static_cast<std::size_t>(i)] = effect.id;
    }
}

EvdevHapticPerformer::~EvdevHapticPerformer()
{
    if (m_fd < 0)
        return;
    for (const int id : m_effects)
    {
        if (id >= 0)
            ::ioctl(m_fd, EVIOCRMFF, id);
    }
    ::close(m_fd);
}

void EvdevHapticPerformer::perform(HapticPattern pattern)
{
    if (m_fd < 0)
        return;
    const int id = m_effects[static_cast<std::size_t>(patternNumber(pattern))];
    if (id < 0)
        return;
    input_event play{};
    play.type = EV_FF;
    play.code = static_cast<std::uint16_t>(id);
    play.value = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_fd, &play, sizeof(play));
}

} // namespace clickory
