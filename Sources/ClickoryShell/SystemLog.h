// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace clickory {

// The system log of the application: each line goes to standard error and to syslog. Lines begin
// with "Clickory: "; a line without that prefix gets it. Any thread.
namespace SystemLog {

void write(const std::string& line);

} // namespace SystemLog
} // namespace clickory
