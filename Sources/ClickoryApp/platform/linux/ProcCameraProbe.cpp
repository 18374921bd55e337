// SPDX-License-Identifier: MIT
#include "ClickoryApp/platform/linux/ProcCameraProbe.h"

#include <cctype>
#include <cstring>
#include <dirent.h>
#include <unistd.h>

namespace clickory {

namespace {

bool allDigits(const char* name)
{
    if (!*name)
        return false;
    for (; *name; ++name)
    {
        if (!std::isdigit(static_cast<unsigned char>(*name)))
            return false;
    }
    return true;
}

bool holdsVideoDevice(const std::string& fdFolder)
{
    DIR* fds = ::opendir(fdFolder.c_str());
    if (!fds)
        return false;
    bool found = false;
    char target[256];
    while (const dirent* entry = ::readdir(fds))
    {
        if (!allDigits(entry->d_name))
            continue;
        const std::string link = fdFolder + "/" + entry->d_name;
        const ssize_t n = ::readlink(link.c_str(), target, sizeof(target) - 1);
        if (n <= 0)
            continue;
        target[n] = '\0';
        if (std::strncmp(target, "/dev/video", 10) == 0)
        {
            found = true;
            break;
        }
    }
    ::closedir(fds);
    return found;
}

} // namespace

bool ProcCameraProbe::anyVideoDevice() const
{
    DIR* devices = ::opendir(m_devices.c_str());
    if (!devices)
        return true; // cannot tell: let the scan decide
    bool found = false;
    while (const dirent* entry = ::readdir(devices))
    {
        if (std::strncmp(entry->d_name, "video", 5) == 0 && allDigits(entry->d_name + 5))
        {
            found = true;
            break;
        }
    }
    ::closedir(devices);
    return found;
}

bool ProcCameraProbe::isCameraInUse()
{
    if (!anyVideoDevice())
        return false;
    DIR* processes = ::opendir(m_root.c_str());
    if (!processes)
        return false;
    bool inUse = false;
    while (const dirent* entry = ::readdir(processes))
    {
        if (allDigits(entry->d_name) && holdsVideoDevice(m_root + "/" + entry->d_name + "/fd"))
        {
            inUse = true;
            break;
        }
    }
    ::closedir(processes);
    return inUse;
}

} // namespace clickory
