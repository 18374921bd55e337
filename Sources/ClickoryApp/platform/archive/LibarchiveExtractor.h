// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/ArchiveExtractor.h"

namespace clickory {

// Zip extraction in-process with libarchive. Every entry name is checked before anything is written
// (relative, no "..", plain files and folders only); libarchive's secure-extraction flags then
// refuse ".." and writing through symbolic links on disk as a second line. Files get mode 0644 and
// folders 0755 whatever the archive says; owners and times are not restored. The byte limit counts
// what is actually unpacked, not what the archive declares. Stateless; calls may run concurrently.
class LibarchiveExtractor final : public ArchiveExtractor
{
public:
    // The limits default to the interface's; tests lower them to try a bomb cheaply.
    explicit LibarchiveExtractor(std::uint64_t byteLimit = maxUnpackedBytes, std::uint64_t entryLimit = maxEntries)
        : m_byteLimit(byteLimit), m_entryLimit(entryLimit)
    {
    }

    std::optional<std::string> extract(const std::filesystem::path& archive,
                                       const std::filesystem::path& destination) override;

private:
    std::uint64_t m_byteLimit;
    std::uint64_t m_entryLimit;
};

} // namespace clickory
