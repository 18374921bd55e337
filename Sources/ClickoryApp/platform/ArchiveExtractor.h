// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace clickory {

// Unpacks .zip archives that come from strangers into a folder of our own.
class ArchiveExtractor
{
public:
    // Extraction stops with an error past either limit (an archive "bomb").
    static constexpr std::uint64_t maxUnpackedBytes = 256ull * 1024 * 1024;
    static constexpr std::uint64_t maxEntries = 10000;

    virtual ~ArchiveExtractor() = default;

    // Any thread; calls may run concurrently. Unpacks every entry of `archive` below `destination`,
    // an existing folder. Nothing is ever written outside it: an entry with an absolute path, a
    // ".." component, a symbolic or hard link, or any type but a plain file or folder fails the
    // whole extraction, as do damaged data and the limits above. Nothing on success, else a short
    // reason for the log. What was unpacked before a failure stays for the caller to delete.
    virtual std::optional<std::string> extract(const std::filesystem::path& archive,
                                               const std::filesystem::path& destination) = 0;
};

} // namespace clickory
