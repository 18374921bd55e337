// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <filesystem>
#include <optional>

namespace clickory {

// The application's resources and information dictionary: the folder "share/clickory" beside the
// binary's "bin" folder (the same in the build tree and after installation), and the "Info.json"
// in it with the version and the optional update-feed keys.
struct BundleInfo
{
    // The resources folder, when one was found.
    std::optional<std::filesystem::path> resources;
    // "CFBundleShortVersionString"; the build's version when Info.json does not name one.
    QString version;
    // "SUFeedURL": the update feed; empty when none is configured.
    QString feedURL;
    // "CKUpdateChannelToken": sent as "X-Clickory-Channel" with every feed request when not empty.
    QString channelToken;

    // Reads an Info.json file; a missing or unreadable file leaves the defaults (no feed). Keys that
    // are not strings are ignored.
    static BundleInfo fromInfoFile(const std::filesystem::path& infoFile);

    // "../share/clickory" beside `executableDir` when it holds an Info.json, else none.
    static std::optional<std::filesystem::path> locateResources(const std::filesystem::path& executableDir);

    // The bundle of the running program.
    static BundleInfo current();

    // A resource file by name, when it exists.
    std::optional<std::filesystem::path> resource(const QString& name) const;
};

} // namespace clickory
