// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/packs/PackImporter.h"

#include <filesystem>
#include <optional>

namespace clickory {

// The services of the pack importer on Linux: FFmpeg for sound files, stb_vorbis for Ogg, libarchive
// for .zip packs, the system's temporary directory for unpacking.
PackImporter::Services linuxPackImportServices();

// A pack importer on the library in `libraryRoot`, by default PackImporter::defaultLibraryRoot()
// ($XDG_DATA_HOME/clickory/Imported). Nothing when no root is given and neither XDG_DATA_HOME nor
// HOME names a folder.
std::optional<PackImporter> makeLinuxPackImporter(std::optional<std::filesystem::path> libraryRoot = std::nullopt);

} // namespace clickory
