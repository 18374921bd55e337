// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/Expected.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace clickory {

// One imported sound pack: which WAV file each key plays. Stored as "pack.json" next to the files;
// the JSON keys are the field names. Compared field by field.
struct ImportedPack
{
    // The pack's slug, also the name of its folder in the library.
    std::string id;
    // Display name.
    std::string name;
    // Absolute path of the pack's folder; rewritten whenever the library is loaded.
    std::string folder;
    // Key code as decimal text -> names of the files that key plays (several mean alternatives).
    std::map<std::string, std::vector<std::string>> perKey;
    // Files for keys without an entry in perKey; for a folder of sounds, all its files.
    std::vector<std::string> fallback;
    // What the pack was made from: "a Mechvibes pack" or "a folder of sounds".
    std::string source;

    // The files stored under the key code's decimal text, or fallback when there is no entry. An
    // empty list stored for a key is returned as it is (the key stays silent).
    const std::vector<std::string>& files(std::int64_t keyCode) const;

    friend bool operator==(const ImportedPack&, const ImportedPack&) = default;
};

// All six fields, keys named as the fields.
nlohmann::json toJson(const ImportedPack& pack);

// Compact JSON text of toJson.
std::string encodeImportedPack(const ImportedPack& pack);

// Strict: every one of the six keys must be present with the right type (extra keys are ignored).
// The id must be usable as a folder name in the library and every file name must be a bare name
// inside the pack's folder (no path separators, not "." or ".."), since both are later joined to
// paths that are read and deleted.
Expected<ImportedPack> importedPackFromJson(const nlohmann::json& json);

// Parses the text (with the size and nesting limits for outside data) and decodes it.
Expected<ImportedPack> decodeImportedPack(std::string_view text);

} // namespace clickory
