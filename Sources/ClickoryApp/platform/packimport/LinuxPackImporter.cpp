// SPDX-License-Identifier: MIT
#include "ClickoryApp/platform/packimport/LinuxPackImporter.h"

#include "ClickoryApp/platform/archive/LibarchiveExtractor.h"
#include "ClickoryApp/platform/ffmpeg/FfmpegSoundFileReader.h"
#include "ClickoryApp/platform/vorbis/StbVorbisDecoder.h"

#include <memory>

namespace clickory {

PackImporter::Services linuxPackImportServices()
{
    PackImporter::Services services;
    services.reader = std::make_shared<FfmpegSoundFileReader>();
    services.ogg = std::make_shared<StbVorbisDecoder>();
    services.archive = std::make_shared<LibarchiveExtractor>();
    return services;
}

std::optional<PackImporter> makeLinuxPackImporter(std::optional<std::filesystem::path> libraryRoot)
{
    if (!libraryRoot)
        libraryRoot = PackImporter::defaultLibraryRoot();
    if (!libraryRoot)
        return std::nullopt;
    return PackImporter(*libraryRoot, linuxPackImportServices());
}

} // namespace clickory
