// SPDX-License-Identifier: MIT
#include "ClickoryShell/ProcessStats.h"

#include <ctime>
#include <fstream>
#include <sstream>
#include <sys/resource.h>

namespace clickory::ProcessStats {

double processorSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double wallSeconds()
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

std::optional<double> footprintFromRollup(const std::string& text)
{
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
    {
        if (line.rfind("Pss:", 0) != 0)
            continue;
        std::istringstream fields(line.substr(4));
        double kilobytes = 0.0;
        std::string unit;
        if (!(fields >> kilobytes >> unit) || unit != "kB" || kilobytes < 0.0)
            return std::nullopt;
        return kilobytes * 1024.0;
    }
    return std::nullopt;
}

std::optional<double> footprintBytes()
{
    std::ifstream file("/proc/self/smaps_rollup");
    if (!file)
        return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    return footprintFromRollup(text.str());
}

double footprintMB()
{
    return footprintBytes().value_or(0.0) / 1048576.0;
}

} // namespace clickory::ProcessStats
