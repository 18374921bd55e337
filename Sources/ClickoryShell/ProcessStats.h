// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

namespace clickory {

// The process's own figures for the bench: processor time, wall time and memory footprint.
namespace ProcessStats {

// User plus system processor time of this process, in seconds (getrusage).
double processorSeconds();

// Seconds of system uptime (monotonic).
double wallSeconds();

// The proportional set size ("Pss:") of /proc/self/smaps_rollup in bytes: the memory this process
// holds, with pages shared with other processes counted in part. Nothing when it cannot be read.
std::optional<double> footprintBytes();

// The "Pss:" figure of an smaps_rollup text, in bytes.
std::optional<double> footprintFromRollup(const std::string& text);

// footprintBytes() / 1 048 576, 0 when unknown.
double footprintMB();

} // namespace ProcessStats
} // namespace clickory
