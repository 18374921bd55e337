// SPDX-License-Identifier: MIT
#include "ClickoryShell/SystemLog.h"

#include <cstdio>
#include <mutex>
#include <syslog.h>

namespace clickory::SystemLog {

void write(const std::string& line)
{
    static std::mutex mutex;
    static std::once_flag opened;
    std::call_once(opened, [] { ::openlog("clickory", LOG_PID, LOG_USER); });
    const std::string text = line.rfind("Clickory", 0) == 0 ? line : "Clickory: " + line;
    std::lock_guard lock(mutex);
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
    ::syslog(LOG_NOTICE, "%s", text.c_str());
}

} // namespace clickory::SystemLog
